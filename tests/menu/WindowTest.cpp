#include "tests/menu/WindowTest.h"

#include <commctrl.h>

#include "boot/BootMenu.h"
#include "menu/MessageLoop.h"
#include "sandbox/Machine.h"
#include "host/win32/HostWindow.h"

int WindowTest::boots = 0;

namespace {

void recordBoot(std::uint32_t) { ++WindowTest::boots; }

std::wstring windowText(HWND window) {
    wchar_t buffer[1024];
    int length = GetWindowTextW(window, buffer, 1024);
    return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

}  // namespace

BoxAnswerer::BoxAnswerer(int answer) : answer_(answer), thread_([this] { run(); }) {}

BoxAnswerer::~BoxAnswerer() {
    stop_ = true;
    thread_.join();
}

std::vector<std::wstring> BoxAnswerer::seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void BoxAnswerer::run() {
    while (!stop_) {
        // A message box is the only top-level dialog of the program.
        HWND box = FindWindowW(L"#32770", nullptr);
        if (box == nullptr || !IsWindowVisible(box)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        std::wstring seen = windowText(box) + L": " + windowText(GetDlgItem(box, 0xFFFF));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            seen_.push_back(seen);
        }
        // A box with only OK is dismissed with OK.
        int button = GetDlgItem(box, IDYES) != nullptr ? answer_ : IDOK;
        PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
        while (!stop_ && IsWindow(box)) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

WindowTest::WindowTest(std::string_view profileKey) : SandboxTest(profileKey) {
    boots = 0;
    addStorageCard("Storage Card");
    machine.boxPolicy = [](const sandbox::MessageBoxRecord& box) {
        return host::showMessageBox(box.owner, box.text.c_str(), box.caption.c_str(), box.style);
    };
}

WindowTest::~WindowTest() {
    application.reset();
    pump();
}

void WindowTest::setDisplay(int width, int height, int dpi) {
    machine.displayWidth = width;
    machine.displayHeight = height;
    machine.displayDpi = dpi;
}

void WindowTest::openWindow() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    BootMenu* menu = BootMenu::instance();
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    application = std::make_unique<Application>(instance);
    application->rootWindow = std::make_unique<RootWindow>(*application);
    ASSERT_TRUE(registerRootWindowClass(instance));
    ASSERT_TRUE(root().create(nullptr));
    menu->setBootHook(recordBoot, 0);
    pump();
}

void WindowTest::pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        handleMessage(*application, message);
    }
}

bool WindowTest::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        pump();
    }
    return true;
}

void WindowTest::pressKey(HWND window, WPARAM key, bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(window, WM_KEYDOWN, key, 1);
    pump();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

void WindowTest::click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    pump();
}

std::wstring WindowTest::text(HWND window) { return windowText(window); }
