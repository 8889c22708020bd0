// The program's one top-level window: command bar, Boot and Cancel, the progress bar
// and the tab control with its three pages.
#pragma once

#include <memory>

#include "boot/WindowLinks.h"
#include "menu/Controls.h"
#include "menu/TabPage.h"
#include "menu/Window.h"

class RootWindow : public Window, public RootWindowLink {
public:
    explicit RootWindow(Application& application);
    ~RootWindow() override;

    /// Creates the window, arms the auto-boot countdown and shows it.
    bool create(const CREATESTRUCTW* parentInfo) override;
    bool windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // What the boot core uses.
    void progress(const char* label) override;
    void progressReset() override;
    platform::WindowHandle handle() override { return window_; }

    /// The keyboard navigation of the message loop; true when it consumed `message`.
    bool navigate(MSG& message);
    /// The first page whose window is visible, or null.
    TabPage* visiblePage() const;

    /// The window procedure of the registered class: finds the object of the window.
    static LRESULT CALLBACK dispatcher(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<BootButton> bootButton;
    std::unique_ptr<CancelButton> cancelButton;
    std::unique_ptr<ProgressBar> progressBar;
    std::unique_ptr<TabControl> tabControl;
    std::unique_ptr<TabPage> mainTab;
    std::unique_ptr<TabPage> optionTab;
    std::unique_ptr<TabPage> consoleTab;
    int buttonWidth = 0;
    int commandBarHeight = 0;
    HWND savedFocus = nullptr;

private:
    void buildChildren(const CREATESTRUCTW* info);
    /// Boot from the button (`askFirst`) or from the countdown, which skips the
    /// collect and the safety question.
    void boot(bool askFirst);
    bool notify(const NMHDR& header);
    TabPage* selectedPage() const;
    bool tabKeyRule(WORD key);
    bool focusRule(const MSG& message, TabPage* page);
    void restoreFocus();
};

/// Registers the root window's class. False when it cannot be registered.
bool registerRootWindowClass(HINSTANCE instance);
