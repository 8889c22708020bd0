// The ARM semihosting calls a test kernel makes (SVC 0x123456 in ARM state): text
// output and the exit with a status, as QEMU carries them out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sandbox/ArmCore.h"

namespace sandbox {

struct SemihostingState {
    std::string output;               // SYS_WRITEC and SYS_WRITE0 text
    std::optional<int> exitStatus;    // set by SYS_EXIT and SYS_EXIT_EXTENDED
};

/// The SVC immediate that marks a semihosting call in ARM state.
inline constexpr std::uint32_t semihostingCall = 0x123456;

/// Carries out the call in r0/r1 of `core` and sets r0 to its result. Unknown calls
/// return -1 to the caller.
void carryOutSemihosting(ArmCore& core, SemihostingState& state);

}  // namespace sandbox
