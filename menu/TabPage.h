// A page of the tab control: a modeless dialog made from the page's template.
#pragma once

#include "menu/Window.h"

class TabControl;

class TabPage : public Window {
public:
    // Page indices: also the tab position and the image number.
    static constexpr int mainPage = 0;
    static constexpr int optionPage = 1;
    static constexpr int consolePage = 2;

    TabPage(Application& application, TabControl& tabControl, const wchar_t* templateName, int index);
    ~TabPage() override;

    /// Creates the dialog from the template inside the tab control.
    bool create(const CREATESTRUCTW* parentInfo) override;

    /// Handles a dialog message; true when handled.
    virtual bool dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    /// Fills the controls; the base adds the page's tab and hides the page.
    virtual void init(HWND dialog);
    /// A control's command; the base does nothing.
    virtual void command(WORD id, WORD code);
    void hide();
    void show();

    HWND dialog() const { return window_; }
    int index() const { return index_; }
    /// The page area inside the tab control.
    const RECT& rect() const { return rect_; }

    /// The dialog procedure of every page: finds the page object and hands it the message.
    static INT_PTR CALLBACK dispatcher(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    TabControl& tabControl_;

private:
    const wchar_t* templateName_;
    RECT rect_;
    int index_;
};
