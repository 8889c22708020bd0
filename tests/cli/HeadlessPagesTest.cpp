#include <gtest/gtest.h>

#include "boot/BootMenu.h"
#include "cli/HeadlessPages.h"
#include "tests/support/SandboxTest.h"

namespace {

class HeadlessPagesTest : public SandboxTest {
protected:
    Preferences& prefs() { return BootMenu::instance()->preferences; }
    /// Shows the Preferences on the pages, applies `edits` and collects.
    void collectWith(std::initializer_list<std::string> edits) {
        HeadlessPages pages(*BootMenu::instance());
        for (const std::string& e : edits) {
            std::string error;
            ASSERT_TRUE(pages.edit(e, error)) << e << ": " << error;
        }
        pages.collect();
    }
};

TEST_F(HeadlessPagesTest, UnchangedPagesCollectWhatTheyShow) {
    prefs().serialSpeed = 38400;  // not offered: the pages show "9600"
    prefs().autoBootSeconds = 5;
    prefs().verbose = 1;
    collectWith({});
    EXPECT_EQ(utf8(recordText(prefs().kernelName)), "korvel.gz");
    EXPECT_EQ(prefs().kernelNameSaved, 1u);
    EXPECT_EQ(utf8(recordText(prefs().kernelDirectory)), "/");
    EXPECT_EQ(prefs().directorySaved, 1u);
    EXPECT_EQ(prefs().serialSpeed, 9600u);
    EXPECT_EQ(prefs().autoBootSeconds, 5);
    EXPECT_EQ(prefs().verbose, 1u);
    EXPECT_EQ(prefs().cpuCode, 0x0C208000u);  // the preselected first platform
}

TEST_F(HeadlessPagesTest, EditsReachThePreferences) {
    collectWith({"platform=HP Jornada 720 (US/UK)", "kernelDirectory=\\Storage Card\\", "kernelName=k.gz",
                 "rootDevice=md", "rootImageName=root.fs", "singleUser=1", "serialSpeed=115200",
                 "autoBootSeconds=abc", "safetyMessage=0", "extraKernelOptions=-x foo=1"});
    EXPECT_EQ(prefs().machineCode, 0x02C20201u);
    EXPECT_EQ(utf8(recordText(prefs().kernelDirectory)), "\\Storage Card\\");
    EXPECT_EQ(utf8(recordText(prefs().kernelName)), "k.gz");
    EXPECT_EQ(prefs().rootDevice, 2u);
    EXPECT_EQ(utf8(recordText(prefs().rootImageName)), "root.fs");
    EXPECT_EQ(prefs().singleUser, 1u);
    EXPECT_EQ(prefs().serialSpeed, 115200u);
    EXPECT_EQ(prefs().autoBootSeconds, 0);
    EXPECT_EQ(prefs().safetyMessage, 0u);
    EXPECT_EQ(utf8(recordText(prefs().extraKernelOptions)), "-x foo=1");
}

TEST_F(HeadlessPagesTest, BadEditsAreRefusedWithAReason) {
    const std::pair<std::string, std::string> cases[] = {
        {"nothing", "expected FIELD=VALUE"},
        {"colour=red", "unknown field"},
        {"verbose=2", "takes 0 or 1"},
        {"rootDevice=floppy", "rootDevice takes"},
        {"platform=Psion", "no platform"},
        {"kernelName=" + std::string(260, 'k'), "at most 259"},
    };
    HeadlessPages pages(*BootMenu::instance());
    for (const auto& [edit, reason] : cases) {
        std::string error;
        EXPECT_FALSE(pages.edit(edit, error)) << edit;
        EXPECT_NE(error.find(reason), std::string::npos) << edit << ": " << error;
    }
}

}  // namespace
