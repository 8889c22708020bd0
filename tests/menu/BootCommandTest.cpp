// Boot from the button and from the auto-boot countdown.
#include <chrono>
#include <cstring>
#include <optional>

#include "boot/BootMenu.h"
#include "boot/Preferences.h"
#include "menu/ResourceIds.h"
#include "platform/ui.h"
#include "tests/menu/WindowTest.h"

namespace {

using namespace std::chrono_literals;

/// The Preferences record saved on the card, or none.
std::optional<Preferences> savedPreferences(const TempFolder& storage) {
    std::string bytes = storage.read("Storage Card/tembrel.cnf");
    if (bytes.size() != sizeof(Preferences)) return std::nullopt;
    Preferences p;
    std::memcpy(&p, bytes.data(), sizeof p);
    return p;
}

struct SafetyCase {
    std::uint32_t pauseBeforeBoot;
    int answer;
    std::uint32_t icon;
    bool boots;
    friend void PrintTo(const SafetyCase& c, std::ostream* out) {
        *out << (c.pauseBeforeBoot ? "pause" : "noPause") << (c.answer == IDYES ? "Yes" : "No");
    }
};

class SafetyQuestionTest : public WindowTest, public ::testing::WithParamInterface<SafetyCase> {};

TEST_P(SafetyQuestionTest, AsksBeforeTheBoot) {
    const SafetyCase& c = GetParam();
    BootMenu::instance()->preferences.pauseBeforeBoot = c.pauseBeforeBoot;
    openWindow();
    SetWindowTextW(mainItem(IDC_KERNEL_NAME), L"other.gz");
    std::vector<std::wstring> seen;
    {
        BoxAnswerer answerer(c.answer);
        click(root().bootButton->hwnd());
        seen = answerer.seen();
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], L"WARNING: Data in memory will be lost.\nAre you sure?");
    ASSERT_EQ(machine.boxes.size(), 1u);
    EXPECT_EQ(machine.boxes[0].owner, root().hwnd());
    EXPECT_EQ(machine.boxes[0].style, platform::boxYesNo | c.icon);
    EXPECT_EQ(boots, c.boots ? 1 : 0);

    std::wstring console = text(consoleItem(IDC_CONSOLE_TEXT));
    std::optional<Preferences> saved = savedPreferences(storage);
    if (c.boots) {
        EXPECT_NE(console.find(L"BOOT START\r\n"), std::wstring::npos);
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(recordText(saved->kernelName), u"other.gz");
        EXPECT_EQ(saved->kernelNameSaved, 1u);
    } else {
        EXPECT_EQ(console.find(L"BOOT START"), std::wstring::npos);
        EXPECT_FALSE(saved.has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, SafetyQuestionTest,
                         ::testing::Values(SafetyCase{1, IDNO, platform::boxIconQuestion, false},
                                           SafetyCase{0, IDNO, platform::boxIconExclamation, false},
                                           SafetyCase{1, IDYES, platform::boxIconQuestion, true}));

TEST_F(WindowTest, WithoutTheSafetyMessageBootGoesStraightOn) {
    BootMenu::instance()->preferences.safetyMessage = 1;
    openWindow();
    SendMessageW(optionItem(IDC_SAFETY_MESSAGE), BM_SETCHECK, BST_UNCHECKED, 0);
    click(root().bootButton->hwnd());
    EXPECT_TRUE(machine.boxes.empty());
    EXPECT_EQ(boots, 1);
    EXPECT_NE(text(consoleItem(IDC_CONSOLE_TEXT)).find(L"BOOT START\r\n"), std::wstring::npos);
    ASSERT_TRUE(savedPreferences(storage).has_value());
    EXPECT_EQ(savedPreferences(storage)->safetyMessage, 0u);
}

TEST_F(WindowTest, AutoBootStartsWithoutTheQuestion) {
    BootMenu::instance()->preferences.autoBootSeconds = 1;
    BootMenu::instance()->preferences.safetyMessage = 1;
    auto start = std::chrono::steady_clock::now();
    openWindow();
    ASSERT_TRUE(pumpUntil([] { return boots > 0; }, 5s));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 900ms);
    EXPECT_TRUE(machine.boxes.empty());
    EXPECT_NE(text(consoleItem(IDC_CONSOLE_TEXT)).find(L"BOOT START\r\n"), std::wstring::npos);
    // The timer fires once.
    pumpUntil([] { return false; }, 1500ms);
    EXPECT_EQ(boots, 1);
}

class AutoBootCancelTest : public WindowTest, public ::testing::WithParamInterface<UINT> {};

TEST_P(AutoBootCancelTest, TheFirstKeyOrTapStopsTheCountdown) {
    BootMenu::instance()->preferences.autoBootSeconds = 1;
    openWindow();
    PostMessageW(root().bootButton->hwnd(), GetParam(), 0, 0);
    pumpUntil([] { return boots > 0; }, 2500ms);
    EXPECT_EQ(boots, 0);
    // The setting itself stays.
    EXPECT_EQ(BootMenu::instance()->preferences.autoBootSeconds, 1);
}

INSTANTIATE_TEST_SUITE_P(Input, AutoBootCancelTest,
                         ::testing::Values(static_cast<UINT>(WM_KEYDOWN), static_cast<UINT>(WM_LBUTTONDOWN)));

}  // namespace
