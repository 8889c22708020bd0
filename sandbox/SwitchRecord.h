// How the boot loader left the platform: the switch routine it ran, its arguments,
// and the thread's processor state at that moment. The machine's physical memory is
// as the boot loader left it, so the record and the memory together are all that
// runs after the switch.
#pragma once

#include <array>
#include <cstdint>

#include "platform/processor.h"
#include "sandbox/ProcessorState.h"

namespace sandbox {

struct SwitchRecord {
    platform::ArmCode code;
    platform::ArmRoutine routine;
    /// r0-r3 of the switch: hand-over block, first PageTag, stack pointer and the
    /// second-stage loader, all physical.
    std::array<std::uint32_t, 4> args;
    ProcessorState processor;

    std::uint32_t handoverBlock() const { return args[0]; }
    std::uint32_t tagChain() const { return args[1]; }
    std::uint32_t stackPointer() const { return args[2]; }
    std::uint32_t loader() const { return args[3]; }
};

}  // namespace sandbox
