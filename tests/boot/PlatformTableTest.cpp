#include <gtest/gtest.h>

#include "boot/BootMenu.h"
#include "boot/DisplayDescription.h"
#include "boot/PlatformTable.h"
#include "tests/support/SandboxTest.h"

namespace {

TEST(MatchPlatform, ZeroPatternFieldsMatchAnythingButNotTheOtherWayRound) {
    struct Case {
        PlatformId id;
        PlatformId pattern;
        bool match;
    };
    const Case cases[] = {
        {{0x0C108000, 0x01C40201}, {0x0C108000, 0}, true},
        {{0, 0}, {0x0C104000, 0}, false},
        {{0x0C104000, 0x02C20301}, {0x0C108000, 0}, false},  // SA1100 against SA1110
        {{0x0C108000, 0x02C20205}, {0x0C108000, 0x02C20200}, true},
        {{0x0C108000, 0x02C20205}, {0x0C108000, 0x02C20300}, false},
        {{0x0C1080FF, 0x01C40201}, {0x0C108000, 0x01C40201}, true},  // cpu bits 0-7 not compared
        {{0x0C208000, 0x01040100}, {0, 0}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchPlatform(c.id, c.pattern), c.match)
            << std::hex << c.id.cpuCode << "/" << c.id.machineCode << " vs " << c.pattern.cpuCode << "/" << c.pattern.machineCode;
    }
}

class PlatformChoice : public SandboxTest {};

TEST_F(PlatformChoice, SelectableRowsAreNumberedInTableOrder) {
    BootMenu* menu = BootMenu::instance();
    EXPECT_EQ(utf8(menu->platformName(0)), "Sharp W-ZERO3 (WS003SH)");
    EXPECT_EQ(utf8(menu->platformName(16)), "HP Jornada 820 (Japanese)");
    EXPECT_EQ(menu->platformName(17), nullptr);
    EXPECT_EQ(menu->platformName(-1), nullptr);

    menu->selectPlatform(5);
    EXPECT_EQ(menu->preferences.cpuCode, 0x0C108000u);
    EXPECT_EQ(menu->preferences.machineCode, 0x01C40201u);
    EXPECT_EQ(menu->currentPlatformIndex(), 5);

    menu->selectPlatform(17);  // no such row: nothing changes
    EXPECT_EQ(menu->currentPlatformIndex(), 5);
}

TEST_F(PlatformChoice, UnknownPlatformLooksLikeTheFirstRow) {
    BootMenu* menu = BootMenu::instance();
    menu->preferences.cpuCode = 0;
    menu->preferences.machineCode = 0;
    EXPECT_EQ(menu->currentPlatformIndex(), 0);
    menu->preferences.cpuCode = 0x0C108000;  // a group row is not selectable
    menu->preferences.machineCode = 0x01C40200;
    EXPECT_EQ(menu->currentPlatformIndex(), 0);
}

class Display : public SandboxTest {};

TEST_F(Display, FramebufferRowsAndTheFallbackToTheScreen) {
    struct Case {
        PlatformId id;
        std::int32_t screenDepth;
        std::uint32_t depth, width, height, lineBytes, address;
    };
    machine.displayWidth = 480;
    machine.displayHeight = 640;
    const Case cases[] = {
        {{0x0C108000, 0x02C20201}, 16, 16, 640, 240, 1280, 0x48200000},  // Jornada 720 through the zero sub-model
        {{0x0C108000, 0x02C20207}, 16, 16, 640, 240, 1280, 0x48200000},
        {{0x0C108000, 0x01C40201}, 16, 16, 320, 240, 640, 0},            // iPAQ H3600
        {{0x0C108000, 0x01C40201}, 8, 16, 320, 240, 640, 0},             // the last matching row
        {{0x0C104000, 0x02C20301}, 8, 8, 640, 480, 0, 0},
        {{0x0C208000, 0x01040100}, 16, 16, 480, 640, 0, 0},              // W-ZERO3: the screen itself
        {{0, 0}, 24, 24, 480, 640, 0, 0},
    };
    for (const Case& c : cases) {
        machine.displayDepth = c.screenDepth;
        DisplayDescription d(c.id.cpuCode, c.id.machineCode);
        EXPECT_EQ(d.depth(), c.depth);
        EXPECT_EQ(d.width(), c.width);
        EXPECT_EQ(d.height(), c.height);
        EXPECT_EQ(d.lineBytes(), c.lineBytes);
        EXPECT_EQ(d.address(), c.address);
        EXPECT_EQ(d.platform().machineCode, c.id.machineCode);
    }
}

TEST_F(Display, FramebufferTypeByDepthAndReverseVideo) {
    const std::tuple<std::int32_t, std::uint32_t, std::uint32_t> cases[] = {
        {4, 10, 8}, {8, 3, 4}, {16, 5, 6}, {24, 2, 0}, {2, 2, 0}};
    for (const auto& [depth, normal, reversed] : cases) {
        machine.displayDepth = depth;
        DisplayDescription d(0, 0);
        EXPECT_EQ(framebufferType(d, false), normal) << depth;
        EXPECT_EQ(framebufferType(d, true), reversed) << depth;
    }
}

}  // namespace
