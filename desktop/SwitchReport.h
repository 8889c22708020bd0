// What tembrel.exe does when the boot loader leaves the platform. The program has no
// emulated ARM core: it writes the machine as the jump left it, for QEMU to boot,
// and reports where the second-stage loader will enter the kernel.
#pragma once

#include <string>

#include "sandbox/SwitchRecord.h"

/// Writes the snapshot to `snapshot` (empty: "snapshot.elf" on the storage card),
/// prints the switch and the kernel entry to standard output and ends the process:
/// status 0, or 1 when the snapshot cannot be written or the chain is unsound.
[[noreturn]] void endAtSwitch(const sandbox::SwitchRecord& record, const std::string& snapshot);
