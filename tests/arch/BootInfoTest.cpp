// The hand-over page: its head words, the 36-byte BootInfo block and the argument
// vector, byte for byte as the kernel reads them.
#include <gtest/gtest.h>

#include <cstring>

#include "arch/BootInfo.h"
#include "arch/Sa11x0Architecture.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "load/Loader.h"
#include "tests/arch/BackEndTest.h"

namespace {

/// A loader that has staged nothing but knows its entry.
class EntryOnlyLoader : public Loader {
public:
    using Loader::Loader;
    std::uint32_t memorySize() override { return 0; }
    bool load() override { return true; }
    std::uint32_t jumpAddress() override { return 0xC0008000; }
};

class BootInfoTest : public BackEndTest {
protected:
    BootInfoTest() {
        allocate();
        BootMenu::instance()->selectPlatform(8);  // HP Jornada 720 (US/UK)
    }

    /// The physical address of the hand-over page, and what the block holds.
    std::uint32_t setUp() {
        std::uint32_t page = backEnd->setupBootInfo(loader);
        EXPECT_NE(page, Architecture::noAddress);
        EXPECT_TRUE(machine.memory.read(page, &block, sizeof block));
        return page;
    }

    std::unique_ptr<ArmArchitecture> backEnd = makeBackEnd();
    EntryOnlyLoader loader{&console, &memoryManager};
    HandoverBlock block{};
};

TEST_F(BootInfoTest, FillsTheHeadAndTheBlockOfTheLastPage) {
    std::uint32_t page = setUp();
    EXPECT_EQ(block.entry, 0xC0008000u);
    EXPECT_EQ(block.argv, page + 52);
    EXPECT_EQ(block.bootInfo, page + 16);
    std::vector<std::uint8_t> head = physicalBytes(page + 16, 8);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0x24, 0x00, 0x00, 0x00, 0x35, 0x61, 0x53, 0x13}));
    const BootInfo& info = block.info;
    EXPECT_EQ(info.framebufferAddress, 0x48200000u);
    EXPECT_EQ(info.lineBytes, 1280);
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.height, 240);
    EXPECT_EQ(info.framebufferType, 5);
    EXPECT_EQ(info.console, 1);
    EXPECT_EQ(info.unused, 0);
    EXPECT_EQ(info.cpuCode, 0x0C108000u);
    EXPECT_EQ(info.machineCode, 0x02C20201u);
    EXPECT_EQ(takeText(), "framebuffer: 640x240 type=5 linebytes=1280 addr=0x48200000\n"
                          "console = 1\n");
}

TEST_F(BootInfoTest, WritesTheArgumentVectorWithPhysicalPointers) {
    Preferences& p = BootMenu::instance()->preferences;
    setRecordText(p.kernelName, u"korvel.gz");
    p.singleUser = 1;
    std::uint32_t page = setUp();
    ASSERT_EQ(block.argc, 2u);
    std::uint32_t slots[2] = {};
    ASSERT_TRUE(machine.memory.read(page + 52, slots, sizeof slots));
    EXPECT_EQ(slots[0], page + 52 + 64);
    std::vector<std::uint8_t> first = physicalBytes(slots[0], 10);
    EXPECT_EQ(std::string(first.begin(), first.end()), std::string("korvel.gz", 10));
    std::vector<std::uint8_t> second = physicalBytes(slots[1], 2);
    EXPECT_EQ(std::string(second.begin(), second.end()), std::string("s", 2));
}

TEST_F(BootInfoTest, ArgumentAreaEndsAtThePayloadEnd) {
    // 4096 - 16 - 52 = 4028 bytes: the 64-byte slot array and 3964 bytes of strings.
    Preferences& p = BootMenu::instance()->preferences;
    setRecordText(p.kernelName, u"k");
    std::u16string options;
    for (int i = 0; i < 14; ++i) options += std::u16string(i == 13 ? 100 : 280, u'a' + i) + u" ";
    setRecordText(p.extraKernelOptions, options.substr(0, Preferences::optionUnits - 1));
    std::uint32_t page = setUp();
    std::uint32_t slots[16] = {};
    ASSERT_TRUE(machine.memory.read(page + 52, slots, sizeof slots));
    for (std::uint32_t i = 0; i < block.argc; ++i) EXPECT_LT(slots[i], page + 4080);
}

struct TimeZoneCase {
    const char* name;
    std::uint32_t state;
    std::int32_t timeZone;
    friend void PrintTo(const TimeZoneCase& c, std::ostream* out) { *out << c.name; }
};

class BootInfoTimeZone : public BootInfoTest, public ::testing::WithParamInterface<TimeZoneCase> {};

TEST_P(BootInfoTimeZone, AddsTheDaylightBiasOnlyInDaylightTime) {
    machine.timeZone = {-540, -15, -60};
    machine.timeZoneState = GetParam().state;
    setUp();
    EXPECT_EQ(block.info.timeZone, GetParam().timeZone);
}

INSTANTIATE_TEST_SUITE_P(States, BootInfoTimeZone,
                         ::testing::Values(TimeZoneCase{"daylight", platform::timeZoneDaylight, -600},
                                           TimeZoneCase{"standard", platform::timeZoneStandard, -540},
                                           TimeZoneCase{"noRules", platform::timeZoneUnknown, -540},
                                           // A failed query says nothing to trust: universal time.
                                           TimeZoneCase{"failed", platform::timeZoneInvalid, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DepthCase {
    std::int32_t depth;
    bool reverse;
    std::int16_t type;
    friend void PrintTo(const DepthCase& c, std::ostream* out) { *out << c.depth << (c.reverse ? " reverse" : ""); }
};

class BootInfoFramebufferType : public BootInfoTest, public ::testing::WithParamInterface<DepthCase> {};

TEST_P(BootInfoFramebufferType, FollowsTheDepthAndReverseVideo) {
    // No platform row: the screen itself, with address and line bytes 0.
    Preferences& p = BootMenu::instance()->preferences;
    p.cpuCode = 0x0C208000;
    p.machineCode = 0x01040100;
    p.reverseVideo = GetParam().reverse ? 1 : 0;
    machine.displayDepth = GetParam().depth;
    setUp();
    EXPECT_EQ(block.info.framebufferType, GetParam().type);
    EXPECT_EQ(block.info.framebufferAddress, 0u);
    EXPECT_EQ(block.info.lineBytes, 0);
    EXPECT_EQ(block.info.width, 640);
    EXPECT_EQ(block.info.height, 240);
}

INSTANTIATE_TEST_SUITE_P(Depths, BootInfoFramebufferType,
                         ::testing::Values(DepthCase{8, false, 3}, DepthCase{8, true, 4}, DepthCase{2, false, 2},
                                           DepthCase{2, true, 0}, DepthCase{16, false, 5}, DepthCase{4, true, 8}),
                         [](const auto& info) {
                             return std::to_string(info.param.depth) + (info.param.reverse ? "Reverse" : "Normal");
                         });

/// The console a serial-console attempt installs.
class SerialTypeConsole : public Console {
public:
    SerialTypeConsole() { type = serialConsole; }
};

TEST_F(BootInfoTest, ReportsTheConsoleOfTheAttempt) {
    SerialTypeConsole serial;
    Console::setInstance(&serial);
    setUp();
    Console::setInstance(console);
    EXPECT_EQ(block.info.console, 2);
}

TEST_F(BootInfoTest, KeepsTheLow16BitsAndPrintsThemSignExtended) {
    Preferences& p = BootMenu::instance()->preferences;
    p.cpuCode = 0;
    p.machineCode = 0;
    machine.displayWidth = 0x18000;  // does not fit 16 bits
    setUp();
    EXPECT_EQ(block.info.width, static_cast<std::int16_t>(0x8000));
    EXPECT_NE(takeText().find("framebuffer: -32768x"), std::string::npos);
}

TEST_F(BootInfoTest, WritesNothingWithoutAPage) {
    void* page = nullptr;
    std::uint32_t physical = 0;
    while (memoryManager->takeLastPage(page, physical)) {
    }
    takeText();
    EXPECT_EQ(backEnd->setupBootInfo(loader), Architecture::noAddress);
    EXPECT_EQ(takeText(), "can't get page for boot information.\n");
}

}  // namespace
