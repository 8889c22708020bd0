// The program as a whole: its start and end, and a real boot attempt that fails and
// leaves the window as it was.
#include <windows.h>
#include <commctrl.h>

#include <thread>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "menu/ProcessEntry.h"
#include "menu/ResourceIds.h"
#include "tests/menu/WindowTest.h"

namespace {

using namespace std::chrono_literals;

TEST_F(WindowTest, ProgramRunsUntilCancelAndTearsDown) {
    std::thread cancel([] {
        HWND window = nullptr;
        for (int i = 0; i < 500 && window == nullptr; ++i) {
            std::this_thread::sleep_for(10ms);
            window = FindWindowW(L"TEMBREL", nullptr);
        }
        PostMessageW(window, WM_COMMAND, ID_CANCEL, 0);
    });
    int result = processEntry(GetModuleHandleW(nullptr));
    cancel.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(FindWindowW(L"TEMBREL", nullptr), nullptr);
    // The BootMenu was destroyed: a new one starts with no window and no hook.
    EXPECT_EQ(BootMenu::instance()->rootWindow, nullptr);
    EXPECT_EQ(BootMenu::instance()->bootHook.routine, nullptr);
}

TEST_F(WindowTest, AFailedBootReturnsToTheWindow) {
    Preferences& p = BootMenu::instance()->preferences;
    p.directorySaved = 1;
    setRecordText(p.kernelDirectory, u"\\Storage Card\\");
    openWindow();
    BootController::instance();  // the real boot sequence as the boot hook
    {
        BoxAnswerer answerer(IDYES);
        click(root().bootButton->hwnd());
    }
    ASSERT_GE(machine.boxes.size(), 2u);
    EXPECT_EQ(machine.boxes.front().caption, u"WARNING");
    EXPECT_EQ(machine.boxes.back().caption, u"BOOT FAILED");
    for (const sandbox::MessageBoxRecord& box : machine.boxes) EXPECT_EQ(box.owner, root().hwnd());
    EXPECT_TRUE(IsWindow(root().hwnd()));
    EXPECT_EQ(SendMessageW(root().progressBar->hwnd(), PBM_GETPOS, 0, 0), 0);
    std::wstring console = text(consoleItem(IDC_CONSOLE_TEXT));
    EXPECT_NE(console.find(L"BOOT START\r\n"), std::wstring::npos);
    EXPECT_NE(console.find(L"[progress] "), std::wstring::npos) << console;
    BootController::destroyInstance();
}

}  // namespace
