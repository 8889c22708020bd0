// The Console page: the diagnostic text, or the log file it is diverted to, with the
// debug-flag boxes and the debug-hook buttons.
#pragma once

#include "boot/WindowLinks.h"
#include "console/LogFile.h"
#include "menu/TabPage.h"

class ConsoleTab : public TabPage, public ConsolePageLink {
public:
    ConsoleTab(Application& application, TabControl& tabControl);

    void init(HWND dialog) override;
    void command(WORD id, WORD code) override;
    /// Shows `text` (bare "\n" line ends) in the console edit, or writes it to the log
    /// file when file logging is on and `windowOnly` is false.
    void print(const char16_t* text, bool windowOnly) override;

    bool logToFile() const { return logToFile_; }

private:
    void placeConsoleText();
    void showInWindow(const char16_t* text);
    void setLogToFile(bool on);

    HWND text_ = nullptr;
    HWND logName_ = nullptr;
    bool logToFile_ = false;
    LogFile log_;
};
