// The root window's child controls. Each keeps the layout rectangle current when it
// was made and places itself from it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "menu/Window.h"

/// A child control of the root window at a fixed place.
class ChildControl : public Window {
public:
    ChildControl(Application& application, HWND root, const RECT& layout) : Window(application, root), layout_(layout) {}

    const RECT& layout() const { return layout_; }

protected:
    /// Creates the control; true when it exists.
    bool createControl(DWORD exStyle, const wchar_t* className, DWORD style, int x, int y, int width, int height,
                       int id, const wchar_t* text = L"");

    RECT layout_;
};

/// A control of the command row, as tall as the command bar.
class RowControl : public ChildControl {
public:
    RowControl(Application& application, HWND root, const RECT& layout, int width, int height)
        : ChildControl(application, root, layout), width_(width), height_(height) {}

protected:
    int width_;
    int height_;
};

class BootButton : public RowControl {
public:
    using RowControl::RowControl;
    bool create(const CREATESTRUCTW* parentInfo) override;
};

class CancelButton : public RowControl {
public:
    using RowControl::RowControl;
    bool create(const CREATESTRUCTW* parentInfo) override;
};

/// The boot progress between the two buttons: 0 to 11 in steps of 1.
class ProgressBar : public RowControl {
public:
    using RowControl::RowControl;
    bool create(const CREATESTRUCTW* parentInfo) override;
};

/// The tab control under the command row, with image-only vertical tabs.
class TabControl : public ChildControl {
public:
    TabControl(Application& application, HWND root, const RECT& layout, int id)
        : ChildControl(application, root, layout), id_(id) {}
    ~TabControl() override;
    bool create(const CREATESTRUCTW* parentInfo) override;

    int id() const { return id_; }

private:
    int id_;
    HIMAGELIST images_ = nullptr;
};
