// The one application object: program instance, command bar, root window, console.
#pragma once

#include <windows.h>

#include <memory>

class Console;
class RootWindow;

class Application {
public:
    /// Obtains the Console and holds it for the application's lifetime.
    explicit Application(HINSTANCE instance);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    HINSTANCE instance;
    HWND commandBar = nullptr;
    std::unique_ptr<RootWindow> rootWindow;
    Console* console;
};
