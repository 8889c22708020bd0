// Processor role: the platform's kernel-mode switch.
//
// The privileged primitives themselves (CPSR, CP15, cache cleaning, the jump into
// the second-stage loader) are the system's own ARM code in arch/ and memory/.
#pragma once

namespace platform {

/// Runs the calling thread in the processor's privileged System mode (true) or back
/// in user mode (false). Returns the previous setting.
bool setKernelMode(bool privileged);

}  // namespace platform
