// Processor role: the platform's kernel-mode switch, and how the system's own
// privileged ARM routines reach the processor.
//
// The privileged primitives (CPSR, CP15, cache cleaning, the jump into the
// second-stage loader) are the system's own ARM code in arch/ and memory/. A build
// that runs on the handheld links them in and calls them directly. A build for a
// host that cannot execute ARM code hands the assembled routines to this role, which
// runs them on the platform's processor.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace platform {

/// Runs the calling thread in the processor's privileged System mode (true) or back
/// in user mode (false). Returns the previous setting.
bool setKernelMode(bool privileged);

/// A block of the system's own ARM code, linked to run at `base`.
struct ArmCode {
    std::uint32_t base;
    const std::uint8_t* bytes;
    std::uint32_t size;
};

/// One routine of an ArmCode block, by its link address and length.
struct ArmRoutine {
    std::uint32_t address;
    std::uint32_t size;
};

/// Program memory that a routine reaches at `address` of its link map: `size` bytes
/// at `host`, which the routine may read and write.
struct ArmData {
    std::uint32_t address;
    void* host;
    std::uint32_t size;
};

/// Runs `routine` of `code` on the processor, in the calling thread's current mode,
/// with `args` in r0-r3, until it returns. Returns r0.
std::uint32_t runArmRoutine(const ArmCode& code, ArmRoutine routine, const std::array<std::uint32_t, 4>& args,
                            std::span<const ArmData> data = {});

/// Runs `routine` of `code`, which leaves the platform for good: it masks interrupts,
/// turns the MMU and caches off and enters the second-stage loader at physical
/// address args[3] with args[0..2] in r0-r2. Returns only when the platform could not
/// be left.
void leavePlatform(const ArmCode& code, ArmRoutine routine, const std::array<std::uint32_t, 4>& args);

}  // namespace platform
