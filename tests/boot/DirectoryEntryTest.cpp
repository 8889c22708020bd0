#include <gtest/gtest.h>

#include "boot/BootMenu.h"
#include "platform/text.h"
#include "tests/support/SandboxTest.h"

namespace {

class DirectoryEntry : public SandboxTest {
protected:
    DirectoryEntry() : SandboxTest("ws003sh") {}

    std::string entry(std::int32_t index) {
        char16_t text[Preferences::textUnits];
        return BootMenu::instance()->directoryEntry(index, text) ? utf8(text) : "<none>";
    }
};

TEST_F(DirectoryEntry, ChoicesComeFromTheStringResources) {
    const char* expected[] = {"/", "2:/", "\\", "\\My Documents\\", "\\Storage Card\\", "\\Storage Card1\\",
                              "\\Storage Card2\\", "\\ﾒﾓﾘ ｶｰﾄﾞ\\", "\\ﾒﾓﾘ ｶｰﾄﾞ1\\", "\\ﾒﾓﾘ ｶｰﾄﾞ2\\",
                              "\\Multimedia Card\\", "\\miniSDｶｰﾄﾞ\\", "\\microSDカード\\", "user defined"};
    for (std::int32_t i = 0; i < 14; ++i) EXPECT_EQ(entry(i), expected[i]) << i;
    EXPECT_EQ(entry(14), "<none>");
    EXPECT_EQ(entry(-1), "<none>");
}

TEST_F(DirectoryEntry, SavedDirectoryReplacesUserDefined) {
    BootMenu* menu = BootMenu::instance();
    setRecordText(menu->preferences.kernelDirectory, u"http://10.0.0.1:8080/");
    EXPECT_EQ(entry(13), "user defined");
    EXPECT_EQ(menu->currentDirectoryIndex(), 0);
    menu->preferences.directorySaved = 1;
    EXPECT_EQ(entry(13), "http://10.0.0.1:8080/");
    EXPECT_EQ(menu->currentDirectoryIndex(), 13);
}

TEST_F(DirectoryEntry, KatakanaChoicesConvertToCodePage932) {
    struct Case {
        std::int32_t index;
        std::string bytes;
    };
    const Case cases[] = {
        {7, "\\\xD2\xD3\xD8 \xB6\xB0\xC4\xDE\\"},
        {9, "\\\xD2\xD3\xD8 \xB6\xB0\xC4\xDE" "2\\"},
        {11, "\\miniSD\xB6\xB0\xC4\xDE\\"},
        {12, "\\microSD\x83\x4A\x81\x5B\x83\x68\\"},
    };
    for (const Case& c : cases) {
        char16_t text[Preferences::textUnits];
        ASSERT_TRUE(BootMenu::instance()->directoryEntry(c.index, text));
        std::u16string_view view(text);
        char narrow[64] = {};
        std::int32_t n = platform::wideToNarrow(view.data(), static_cast<std::int32_t>(view.size()), narrow, 63);
        EXPECT_EQ(std::string(narrow, static_cast<std::size_t>(n)), c.bytes) << c.index;
    }
}

}  // namespace
