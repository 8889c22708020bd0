// What the boot core needs of the window, whichever front end provides it.
#pragma once

#include "platform/types.h"

/// The root window: owner of message boxes, holder of the progress bar.
class RootWindowLink {
public:
    virtual ~RootWindowLink() = default;
    /// Prints "[progress] %S\n" with `label` and steps the progress bar by one.
    virtual void progress(const char* label) = 0;
    /// Sets the progress bar back to 0.
    virtual void progressReset() = 0;
    /// The platform window that owns message boxes.
    virtual platform::WindowHandle handle() = 0;
};

/// A settings page (Main, Option) that copies its controls into the Preferences.
class SettingsPageLink {
public:
    virtual ~SettingsPageLink() = default;
    virtual void collect() = 0;
};

/// The Console page: shows or logs finished text.
class ConsolePageLink {
public:
    virtual ~ConsolePageLink() = default;
    /// `text` has bare "\n" line ends and is borrowed for the call.
    virtual void print(const char16_t* text, bool windowOnly) = 0;
};
