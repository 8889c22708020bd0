// The command bar role. A handheld has a command bar across the top of the window;
// the desktop has none, so a thin toolbar strip stands in with the same id and the
// height the window's layout is built from.
#pragma once

#include <windows.h>

/// Creates the bar on `parent` with control id `id`; null when it cannot be made.
HWND createCommandBar(HINSTANCE instance, HWND parent, int id);

/// The bar's height in pixels; 0 for no bar.
int commandBarHeight(HWND bar);
