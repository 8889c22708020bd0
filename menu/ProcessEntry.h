// The program's start-up, message loop and shut-down.
#pragma once

#include <windows.h>

/// Runs the program in `instance`; returns the process result (0 when the window
/// could not be made).
int processEntry(HINSTANCE instance);
