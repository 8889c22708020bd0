// What the front end does once the boot loader has left the platform.
#pragma once

#include <string>

#include "cli/Terminal.h"
#include "sandbox/SwitchRecord.h"

struct AfterSwitchChoice {
    std::string executor = "arm";  // "arm": run the loader page and the kernel; "none"
    std::uint64_t instructionLimit = 200000000;
};

/// Reports the switch and, with the arm executor, runs the second-stage loader and the
/// kernel on the emulated core, showing the kernel's UART output. Returns the exit
/// code: the kernel's status when it ran and exited, 0 when it was not run, 1 when
/// the run stopped short of that.
int afterSwitch(const sandbox::SwitchRecord& record, const AfterSwitchChoice& choice, Terminal& terminal);
