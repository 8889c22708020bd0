// The Console page: text in the window, the log file, the debug boxes and buttons.
#include "boot/BootMenu.h"
#include "menu/ConsoleTab.h"
#include "menu/ResourceIds.h"
#include "tests/menu/WindowTest.h"

namespace {

std::uint32_t hookArgument = 0;
std::uint32_t hookFlags = 0;
int hookCalls = 0;

void recordHook(std::uint32_t argument, std::uint32_t flags) {
    hookArgument = argument;
    hookFlags = flags;
    ++hookCalls;
}

class ConsolePageTest : public WindowTest {
protected:
    ConsolePageTest() { hookCalls = 0; }
    std::wstring shown() { return text(consoleItem(IDC_CONSOLE_TEXT)); }
    ConsoleTab& page() { return static_cast<ConsoleTab&>(*root().consoleTab); }
};

TEST_F(ConsolePageTest, WindowGetsCarriageReturnsBeforeLineFeeds) {
    openWindow();
    BootMenu::instance()->print(u"one\ntwo\n\nthree");
    BootMenu::instance()->print(u" and more\n");
    EXPECT_EQ(shown(), L"one\r\ntwo\r\n\r\nthree and more\r\n");
}

TEST_F(ConsolePageTest, SaveToFileWritesSevenBitsAndLineFeeds) {
    openWindow();
    EXPECT_EQ(text(consoleItem(IDC_LOG_NAME)), L"bootlog.txt");
    EXPECT_FALSE(IsWindowEnabled(consoleItem(IDC_LOG_NAME)));
    click(consoleItem(IDC_SAVE_TO_FILE));
    EXPECT_TRUE(page().logToFile());
    EXPECT_TRUE(IsWindowEnabled(consoleItem(IDC_LOG_NAME)));
    BootMenu::instance()->print(u"caf\u00E9 \u00FF\n");
    BootMenu::instance()->print(u"second\n");
    EXPECT_EQ(storage.read("Storage Card/bootlog.txt"), std::string("cafi \x7F\nsecond\n"));
    EXPECT_EQ(shown(), L"log file is \\Storage Card\\bootlog.txt\r\n");

    // Off: the window again; on again: the same file goes on.
    click(consoleItem(IDC_SAVE_TO_FILE));
    BootMenu::instance()->print(u"to the window\n");
    click(consoleItem(IDC_SAVE_TO_FILE));
    BootMenu::instance()->print(u"third\n");
    EXPECT_EQ(storage.read("Storage Card/bootlog.txt"), std::string("cafi \x7F\nsecond\nthird\n"));
    EXPECT_EQ(shown(), L"log file is \\Storage Card\\bootlog.txt\r\nto the window\r\n");
}

TEST_F(ConsolePageTest, LogFileTakesTheNameInTheBox) {
    openWindow();
    click(consoleItem(IDC_SAVE_TO_FILE));
    SetWindowTextW(consoleItem(IDC_LOG_NAME), L"run2.log");
    BootMenu::instance()->print(u"x\n");
    EXPECT_EQ(storage.read("Storage Card/run2.log"), "x\n");
}

TEST_F(ConsolePageTest, WithoutACardTheTextStaysInTheWindow) {
    machine.storageCards.clear();
    openWindow();
    click(consoleItem(IDC_SAVE_TO_FILE));
    BootMenu::instance()->print(u"BOOT START\n");
    EXPECT_EQ(shown(), L"couldn't find temporary directory.\r\nBOOT START\r\n");
    EXPECT_FALSE(isChecked(consoleItem(IDC_SAVE_TO_FILE)));
    EXPECT_FALSE(IsWindowEnabled(consoleItem(IDC_LOG_NAME)));
    EXPECT_FALSE(page().logToFile());
}

TEST_F(ConsolePageTest, ALogFileThatCannotBeMadeTurnsLoggingOff) {
    openWindow();
    click(consoleItem(IDC_SAVE_TO_FILE));
    SetWindowTextW(consoleItem(IDC_LOG_NAME), L"no such folder\\bootlog.txt");
    BootMenu::instance()->print(u"kept\n");
    EXPECT_EQ(shown(), L"kept\r\n");
    EXPECT_FALSE(isChecked(consoleItem(IDC_SAVE_TO_FILE)));
    EXPECT_FALSE(page().logToFile());
}

TEST_F(ConsolePageTest, DebugBoxesSetTheirBits) {
    openWindow();
    BootMenu& menu = *BootMenu::instance();
    click(consoleItem(IDC_DEBUG_FLAG0));
    click(consoleItem(IDC_DEBUG_FLAG7));
    click(consoleItem(IDC_DEBUG_FLAG0 + 3));
    EXPECT_EQ(menu.debugFlags, 0x89u);
    click(consoleItem(IDC_DEBUG_FLAG0));
    EXPECT_EQ(menu.debugFlags, 0x88u);
    // The boxes run left to right from bit 7 down to bit 0.
    RECT left;
    RECT right;
    GetWindowRect(consoleItem(IDC_DEBUG_FLAG7), &left);
    GetWindowRect(consoleItem(IDC_DEBUG_FLAG0), &right);
    EXPECT_LT(left.left, right.left);
}

TEST_F(ConsolePageTest, HookButtonsCallOnlySetHooks) {
    openWindow();
    BootMenu& menu = *BootMenu::instance();
    EXPECT_EQ(text(consoleItem(IDC_DEBUG_HOOK0)), L"a");
    EXPECT_EQ(text(consoleItem(IDC_DEBUG_HOOK3)), L"d");
    click(consoleItem(IDC_DEBUG_HOOK0));
    EXPECT_EQ(hookCalls, 0);
    menu.debugHooks[1] = DebugHook{recordHook, 0x1234};
    menu.debugFlags = 0x3C5;
    click(consoleItem(IDC_DEBUG_HOOK0 + 1));
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(hookArgument, 0x1234u);
    EXPECT_EQ(hookFlags, 0xC5u);
}

}  // namespace
