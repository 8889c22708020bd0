// What the front end does once the boot loader has left the platform.
#pragma once

#include <string>

#include "cli/Terminal.h"
#include "sandbox/SwitchRecord.h"

struct AfterSwitchChoice {
    std::string executor = "arm";  // "arm": run the loader page and the kernel; "none"
    std::uint64_t instructionLimit = 200000000;
    std::string snapshot;  // write the machine as the jump left it to this ELF file
    bool qemu = false;     // boot the snapshot in qemu-system-arm instead of the core
};

/// Reports the switch, writes the snapshot when asked, then runs the second-stage
/// loader and the kernel: in QEMU with --qemu, else on the emulated core with the arm
/// executor, showing the kernel's UART output. Returns the exit code: the kernel's
/// status when it ran and exited, 0 when it was not run, 1 when the run stopped short
/// of that or the snapshot could not be made.
int afterSwitch(const sandbox::SwitchRecord& record, const AfterSwitchChoice& choice, Terminal& terminal);
