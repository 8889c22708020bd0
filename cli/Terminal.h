// The headless front end's window: Console page and root window on the terminal.
#pragma once

#include <string>

#include "boot/WindowLinks.h"
#include "console/LogFile.h"

class Terminal : public RootWindowLink, public ConsolePageLink {
public:
    /// `logToFile`: the Console page's "save to file", writing "bootlog.txt".
    explicit Terminal(bool logToFile);

    // Root window.
    void progress(const char* label) override;
    void progressReset() override;
    platform::WindowHandle handle() override { return this; }

    // Console page.
    void print(const char16_t* text, bool windowOnly) override;

    /// Prints a line of the front end's own (a message box, a report) to the window.
    void show(const std::string& text);

private:
    void eraseBar();
    void drawBar();

    bool logToFile_;
    LogFile log_;
    bool barShown_ = false;
    bool interactive_;
    int position_ = 0;
};
