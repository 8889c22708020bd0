// The real window on a sandbox machine, driven with messages as a user would.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "menu/Application.h"
#include "menu/RootWindow.h"
#include "tests/support/SandboxTest.h"

/// Answers the message boxes that appear while it lives, from another thread, as a
/// user would: it finds the box, reads it and presses a button.
class BoxAnswerer {
public:
    /// Presses `answer` (IDYES or IDNO) on every question, OK on every notice.
    explicit BoxAnswerer(int answer);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    /// "caption: text" of each box answered so far.
    std::vector<std::wstring> seen();

private:
    void run();

    int answer_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::wstring> seen_;
    std::thread thread_;
};

class WindowTest : public SandboxTest {
protected:
    explicit WindowTest(std::string_view profileKey = "jornada720");
    ~WindowTest() override;

    /// Gives the simulated display another size before the window is opened.
    void setDisplay(int width, int height, int dpi = 96);
    /// Opens the window as the program's start does, with a recorder as boot hook.
    void openWindow();
    /// Handles every queued message through the program's message loop.
    void pump();
    /// Pumps until `done` or `timeout`; true when `done` came.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    /// A key-down for `window`, through the message loop, with Shift held or not.
    void pressKey(HWND window, WPARAM key, bool shift = false);
    /// Clicks a button and handles what follows.
    void click(HWND button);

    RootWindow& root() { return *application->rootWindow; }
    HWND item(TabPage& page, int id) { return GetDlgItem(page.dialog(), id); }
    HWND mainItem(int id) { return item(*root().mainTab, id); }
    HWND optionItem(int id) { return item(*root().optionTab, id); }
    HWND consoleItem(int id) { return item(*root().consoleTab, id); }
    /// The text of a control.
    static std::wstring text(HWND window);
    static bool isChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

public:
    /// Boots the recorder saw.
    static int boots;

protected:
    /// The code of the quit message the loop met, if any.
    std::optional<int> quitCode;
    std::unique_ptr<Application> application;
};
