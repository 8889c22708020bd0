// The Boot button's command, without a window.
#pragma once

#include "boot/BootMenu.h"
#include "boot/WindowLinks.h"

/// Collects the pages, asks the safety question, prints "BOOT START\n", collects
/// again, saves the Preferences and calls boot(). False when the user declined the
/// question; otherwise true once boot() has returned.
bool runBootCommand(BootMenu& menu, RootWindowLink& window);
