// The root window: layout on the simulated display, the keyboard rules, the tab
// notifications and the commands.
#include <windows.h>
#include <commctrl.h>

#include "boot/BootMenu.h"
#include "menu/ResourceIds.h"
#include "tests/menu/WindowTest.h"

namespace {

/// A child's rectangle in its parent's client coordinates.
RECT placeOf(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct LayoutCase {
    int width, height, dpi;
    int buttonWidth;
    int columnX, columnY;  // the flag column, in design units
    friend void PrintTo(const LayoutCase& c, std::ostream* out) {
        *out << c.width << "x" << c.height << "@" << c.dpi;
    }
};

class RootLayoutTest : public WindowTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(RootLayoutTest, FollowsTheSimulatedDisplay) {
    const LayoutCase& c = GetParam();
    setDisplay(c.width, c.height, c.dpi);
    openWindow();
    RECT client;
    GetClientRect(root().hwnd(), &client);
    EXPECT_EQ(client.right, c.width);
    EXPECT_EQ(client.bottom, c.height);

    int bar = root().commandBarHeight;
    EXPECT_GT(bar, 0);
    EXPECT_EQ(root().buttonWidth, c.buttonWidth);
    RECT boot = placeOf(root().bootButton->hwnd());
    EXPECT_EQ(boot.left, 0);
    EXPECT_EQ(boot.top, bar);
    EXPECT_EQ(boot.right, c.buttonWidth);
    EXPECT_EQ(boot.bottom, 2 * bar);
    RECT cancel = placeOf(root().cancelButton->hwnd());
    EXPECT_EQ(cancel.left, c.width - c.buttonWidth);
    EXPECT_EQ(cancel.right, c.width);
    RECT progress = placeOf(root().progressBar->hwnd());
    EXPECT_EQ(progress.left, c.buttonWidth);
    EXPECT_EQ(progress.right, c.width - c.buttonWidth);
    RECT tab = placeOf(root().tabControl->hwnd());
    EXPECT_EQ(tab.top, 2 * bar);
    EXPECT_EQ(tab.bottom, c.height);
    EXPECT_EQ(tab.right, c.width);

    // Design units scale with the display's density.
    RECT verbose = placeOf(mainItem(IDC_VERBOSE));
    EXPECT_EQ(verbose.left, c.columnX * c.dpi / 96);
    EXPECT_EQ(verbose.top, c.columnY * c.dpi / 96);
    RECT serial = placeOf(mainItem(IDC_SERIAL_CONSOLE));
    EXPECT_EQ(serial.top, (c.columnY + 80) * c.dpi / 96);
    RECT speed = placeOf(mainItem(IDC_SERIAL_SPEED));
    EXPECT_EQ(speed.left, (c.columnX + 100) * c.dpi / 96);
    RECT console = placeOf(consoleItem(IDC_CONSOLE_TEXT));
    EXPECT_EQ(console.left, 5 * c.dpi / 96);
    EXPECT_EQ(console.top, 60 * c.dpi / 96);
}

INSTANTIATE_TEST_SUITE_P(Displays, RootLayoutTest,
                         ::testing::Values(LayoutCase{320, 240, 96, 50, 5, 125}, LayoutCase{480, 272, 96, 75, 5, 125},
                                           LayoutCase{640, 240, 96, 75, 250, 5},
                                           LayoutCase{640, 480, 192, 75, 5, 125}));

TEST_F(WindowTest, TitleAndFirstStateFollowTheProgramsStart) {
    openWindow();
    EXPECT_EQ(text(root().hwnd()), L"TEMBREL Build 15");
    EXPECT_EQ(text(root().bootButton->hwnd()), L"Boot");
    EXPECT_EQ(text(root().cancelButton->hwnd()), L"Cancel");
    EXPECT_EQ(GetFocus(), root().bootButton->hwnd());
    EXPECT_EQ(root().visiblePage(), root().mainTab.get());
    EXPECT_EQ(SendMessageW(root().tabControl->hwnd(), TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(GetDlgCtrlID(application->commandBar), ID_COMMANDBAR);
    EXPECT_EQ(BootMenu::instance()->rootWindow, &root());
}

TEST_F(WindowTest, ProgressStepsToElevenAndResets) {
    openWindow();
    HWND bar = root().progressBar->hwnd();
    PBRANGE range;
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 11);
    BootMenu::instance()->progress("open kernel");
    BootMenu::instance()->progress(nullptr);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 2);
    EXPECT_NE(text(consoleItem(IDC_CONSOLE_TEXT)).find(L"[progress] open kernel\r\n"), std::wstring::npos);
    BootMenu::instance()->progressReset();
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
}

enum class Start { boot, cancel, tab };

struct FocusCase {
    Start start;
    WPARAM key;
    bool shift;
    Start expected;
    friend void PrintTo(const FocusCase& c, std::ostream* out) {
        *out << (c.shift ? "shift+" : "") << "key" << c.key << "-from" << static_cast<int>(c.start);
    }
};

class FocusCycleTest : public WindowTest, public ::testing::WithParamInterface<FocusCase> {
protected:
    HWND windowOf(Start s) {
        switch (s) {
            case Start::boot: return root().bootButton->hwnd();
            case Start::cancel: return root().cancelButton->hwnd();
            case Start::tab: return root().tabControl->hwnd();
        }
        return nullptr;
    }
};

TEST_P(FocusCycleTest, MovesBetweenTheButtonsAndTheTabControl) {
    const FocusCase& c = GetParam();
    openWindow();
    SetFocus(windowOf(c.start));
    pressKey(windowOf(c.start), c.key, c.shift);
    EXPECT_EQ(GetFocus(), windowOf(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Keys, FocusCycleTest,
                         ::testing::Values(FocusCase{Start::boot, VK_TAB, false, Start::cancel},
                                           FocusCase{Start::cancel, VK_TAB, false, Start::tab},
                                           FocusCase{Start::boot, VK_TAB, true, Start::tab},
                                           FocusCase{Start::cancel, VK_TAB, true, Start::boot},
                                           FocusCase{Start::boot, VK_RIGHT, false, Start::cancel},
                                           FocusCase{Start::boot, VK_LEFT, false, Start::tab},
                                           FocusCase{Start::cancel, VK_DOWN, false, Start::tab},
                                           FocusCase{Start::cancel, VK_UP, false, Start::boot}));

TEST_F(WindowTest, TabOnAPagesLastControlReturnsToTheTabControl) {
    BootMenu::instance()->preferences.serialConsole = 1;  // the speed box is the last one then
    openWindow();
    HWND speed = mainItem(IDC_SERIAL_SPEED);
    SetFocus(speed);
    HWND typing = GetFocus();  // the edit inside the combo box
    ASSERT_TRUE(typing == speed || IsChild(speed, typing));
    pressKey(typing, VK_TAB);
    EXPECT_EQ(GetFocus(), root().tabControl->hwnd());

    // Shift+Tab there stays with the page's own navigation.
    SetFocus(speed);
    pressKey(GetFocus(), VK_TAB, true);
    EXPECT_EQ(GetFocus(), mainItem(IDC_SERIAL_CONSOLE));
}

TEST_F(WindowTest, TabOnTheLastEnabledControlWhenTheSpeedIsOff) {
    openWindow();
    HWND serial = mainItem(IDC_SERIAL_CONSOLE);
    SetFocus(serial);
    pressKey(serial, VK_TAB);
    EXPECT_EQ(GetFocus(), root().tabControl->hwnd());
}

struct TabKeyCase {
    WPARAM key;
    bool shift;
    bool toPage;  // else to the Cancel button
    friend void PrintTo(const TabKeyCase& c, std::ostream* out) { *out << (c.shift ? "shift+" : "") << "key" << c.key; }
};

class TabControlKeyTest : public WindowTest, public ::testing::WithParamInterface<TabKeyCase> {};

TEST_P(TabControlKeyTest, LeavesTheTabControl) {
    const TabKeyCase& c = GetParam();
    openWindow();
    HWND tab = root().tabControl->hwnd();
    SetFocus(tab);
    pressKey(tab, c.key, c.shift);
    HWND focus = GetFocus();
    if (c.toPage) {
        HWND first = mainItem(IDC_DIRECTORY);
        EXPECT_TRUE(focus == first || IsChild(first, focus));
    } else {
        EXPECT_EQ(focus, root().cancelButton->hwnd());
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, TabControlKeyTest,
                         ::testing::Values(TabKeyCase{VK_TAB, false, true}, TabKeyCase{VK_TAB, true, false},
                                           TabKeyCase{VK_LEFT, false, false}, TabKeyCase{VK_RIGHT, false, true}));

TEST_F(WindowTest, OtherKeysOnTheTabControlKeepTheFocus) {
    openWindow();
    HWND tab = root().tabControl->hwnd();
    SetFocus(tab);
    pressKey(tab, 'X');
    EXPECT_EQ(GetFocus(), tab);
}

TEST_F(WindowTest, ChangingTheTabShowsOnlyThatPage) {
    openWindow();
    HWND tab = root().tabControl->hwnd();
    SendMessageW(tab, TCM_SETCURFOCUS, TabPage::consolePage, 0);
    pump();
    EXPECT_EQ(root().visiblePage(), root().consoleTab.get());
    EXPECT_FALSE(IsWindowVisible(root().mainTab->dialog()));
    EXPECT_FALSE(IsWindowVisible(root().optionTab->dialog()));
    RECT page = placeOf(root().consoleTab->dialog());
    EXPECT_EQ(page.top, 0);
    EXPECT_EQ(page.left, root().consoleTab->rect().left);
    SendMessageW(tab, TCM_SETCURFOCUS, TabPage::optionPage, 0);
    pump();
    EXPECT_EQ(root().visiblePage(), root().optionTab.get());
}

struct CommandCase {
    WPARAM wParam;
    int boots;
    bool quits;
    friend void PrintTo(const CommandCase& c, std::ostream* out) { *out << "wParam" << std::hex << c.wParam; }
};

class RootCommandTest : public WindowTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(RootCommandTest, OnlyTheWholeWordCounts) {
    const CommandCase& c = GetParam();
    BootMenu::instance()->preferences.safetyMessage = 0;
    openWindow();
    SendMessageW(root().hwnd(), WM_COMMAND, c.wParam, 0);
    pump();
    EXPECT_EQ(boots, c.boots);
    EXPECT_EQ(quitCode.has_value(), c.quits);
    EXPECT_TRUE(machine.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Words, RootCommandTest,
                         ::testing::Values(CommandCase{ID_BOOT, 1, false},
                                           CommandCase{MAKEWPARAM(ID_BOOT, BN_SETFOCUS), 0, false},
                                           CommandCase{MAKEWPARAM(ID_BOOT, BN_KILLFOCUS), 0, false},
                                           CommandCase{ID_CANCEL, 0, true},
                                           CommandCase{MAKEWPARAM(ID_CANCEL, BN_SETFOCUS), 0, false},
                                           CommandCase{99, 0, false}));

TEST_F(WindowTest, CancelEndsTheLoopWithZero) {
    openWindow();
    click(root().cancelButton->hwnd());
    ASSERT_TRUE(quitCode.has_value());
    EXPECT_EQ(*quitCode, 0);
}

TEST_F(WindowTest, FocusComesBackAfterDeactivationAndMenus) {
    openWindow();
    HWND w = root().hwnd();
    for (UINT leave : {static_cast<UINT>(WM_ACTIVATE), static_cast<UINT>(WM_ENTERMENULOOP)}) {
        UINT back = leave == WM_ACTIVATE ? WM_ACTIVATE : WM_EXITMENULOOP;
        SetFocus(root().cancelButton->hwnd());
        SendMessageW(w, leave, leave == WM_ACTIVATE ? WA_INACTIVE : 0, 0);
        SetFocus(mainItem(IDC_KERNEL_NAME));
        SendMessageW(w, back, leave == WM_ACTIVATE ? WA_ACTIVE : 0, 0);
        EXPECT_EQ(GetFocus(), root().cancelButton->hwnd()) << leave;
    }
    // A remembered window that is gone gives the focus to Boot.
    HWND gone = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 1, 1, w, nullptr, nullptr, nullptr);
    SetFocus(gone);
    SendMessageW(w, WM_ENTERMENULOOP, 0, 0);
    DestroyWindow(gone);
    SendMessageW(w, WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(GetFocus(), root().bootButton->hwnd());
}

}  // namespace
