#include "menu/TabPage.h"

#include <commctrl.h>

#include "menu/Application.h"
#include "menu/Controls.h"

TabPage::TabPage(Application& application, TabControl& tabControl, const wchar_t* templateName, int index)
    : Window(application, tabControl.hwnd()),
      tabControl_(tabControl),
      templateName_(templateName),
      rect_(tabControl.layout()),
      index_(index) {}

TabPage::~TabPage() {
    // Detached first, so that messages of the dying dialog find no page.
    if (window_ != nullptr) {
        SetWindowLongPtrW(window_, DWLP_USER, 0);
        DestroyWindow(window_);
    }
}

bool TabPage::create(const CREATESTRUCTW*) {
    HRSRC found = FindResourceW(application_.instance, templateName_, MAKEINTRESOURCEW(5));  // a dialog
    HGLOBAL loaded = found != nullptr ? LoadResource(application_.instance, found) : nullptr;
    auto* dialogTemplate = loaded != nullptr ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    if (dialogTemplate == nullptr) return false;
    CreateDialogIndirectParamW(application_.instance, dialogTemplate, parent_, dispatcher,
                               reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

bool TabPage::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            init(dialog);
            return true;
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return true;
        default:
            return false;
    }
}

void TabPage::init(HWND dialog) {
    window_ = dialog;
    TCITEMW item{};
    item.mask = TCIF_IMAGE | TCIF_PARAM;
    item.iImage = index_;
    item.lParam = reinterpret_cast<LPARAM>(this);
    SendMessageW(parent_, TCM_INSERTITEMW, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&item));
    SendMessageW(parent_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect_));
    hide();
}

void TabPage::command(WORD, WORD) {}

void TabPage::hide() { ShowWindow(window_, SW_HIDE); }

void TabPage::show() {
    MoveWindow(window_, rect_.left, 0, rect_.right - rect_.left, rect_.bottom - rect_.top, TRUE);
    ShowWindow(window_, SW_SHOW);
}

INT_PTR CALLBACK TabPage::dispatcher(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    TabPage* page;
    if (message == WM_INITDIALOG) {
        page = reinterpret_cast<TabPage*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    } else {
        page = reinterpret_cast<TabPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
    }
    return page != nullptr ? page->dialogProc(dialog, message, wParam, lParam) : FALSE;
}
