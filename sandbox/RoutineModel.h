// The boot loader's privileged primitives as C++, for a host with no emulated ARM
// core: the same results and the same changes to the thread's processor state as
// the assembled routines give when they run.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/processor.h"
#include "sandbox/ProcessorState.h"
#include "sandbox/RoutineRunner.h"

namespace sandbox {

/// Carries out `routine` of the boot loader's routine block on `state`, as
/// runRoutine does on the core. A routine the model does not know fails with
/// `run.error` set and gives 0.
std::uint32_t modelRoutine(ProcessorState& state, const platform::ArmCode& code, platform::ArmRoutine routine,
                           const std::array<std::uint32_t, 4>& args, std::span<const platform::ArmData> data,
                           RoutineRun& run);

}  // namespace sandbox
