#include <gtest/gtest.h>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "tests/support/SandboxTest.h"

namespace {

class SettingsOnly : public BootController {
public:
    using BootController::readSettings;
    bool create() override { return false; }
    bool setup() override { return false; }
    bool attachLoader() override { return false; }
};

class BootSettings : public SandboxTest {
protected:
    BootSettings() { attachWindow(); }
    Preferences& prefs() { return BootMenu::instance()->preferences; }
    SettingsOnly controller;
};

TEST_F(BootSettings, FileSourceFollowsTheShapeOfTheDirectory) {
    const std::pair<const char16_t*, std::uint32_t> cases[] = {
        {u"\\Storage Card\\", BootController::localFiles},
        {u"\\", BootController::localFiles},
        {u"/", BootController::ufsFiles},
        {u"2:/", BootController::ufsFiles},
        {u"http://10.0.0.2:8080/", BootController::httpFiles},
        {u"\\net\\http://x/", BootController::httpFiles},
    };
    for (const auto& [directory, kind] : cases) {
        setRecordText(prefs().kernelDirectory, directory);
        ASSERT_TRUE(controller.readSettings(prefs()));
        EXPECT_EQ(controller.fileSourceKind, kind) << utf8(directory);
    }
}

TEST_F(BootSettings, OnlyTheMemoryDiskTakesTheImageName) {
    setRecordText(prefs().rootImageName, u"mini.fs");
    setRecordText(controller.fileSystemImageName, u"untouched");
    for (std::uint32_t device : {Preferences::rootWd, Preferences::rootSd, Preferences::rootNfs}) {
        prefs().rootDevice = device;
        ASSERT_TRUE(controller.readSettings(prefs()));
        EXPECT_EQ(controller.hasFileSystemImage, 0u);
        EXPECT_EQ(utf8(controller.fileSystemImageName), "untouched");
    }
    prefs().rootDevice = Preferences::rootMd;
    prefs().serialConsole = 7;
    ASSERT_TRUE(controller.readSettings(prefs()));
    EXPECT_EQ(controller.hasFileSystemImage, 1u);
    EXPECT_EQ(utf8(controller.fileSystemImageName), "mini.fs");
    EXPECT_EQ(controller.useSerialConsole, 1u);
}

TEST_F(BootSettings, TextWithoutAnEndIsRefusedNotCut) {
    for (char16_t& c : prefs().kernelName) c = u'k';
    EXPECT_FALSE(controller.readSettings(prefs()));
    EXPECT_EQ(utf8(consolePage.text), "kernel name is longer than 259 characters.\n");
}

}  // namespace
