#include "menu/ConsoleTab.h"

#include <cstdint>
#include <memory>
#include <new>

#include "boot/BootMenu.h"
#include "boot/Preferences.h"
#include "menu/DesignUnits.h"
#include "menu/DialogItems.h"
#include "menu/ResourceIds.h"
#include "menu/WideText.h"

namespace {

constexpr WPARAM softLineBreaks = 1;

}  // namespace

ConsoleTab::ConsoleTab(Application& application, TabControl& tabControl)
    : TabPage(application, tabControl, L"WConsole", consolePage) {}

void ConsoleTab::init(HWND dialog) {
    TabPage::init(dialog);
    text_ = GetDlgItem(dialog, IDC_CONSOLE_TEXT);
    placeConsoleText();
    SendMessageW(text_, EM_FMTLINES, softLineBreaks, 0);
    // A long session must not silently stop showing text at the edit's default limit.
    SendMessageW(text_, EM_SETLIMITTEXT, 0, 0);
    logName_ = GetDlgItem(dialog, IDC_LOG_NAME);
    SetWindowTextW(logName_, L"bootlog.txt");
    logToFile_ = false;
    EnableWindow(logName_, FALSE);
}

void ConsoleTab::command(WORD id, WORD) {
    BootMenu& menu = *BootMenu::instance();
    if (id >= IDC_DEBUG_FLAG0 && id <= IDC_DEBUG_FLAG7) {
        std::uint32_t bit = 1u << (id - IDC_DEBUG_FLAG0);
        if (isChecked(dialog(), id)) {
            menu.debugFlags |= bit;
        } else {
            menu.debugFlags &= ~bit;
        }
    } else if (id >= IDC_DEBUG_HOOK0 && id <= IDC_DEBUG_HOOK3) {
        const DebugHook& hook = menu.debugHooks[id - IDC_DEBUG_HOOK0];
        if (hook.routine != nullptr) hook.routine(hook.argument, menu.debugFlags & 0xFF);
    } else if (id == IDC_SAVE_TO_FILE) {
        setLogToFile(isChecked(dialog(), IDC_SAVE_TO_FILE));
    }
}

void ConsoleTab::print(const char16_t* text, bool windowOnly) {
    if (!windowOnly && logToFile_) {
        wchar_t name[Preferences::textUnits];
        GetWindowTextW(logName_, name, Preferences::textUnits);
        if (log_.isOpen() || log_.open(utf16(name), *this)) {
            log_.write(text);
            return;
        }
        setLogToFile(false);
        CheckDlgButton(dialog(), IDC_SAVE_TO_FILE, BST_UNCHECKED);
    }
    showInWindow(text);
}

void ConsoleTab::placeConsoleText() {
    using namespace designUnits;
    int width = fromPixelsX(rect().right - rect().left);
    int height = fromPixelsY(rect().bottom - rect().top);
    MoveWindow(text_, toPixelsX(5), toPixelsY(60), toPixelsX(width - 10), toPixelsY(height - 60), TRUE);
}

void ConsoleTab::showInWindow(const char16_t* text) {
    std::size_t length = 0;
    std::size_t lineFeeds = 0;
    for (; text[length] != 0; ++length) lineFeeds += text[length] == u'\n';
    std::unique_ptr<wchar_t[]> converted(new (std::nothrow) wchar_t[length + lineFeeds + 1]);
    if (!converted) return;
    wchar_t* out = converted.get();
    for (const char16_t* c = text; *c != 0; ++c) {
        if (*c == u'\n') *out++ = L'\r';
        *out++ = static_cast<wchar_t>(*c);
    }
    *out = 0;
    LRESULT end = SendMessageW(text_, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(text_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(text_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(converted.get()));
    SendMessageW(text_, EM_SCROLLCARET, 0, 0);
    UpdateWindow(text_);
}

void ConsoleTab::setLogToFile(bool on) {
    logToFile_ = on;
    EnableWindow(logName_, on);
}
