// tembrel.exe's command line: the sandbox machine only. The boot loader's own
// settings live in the Preferences and on the pages.
#pragma once

#include <string>
#include <vector>

#include "sandbox/MachineSetup.h"

struct DesktopOptions {
    MachineChoice machine;
    std::string snapshot;  // where the machine is written at the switch; empty: on the card
};

/// Reads `arguments` (UTF-8, without the program name). False, with `error` set, for
/// an unknown option or a missing value.
bool parseDesktopOptions(const std::vector<std::string>& arguments, DesktopOptions& options, std::string& error);

/// The usage text.
const char* desktopUsage();
