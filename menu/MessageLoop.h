// The application's message loop.
#pragma once

#include <windows.h>

class Application;

/// Runs until the quit message; returns its code.
int runMessageLoop(Application& application);

/// One message of the loop: cancels the auto-boot countdown on the first key or tap,
/// offers the message to the keyboard navigation, else translates and dispatches it.
void handleMessage(Application& application, MSG& message);
