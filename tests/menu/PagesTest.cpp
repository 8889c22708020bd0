// The Main and Option pages: what init shows of the Preferences and what collect
// copies back.
#include <windows.h>
#include <commctrl.h>

#include "boot/BootMenu.h"
#include "menu/ResourceIds.h"
#include "tests/menu/WindowTest.h"

namespace {

Preferences& preferences() { return BootMenu::instance()->preferences; }

std::wstring comboItem(HWND combo, LRESULT index) {
    wchar_t buffer[Preferences::textUnits] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

LRESULT selection(HWND combo) { return SendMessageW(combo, CB_GETCURSEL, 0, 0); }

void setChecked(HWND button, bool on) { SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

const wchar_t* wideOf(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

TEST_F(WindowTest, MainShowsTheDefaultsOfANewCard) {
    openWindow();
    HWND directory = mainItem(IDC_DIRECTORY);
    EXPECT_EQ(SendMessageW(directory, CB_GETCOUNT, 0, 0), 14);
    EXPECT_EQ(selection(directory), 0);
    EXPECT_EQ(text(directory), L"/");
    EXPECT_EQ(comboItem(directory, 13), L"user defined");
    EXPECT_EQ(comboItem(directory, 12), L"\\microSD\x30AB\x30FC\x30C9\\");
    EXPECT_EQ(text(mainItem(IDC_KERNEL_NAME)), L"korvel.gz");
    EXPECT_TRUE(isChecked(mainItem(IDC_ROOT_WD)));
    EXPECT_EQ(text(mainItem(IDC_ROOT_IMAGE)), L"miniroot.fs");
    EXPECT_FALSE(IsWindowEnabled(mainItem(IDC_ROOT_IMAGE)));
    HWND speed = mainItem(IDC_SERIAL_SPEED);
    ASSERT_EQ(SendMessageW(speed, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(comboItem(speed, 0), L"9600");
    EXPECT_EQ(comboItem(speed, 2), L"115200");
    EXPECT_EQ(text(speed), L"19200");
    EXPECT_FALSE(IsWindowEnabled(speed));
}

TEST_F(WindowTest, MainShowsTheSavedChoices) {
    Preferences& p = preferences();
    p.directorySaved = 1;
    setRecordText(p.kernelDirectory, u"http://10.0.0.1/");
    p.kernelNameSaved = 1;
    setRecordText(p.kernelName, u"test.gz");
    p.rootDevice = 2;
    setRecordText(p.rootImageName, u"root.img");
    p.serialConsole = 1;
    p.verbose = 1;
    p.kernelDebugger = 1;
    p.serialSpeed = 38400;  // not offered: the first entry stands
    openWindow();
    HWND directory = mainItem(IDC_DIRECTORY);
    EXPECT_EQ(SendMessageW(directory, CB_GETCOUNT, 0, 0), 14);
    EXPECT_EQ(selection(directory), 13);
    EXPECT_EQ(comboItem(directory, 13), L"http://10.0.0.1/");
    EXPECT_EQ(text(mainItem(IDC_KERNEL_NAME)), L"test.gz");
    EXPECT_TRUE(isChecked(mainItem(IDC_ROOT_MD)));
    EXPECT_FALSE(isChecked(mainItem(IDC_ROOT_WD)));
    EXPECT_TRUE(IsWindowEnabled(mainItem(IDC_ROOT_IMAGE)));
    EXPECT_EQ(text(mainItem(IDC_ROOT_IMAGE)), L"root.img");
    EXPECT_TRUE(isChecked(mainItem(IDC_SERIAL_CONSOLE)));
    EXPECT_TRUE(isChecked(mainItem(IDC_VERBOSE)));
    EXPECT_TRUE(isChecked(mainItem(IDC_KERNEL_DEBUGGER)));
    EXPECT_FALSE(isChecked(mainItem(IDC_SINGLE_USER)));
    EXPECT_FALSE(isChecked(mainItem(IDC_ASK_NAME)));
    EXPECT_TRUE(IsWindowEnabled(mainItem(IDC_SERIAL_SPEED)));
    EXPECT_EQ(text(mainItem(IDC_SERIAL_SPEED)), L"9600");

    BootMenu::instance()->collect();
    EXPECT_EQ(p.serialSpeed, 9600u);
    EXPECT_EQ(recordText(p.kernelDirectory), u"http://10.0.0.1/");
}

TEST_F(WindowTest, PlatformListIsSortedAndKeepsTheChoice) {
    BootMenu& menu = *BootMenu::instance();
    std::int32_t count = 0;
    while (menu.platformName(count) != nullptr) ++count;
    ASSERT_GT(count, 2);
    menu.selectPlatform(count - 1);
    openWindow();
    HWND list = mainItem(IDC_PLATFORM);
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), count);
    for (LRESULT i = 1; i < count; ++i) {
        EXPECT_LE(lstrcmpW(comboItem(list, i - 1).c_str(), comboItem(list, i).c_str()), 0) << i;
    }
    EXPECT_EQ(comboItem(list, selection(list)), wideOf(menu.platformName(count - 1)));

    // Another position maps back to its row of the platform table.
    LRESULT other = selection(list) == 0 ? 1 : 0;
    std::wstring name = comboItem(list, other);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(other), 0);
    menu.collect();
    EXPECT_EQ(wideOf(menu.platformName(menu.currentPlatformIndex())), name);
}

TEST_F(WindowTest, MainEnablesTheImageNameAndTheSpeedWithTheirBoxes) {
    openWindow();
    click(mainItem(IDC_ROOT_MD));
    EXPECT_TRUE(IsWindowEnabled(mainItem(IDC_ROOT_IMAGE)));
    click(mainItem(IDC_ROOT_NFS));
    EXPECT_FALSE(IsWindowEnabled(mainItem(IDC_ROOT_IMAGE)));
    click(mainItem(IDC_SERIAL_CONSOLE));
    EXPECT_TRUE(IsWindowEnabled(mainItem(IDC_SERIAL_SPEED)));
    click(mainItem(IDC_SERIAL_CONSOLE));
    EXPECT_FALSE(IsWindowEnabled(mainItem(IDC_SERIAL_SPEED)));
}

TEST_F(WindowTest, EveryControlRoundTripsThroughThePreferences) {
    openWindow();
    SetWindowTextW(mainItem(IDC_DIRECTORY), L"\\Storage Card\\boot\\");
    SetWindowTextW(mainItem(IDC_KERNEL_NAME), L"korvel-test.gz");
    click(mainItem(IDC_ROOT_SD));
    for (int id : {IDC_ASK_NAME, IDC_KERNEL_DEBUGGER, IDC_VERBOSE, IDC_SINGLE_USER, IDC_SERIAL_CONSOLE}) {
        setChecked(mainItem(id), true);
    }
    SetWindowTextW(mainItem(IDC_ROOT_IMAGE), L"other.fs");
    SetWindowTextW(mainItem(IDC_SERIAL_SPEED), L"115200");
    setChecked(optionItem(IDC_AUTO_BOOT), true);
    SetWindowTextW(optionItem(IDC_AUTO_BOOT_SECONDS), L"12");
    for (int id : {IDC_REVERSE_VIDEO, IDC_LOAD_DEBUG_INFO}) setChecked(optionItem(id), true);
    for (int id : {IDC_PAUSE_BEFORE_BOOT, IDC_SAFETY_MESSAGE}) setChecked(optionItem(id), false);
    SetWindowTextW(optionItem(IDC_EXTRA_OPTIONS), L"-x foo=1");
    BootMenu::instance()->collect();

    const Preferences& p = preferences();
    EXPECT_EQ(p.directorySaved, 1u);
    EXPECT_EQ(recordText(p.kernelDirectory), u"\\Storage Card\\boot\\");
    EXPECT_EQ(p.kernelNameSaved, 1u);
    EXPECT_EQ(recordText(p.kernelName), u"korvel-test.gz");
    EXPECT_EQ(p.rootDevice, 1u);
    EXPECT_EQ(p.askName + p.kernelDebugger + p.verbose + p.singleUser + p.serialConsole, 5u);
    EXPECT_EQ(recordText(p.rootImageName), u"other.fs");
    EXPECT_EQ(p.serialSpeed, 115200u);
    EXPECT_EQ(p.autoBootSeconds, 12);
    EXPECT_EQ(p.reverseVideo, 1u);
    EXPECT_EQ(p.loadDebugInfo, 1u);
    EXPECT_EQ(p.pauseBeforeBoot, 0u);
    EXPECT_EQ(p.safetyMessage, 0u);
    EXPECT_EQ(recordText(p.extraKernelOptions), u"-x foo=1");

    // A new window shows what was collected.
    application.reset();
    openWindow();
    EXPECT_EQ(text(mainItem(IDC_DIRECTORY)), L"\\Storage Card\\boot\\");
    EXPECT_EQ(text(mainItem(IDC_KERNEL_NAME)), L"korvel-test.gz");
    EXPECT_TRUE(isChecked(mainItem(IDC_ROOT_SD)));
    EXPECT_TRUE(isChecked(mainItem(IDC_SINGLE_USER)));
    EXPECT_EQ(text(mainItem(IDC_SERIAL_SPEED)), L"115200");
    EXPECT_TRUE(isChecked(optionItem(IDC_AUTO_BOOT)));
    EXPECT_EQ(text(optionItem(IDC_AUTO_BOOT_SECONDS)), L"12");
    EXPECT_TRUE(isChecked(optionItem(IDC_REVERSE_VIDEO)));
    EXPECT_FALSE(isChecked(optionItem(IDC_SAFETY_MESSAGE)));
    EXPECT_EQ(text(optionItem(IDC_EXTRA_OPTIONS)), L"-x foo=1");
}

TEST_F(WindowTest, OptionCountdownControls) {
    openWindow();
    HWND seconds = optionItem(IDC_AUTO_BOOT_SECONDS);
    HWND upDown = optionItem(IDC_AUTO_BOOT_UPDOWN);
    EXPECT_FALSE(isChecked(optionItem(IDC_AUTO_BOOT)));
    EXPECT_FALSE(IsWindowEnabled(seconds));
    EXPECT_FALSE(IsWindowEnabled(upDown));
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)), seconds);
    int low = 0;
    int high = 0;
    SendMessageW(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 1);
    EXPECT_EQ(high, 60);
    EXPECT_EQ(text(seconds), L"30");
    click(optionItem(IDC_AUTO_BOOT));
    EXPECT_TRUE(IsWindowEnabled(seconds));
    EXPECT_TRUE(IsWindowEnabled(upDown));
}

struct SecondsCase {
    bool autoBoot;
    const wchar_t* seconds;
    std::int32_t stored;
    friend void PrintTo(const SecondsCase& c, std::ostream* out) {
        *out << (c.autoBoot ? "checked" : "unchecked") << c.stored;
    }
};

class OptionSecondsTest : public WindowTest, public ::testing::WithParamInterface<SecondsCase> {};

TEST_P(OptionSecondsTest, CollectReadsTheSecondsOnlyWhenChecked) {
    const SecondsCase& c = GetParam();
    preferences().autoBootSeconds = 5;
    openWindow();
    EXPECT_EQ(text(optionItem(IDC_AUTO_BOOT_SECONDS)), L"5");
    setChecked(optionItem(IDC_AUTO_BOOT), c.autoBoot);
    SetWindowTextW(optionItem(IDC_AUTO_BOOT_SECONDS), c.seconds);
    BootMenu::instance()->collect();
    EXPECT_EQ(preferences().autoBootSeconds, c.stored);
}

INSTANTIATE_TEST_SUITE_P(Texts, OptionSecondsTest,
                         ::testing::Values(SecondsCase{true, L"abc", 0}, SecondsCase{true, L"45", 45},
                                           SecondsCase{false, L"45", 0}));

}  // namespace
