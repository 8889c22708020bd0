// Runs the boot loader's privileged ARM routines (the processor primitives) on an
// emulated core, against the simulated processor state of the calling thread.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/processor.h"
#include "sandbox/MachineProfile.h"
#include "sandbox/ProcessorState.h"

namespace sandbox {

/// What one routine did.
struct RoutineRun {
    std::uint32_t routine;
    /// Addresses the routine read inside its data windows, in order.
    std::vector<std::uint32_t> dataReads;
    /// Empty when the routine returned; otherwise what stopped it.
    std::string error;
};

/// Runs `routine` of `code` with `args` in r0-r3 and the thread's CPSR and CP15 from
/// `state`, which takes the CPSR back afterwards. The `data` windows are copied in
/// before and out after. Returns r0, or 0 when the routine did not return; `run`
/// records what happened.
std::uint32_t runRoutine(Processor processor, ProcessorState& state, const platform::ArmCode& code,
                         platform::ArmRoutine routine, const std::array<std::uint32_t, 4>& args,
                         std::span<const platform::ArmData> data, RoutineRun& run);

}  // namespace sandbox
