// The base of every window object: the platform window, its application and parent.
#pragma once

#include <windows.h>

class Application;

class Window {
public:
    Window(Application& application, HWND parent) : application_(application), parent_(parent) {}
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    /// Handles `message` for `window`; true when handled. The base ends the message
    /// loop when its window is destroyed and handles nothing else.
    virtual bool windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    /// Creates the platform window; `parentInfo` is the creation information of the
    /// parent being built, if any. True when the window exists.
    virtual bool create(const CREATESTRUCTW* parentInfo) = 0;

    HWND hwnd() const { return window_; }

protected:
    Application& application_;
    HWND parent_;
    HWND window_ = nullptr;
};
