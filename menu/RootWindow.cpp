#include "menu/RootWindow.h"

#include <commctrl.h>

#include "boot/BootMenu.h"
#include "boot/BootSequence.h"
#include "console/Console.h"
#include "console/format.h"
#include "menu/Application.h"
#include "menu/CommandBar.h"
#include "menu/PageFactory.h"
#include "menu/ResourceIds.h"
#include "menu/WideText.h"
#include "platform/queries.h"
#include "platform/ui.h"

namespace {

constexpr int classNameUnits = 64;
constexpr int narrowButtonWidth = 50;
constexpr int narrowDisplayWidth = 320;
/// SetTimer's longest period; a larger countdown waits that long.
constexpr long long longestTimer = 0x7FFFFFFF;

/// The class name and title prefix from the program's resources.
void loadClassName(HINSTANCE instance, wchar_t (&name)[classNameUnits]) {
    if (LoadStringW(instance, IDS_TEMBREL, name, classNameUnits) == 0) name[0] = 0;
}

/// The outer size that gives the window a client area of the simulated display.
SIZE windowSizeForDisplay(DWORD style) {
    RECT r{0, 0, platform::displayCapability(platform::DisplayCapability::width),
           platform::displayCapability(platform::DisplayCapability::height)};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    return {r.right - r.left, r.bottom - r.top};
}

bool shiftHeld() { return GetKeyState(VK_SHIFT) < 0; }

}  // namespace

RootWindow::RootWindow(Application& application) : Window(application, nullptr) {}

RootWindow::~RootWindow() {
    BootMenu* menu = BootMenu::instance();
    // The BootMenu outlives the window; it must not forward to pages that are gone.
    if (menu->rootWindow == this) menu->rootWindow = nullptr;
    menu->mainTab = nullptr;
    menu->optionTab = nullptr;
    menu->consoleTab = nullptr;
    bootButton.reset();
    cancelButton.reset();
    progressBar.reset();
    mainTab.reset();
    optionTab.reset();
    consoleTab.reset();
    tabControl.reset();
    // Detached first, so that destroying the window posts no quit to a later loop.
    if (window_ != nullptr && IsWindow(window_)) {
        SetWindowLongPtrW(window_, 0, 0);
        DestroyWindow(window_);
    }
}

bool RootWindow::create(const CREATESTRUCTW*) {
    wchar_t className[classNameUnits];
    loadClassName(application_.instance, className);
    char16_t title[classNameUnits + 16];
    console::format(title, std::size(title), u"%s Build %d", static_cast<const char16_t*>(utf16(className)),
                    buildNumber);
    // A top-level window always has a caption; the client area is the simulated display.
    SIZE size = windowSizeForDisplay(WS_CAPTION);
    HWND window = CreateWindowExW(0, className, wide(title), WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                                  size.cy, nullptr, nullptr, application_.instance, static_cast<Window*>(this));
    if (window == nullptr) return false;
    std::int32_t seconds = BootMenu::instance()->preferences.autoBootSeconds;
    if (seconds > 0) {
        long long period = static_cast<long long>(seconds) * 1000;
        SetTimer(window, ID_AUTOBOOT_TIMER, static_cast<UINT>(period < longestTimer ? period : longestTimer), nullptr);
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return true;
}

bool RootWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            window_ = window;
            buildChildren(reinterpret_cast<const CREATESTRUCTW*>(lParam));
            return true;
        case WM_DESTROY:
            PostQuitMessage(0);
            return true;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                savedFocus = GetFocus();
            } else {
                restoreFocus();
            }
            return true;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return true;
        }
        case WM_NOTIFY:
            return notify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            // The whole word: a Boot button notification other than a click is not Boot.
            if (wParam == ID_BOOT) boot(true);
            if (wParam == ID_CANCEL) PostQuitMessage(0);
            return true;
        case WM_TIMER:
            KillTimer(window, ID_AUTOBOOT_TIMER);
            boot(false);
            return true;
        case WM_ENTERMENULOOP:
            savedFocus = GetFocus();
            return true;
        case WM_EXITMENULOOP:
            restoreFocus();
            return true;
        default:
            return false;
    }
}

void RootWindow::progress(const char* label) {
    if (label != nullptr) Console::instance()->print(u"[progress] %S\n", label);
    if (progressBar) SendMessageW(progressBar->hwnd(), PBM_STEPIT, 0, 0);
}

void RootWindow::progressReset() {
    if (progressBar) SendMessageW(progressBar->hwnd(), PBM_SETPOS, 0, 0);
}

void RootWindow::buildChildren(const CREATESTRUCTW* info) {
    application_.commandBar = createCommandBar(application_.instance, window_, ID_COMMANDBAR);
    commandBarHeight = ::commandBarHeight(application_.commandBar);
    buttonWidth = narrowButtonWidth;
    if (platform::displayCapability(platform::DisplayCapability::width) > narrowDisplayWidth) {
        buttonWidth += narrowButtonWidth / 2;
    }
    RECT layout;
    GetClientRect(window_, &layout);
    layout.top += commandBarHeight;
    bootButton = std::make_unique<BootButton>(application_, window_, layout, buttonWidth, commandBarHeight);
    bootButton->create(info);
    cancelButton = std::make_unique<CancelButton>(application_, window_, layout, buttonWidth, commandBarHeight);
    cancelButton->create(info);
    progressBar = std::make_unique<ProgressBar>(application_, window_, layout, buttonWidth, commandBarHeight);
    progressBar->create(info);
    BootMenu::instance()->rootWindow = this;
    layout.top += commandBarHeight;
    tabControl = std::make_unique<TabControl>(application_, window_, layout, ID_TABCONTROL);
    tabControl->create(info);
    mainTab.reset(createPage(application_, *tabControl, TabPage::mainPage));
    optionTab.reset(createPage(application_, *tabControl, TabPage::optionPage));
    consoleTab.reset(createPage(application_, *tabControl, TabPage::consolePage));
    if (mainTab) mainTab->show();
    SetFocus(bootButton->hwnd());
}

void RootWindow::boot(bool askFirst) {
    BootMenu& menu = *BootMenu::instance();
    if (askFirst) {
        menu.collect();
        const Preferences& p = menu.preferences;
        if (p.safetyMessage != 0) {
            std::uint32_t icon = p.pauseBeforeBoot != 0 ? platform::boxIconQuestion : platform::boxIconExclamation;
            std::int32_t answer = platform::messageBox(window_, u"Data in memory will be lost.\nAre you sure?",
                                                       u"WARNING", platform::boxYesNo | icon);
            if (answer != platform::answerYes) return;
            UpdateWindow(window_);
        }
    }
    progressReset();
    menu.print(u"BOOT START\n");
    menu.collect();
    (void)menu.savePreferences();
    menu.boot();
}

bool RootWindow::notify(const NMHDR& header) {
    if (!tabControl || header.hwndFrom != tabControl->hwnd()) return false;
    switch (header.code) {
        case TCN_SELCHANGING:
            if (TabPage* page = selectedPage()) page->hide();
            return true;
        case TCN_SELCHANGE:
            if (TabPage* page = selectedPage()) page->show();
            return true;
        case TCN_KEYDOWN:
            tabKeyRule(reinterpret_cast<const NMTCKEYDOWN&>(header).wVKey);
            return true;
        default:
            return false;
    }
}

TabPage* RootWindow::selectedPage() const {
    HWND tab = tabControl->hwnd();
    LRESULT selected = SendMessageW(tab, TCM_GETCURSEL, 0, 0);
    if (selected < 0) return nullptr;
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<TabPage*>(item.lParam);
}

bool RootWindow::tabKeyRule(WORD key) {
    int direction = 0;
    if (key == VK_TAB) direction = shiftHeld() ? -1 : 1;
    if (key == VK_LEFT) direction = -1;
    if (key == VK_RIGHT) direction = 1;
    if (direction == 0) return false;
    if (direction < 0) {
        SetFocus(cancelButton->hwnd());
    } else if (TabPage* page = selectedPage()) {
        if (HWND first = GetNextDlgTabItem(page->dialog(), nullptr, FALSE)) SetFocus(first);
    }
    return true;
}

TabPage* RootWindow::visiblePage() const {
    for (const std::unique_ptr<TabPage>* page : {&mainTab, &optionTab, &consoleTab}) {
        if (*page && IsWindowVisible((*page)->dialog())) return page->get();
    }
    return nullptr;
}

bool RootWindow::navigate(MSG& message) {
    TabPage* page = visiblePage();
    if (focusRule(message, page)) return true;
    return IsDialogMessageW(page != nullptr ? page->dialog() : nullptr, &message) != FALSE;
}

bool RootWindow::focusRule(const MSG& message, TabPage* page) {
    if (message.message != WM_KEYDOWN || !bootButton || !cancelButton || !tabControl) return false;
    HWND next = nullptr;
    HWND previous = nullptr;
    LRESULT code = 0;
    if (message.hwnd == bootButton->hwnd()) {
        next = cancelButton->hwnd();
        previous = tabControl->hwnd();
    } else if (message.hwnd == cancelButton->hwnd()) {
        next = tabControl->hwnd();
        previous = bootButton->hwnd();
    } else if (page != nullptr) {
        // The page's last tab stop: the one before its first.
        HWND first = GetNextDlgTabItem(page->dialog(), nullptr, FALSE);
        HWND last = first != nullptr ? GetNextDlgTabItem(page->dialog(), first, TRUE) : nullptr;
        if (last == nullptr || (message.hwnd != last && !IsChild(last, message.hwnd))) return false;
        code = SendMessageW(last, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
        next = tabControl->hwnd();
    } else {
        return false;
    }
    HWND target = nullptr;
    switch (message.wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB) return false;
            target = shiftHeld() ? previous : next;
            break;
        case VK_LEFT:
        case VK_UP:
            if (code & DLGC_WANTARROWS) return false;
            target = previous;
            break;
        case VK_RIGHT:
        case VK_DOWN:
            if (code & DLGC_WANTARROWS) return false;
            target = next;
            break;
        default:
            break;
    }
    if (target == nullptr) return false;
    SetFocus(target);
    return true;
}

void RootWindow::restoreFocus() {
    if (savedFocus != nullptr && IsWindow(savedFocus)) {
        SetFocus(savedFocus);
    } else if (bootButton) {
        SetFocus(bootButton->hwnd());
    }
}

LRESULT CALLBACK RootWindow::dispatcher(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* object;
    if (message == WM_CREATE) {
        object = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(object));
    } else {
        object = reinterpret_cast<Window*>(GetWindowLongPtrW(window, 0));
    }
    if (object != nullptr && object->windowProc(window, message, wParam, lParam)) return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

bool registerRootWindowClass(HINSTANCE instance) {
    static wchar_t className[classNameUnits];
    loadClassName(instance, className);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = RootWindow::dispatcher;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TEMBREL));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszClassName = className;
    // Registered once per process; a second registration of the same class is fine.
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
