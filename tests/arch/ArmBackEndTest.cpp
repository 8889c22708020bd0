// The two ARM back ends: construction, init, the System-mode register dump, the
// loader page and the jump up to the switch.
#include <gtest/gtest.h>

#include <cstring>

#include "arch/ArmPrimitives.h"
#include "arch/ArmRoutinesCode.h"
#include "memory/PageTag.h"
#include "memory/SecondStageLoader.h"
#include "tests/arch/BackEndTest.h"

namespace {

struct Family {
    const char* profile;
    const char* cpuLine;
    const char* banks;
    std::uint32_t cacheSize;
    std::span<const std::uint8_t> (*loaderBlock)();
    const char* registers;  // the dump after the base description
    friend void PrintTo(const Family& f, std::ostream* out) { *out << f.profile; }
};

const Family families[] = {
    {"jornada720", "SA-11x0 CPU.\n",
     "[0] 0xc0000000 size 0x08000000\n[1] 0xc8000000 size 0x08000000\n"
     "[2] 0xd0000000 size 0x08000000\n[3] 0xd8000000 size 0x08000000\n",
     8192, sa11x0LoaderBlock,
     "Reg0 :6901b119\nReg1 :0000317f\nReg2 :c0024000\nReg3 :00000001\nReg5 :00000007\n"
     "Reg6 :0004a2c4\nReg13:06000000\nReg14:00000000\nCPSR :200000df\n"},
    {"ws003sh", "PXA-2x0 CPU.\n",
     "[0] 0xa0000000 size 0x04000000\n[1] 0xa4000000 size 0x04000000\n"
     "[2] 0xa8000000 size 0x04000000\n[3] 0xac000000 size 0x04000000\n",
     65536, pxa2x0LoaderBlock,
     "Reg0 :69054117\nReg1 :0000397f\nReg2 :a0024000\nReg3 :00000001\nReg5 :00000007\n"
     "Reg6 :0004a2c4\nReg13:06000000\nReg14:00000000\nCPSR :200000df\n"},
};

class ArmBackEnd : public BackEndTest, public ::testing::WithParamInterface<Family> {
protected:
    ArmBackEnd() : BackEndTest(GetParam().profile) {}
    ~ArmBackEnd() override { dataCacheSize = 8192; }
};

TEST_P(ArmBackEnd, ConstructionNamesTheLayers) {
    makeBackEnd();
    EXPECT_EQ(constructionText, std::string("ARM architecture.\n") + GetParam().cpuLine);
}

TEST_P(ArmBackEnd, InitRegistersTheBanksAndTheCacheSize) {
    auto backEnd = makeBackEnd();
    ASSERT_TRUE(backEnd->init());
    std::string text = takeText();
    std::string expected = std::string(GetParam().banks) + "D-cache size = " + std::to_string(GetParam().cacheSize) + "\n";
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_EQ(dataCacheSize, GetParam().cacheSize);
    EXPECT_EQ(memoryManager->bankCount(), 4);
}

TEST_P(ArmBackEnd, InitFailsWhenTheMemoryManagerDoes) {
    class FailingInit : public LockPagesMemoryManager {
    public:
        using LockPagesMemoryManager::LockPagesMemoryManager;
        bool init() override { return false; }
    };
    delete memoryManager;
    memoryManager = new FailingInit(nullptr, nullptr, &console, 4096, 0);
    auto backEnd = makeBackEnd();
    EXPECT_FALSE(backEnd->init());
    EXPECT_EQ(takeText(), "can't initialize memory manager.\n");
}

TEST_P(ArmBackEnd, SystemInfoDumpsTheRegistersInSystemModeAndRestoresTheThread) {
    auto backEnd = makeBackEnd();
    backEnd->systemInfo();
    std::string text = takeText();
    std::string registers = GetParam().registers;
    ASSERT_GE(text.size(), registers.size());
    EXPECT_EQ(text.substr(text.size() - registers.size()), registers);
    EXPECT_EQ(text.find("can't change to System mode"), std::string::npos);
    EXPECT_FALSE(machine.kernelMode);
    EXPECT_EQ(machine.processor.cpsr & 0xDF, 0x10u);
}

TEST_P(ArmBackEnd, SystemInfoSaysSoWhenTheThreadStaysOutOfSystemMode) {
    machine.processor.privilegedMode = sandbox::supervisorMode;
    platform::setKernelMode(true);
    auto backEnd = makeBackEnd();
    backEnd->systemInfo();
    std::vector<std::string> text = lines(takeText());
    auto reg0 = std::find_if(text.begin(), text.end(), [](const std::string& l) { return l.starts_with("Reg0"); });
    ASSERT_NE(reg0, text.begin());
    EXPECT_EQ(*(reg0 - 1), "can't change to System mode\n");
    EXPECT_EQ(text.back(), "CPSR :200000d3\n");
    // The setting it found is restored.
    EXPECT_TRUE(machine.kernelMode);
}

TEST_P(ArmBackEnd, SetupLoaderCopiesTheBlockIntoTheLastPage) {
    allocate();
    auto backEnd = makeBackEnd();
    ASSERT_TRUE(backEnd->setupLoader());
    std::vector<std::string> text = lines(takeText());
    ASSERT_EQ(text.size(), 2u);
    EXPECT_TRUE(text[0].starts_with("2nd bootloader vaddr=0x")) << text[0];
    EXPECT_EQ(text[1], "2nd bootloader copy done.\n");
    std::uint32_t physical = std::stoul(text[0].substr(text[0].find("paddr=0x") + 8), nullptr, 16);
    std::span<const std::uint8_t> block = GetParam().loaderBlock();
    EXPECT_EQ(physicalBytes(physical, static_cast<std::uint32_t>(block.size())),
              std::vector<std::uint8_t>(block.begin(), block.end()));
}

TEST_P(ArmBackEnd, SetupLoaderRefusesAPageSmallerThanTheBlock) {
    makeManager(256);
    auto backEnd = makeBackEnd();
    EXPECT_FALSE(backEnd->setupLoader());
    std::string size = std::to_string(GetParam().loaderBlock().size());
    EXPECT_EQ(takeText(), "2nd bootloader size(" + size + "byte) is larger than page size(256).\n");
}

TEST_P(ArmBackEnd, SetupLoaderNeedsAPage) {
    auto backEnd = makeBackEnd();
    EXPECT_FALSE(backEnd->setupLoader());
    EXPECT_EQ(takeText(), "can't get page for 2nd loader.\n");
}

TEST_P(ArmBackEnd, JumpWithoutAStackPageTouchesNothing) {
    auto backEnd = makeBackEnd();
    backEnd->jump(0xC1000000, 0xC1001000);
    EXPECT_EQ(takeText(), "can't get page for 2nd bootloader stack.\n");
    EXPECT_FALSE(machine.platformLeft);
    EXPECT_TRUE(machine.routineRuns.empty());
}

TEST_P(ArmBackEnd, JumpWithoutAHandoverPageIsRefused) {
    allocate();
    auto backEnd = makeBackEnd();
    backEnd->jump(Architecture::noAddress, 0xC1001000);
    EXPECT_FALSE(machine.platformLeft);
}

/// A pool whose frames lie in ascending order at the top of a 64 KiB region, so that
/// the pages taken from the back are known; a one-range chain staged in it.
class ArmBackEndJump : public ArmBackEnd {
protected:
    void SetUp() override {
        // On PXA2x0 inside the 16 MiB that destinations reach.
        std::uint32_t region = sandbox::isStrongArm(machine.profile) ? 0xC1FF0000 : 0xA0FF0000;
        machine.memory.setFrameRegion(region, 0x10000);
        machine.memory.setFrameOrder(sandbox::FrameOrder::ascending);
        allocate(0);
        // The banks the back end's init registers.
        for (const sandbox::DramBank& bank : machine.profile.banks) memoryManager->addBank(bank.start, bank.size);
        backEnd = makeBackEnd();
        ASSERT_TRUE(backEnd->setupLoader());
        void* payload = nullptr;
        PageTag* tag = nullptr;
        std::uint32_t payloadPhysical = 0;
        ASSERT_TRUE(memoryManager->takeTaggedPage(payload, payloadPhysical, tag, chain));
        *tag = PageTag{PageTag::endOfChain, payloadPhysical, destination, 16};
        void* page = nullptr;
        ASSERT_TRUE(memoryManager->takeLastPage(page, bootPage));
        takeText();
    }

    std::unique_ptr<ArmArchitecture> backEnd;
    std::uint32_t destination = 0xC0200000;
    std::uint32_t chain = 0;
    std::uint32_t bootPage = 0;
};

TEST_P(ArmBackEndJump, TakesTheStackPageCleansTheCacheAndSwitches) {
    backEnd->jump(bootPage, chain);
    std::vector<std::string> text = lines(takeText());
    ASSERT_FALSE(text.empty());
    bool sa = sandbox::isStrongArm(machine.profile);
    EXPECT_EQ(text[0], sa ? "sp for bootloader = c1ffd000 + 00001000 = c1ffe000\n"
                          : "sp for bootloader = a0ffd000 + 00001000 = a0ffe000\n");
    ASSERT_TRUE(machine.platformLeft);
    const sandbox::SwitchRecord& left = *machine.platformLeft;
    EXPECT_EQ(left.routine.address, sa ? armRoutines::FlatJump_sa11x0.address : armRoutines::FlatJump_pxa2x0.address);
    EXPECT_EQ(left.args[0], bootPage);
    EXPECT_EQ(left.args[1], chain);
    EXPECT_EQ(left.args[2], sa ? 0xC1FFE000u : 0xA0FFE000u);
    EXPECT_EQ(left.args[3], sa ? 0xC1FFF000u : 0xA0FFF000u);
    EXPECT_EQ(left.processor.cpsr & 0x1F, 0x1Fu);
    ASSERT_FALSE(machine.routineRuns.empty());
    EXPECT_EQ(machine.routineRuns.back().routine, armRoutines::cleanDataCache.address);
    // Without a harness to take the machine over, the switch comes back: the PXA2x0
    // back end says so and leaves kernel mode, the SA-11x0 one returns as it is.
    if (sa) {
        EXPECT_EQ(text.size(), 1u);
        EXPECT_TRUE(machine.kernelMode);
    } else {
        ASSERT_EQ(text.size(), 2u);
        EXPECT_EQ(text[1], "Return from FlatJump_pxa2x0.\n");
        EXPECT_FALSE(machine.kernelMode);
    }
}

TEST_P(ArmBackEndJump, RefusesAChainThatWouldOverwriteTheLoader) {
    PageTag tag{};
    ASSERT_TRUE(machine.memory.read(chain, &tag, sizeof tag));
    tag.dst = sandbox::isStrongArm(machine.profile) ? 0xC1FFF000 : 0xC0FFF000;  // the loader page
    ASSERT_TRUE(machine.memory.write(chain, &tag, sizeof tag));
    backEnd->jump(bootPage, chain);
    std::vector<std::string> text = lines(takeText());
    ASSERT_EQ(text.size(), 2u);
    EXPECT_EQ(text[1], sandbox::isStrongArm(machine.profile)
                           ? "range 0 (0xc1fff000+0x10) would overwrite the 2nd bootloader page 0xc1fff000 before the 2nd bootloader reads it.\n"
                           : "range 0 (0xa0fff000+0x10) would overwrite the 2nd bootloader page 0xa0fff000 before the 2nd bootloader reads it.\n");
    EXPECT_FALSE(machine.platformLeft);
    EXPECT_TRUE(machine.routineRuns.empty());
    EXPECT_FALSE(machine.kernelMode);
}

class Sa11x0Jump : public BackEndTest {};

TEST_F(Sa11x0Jump, PrintsTheStackPointerAboveTheStackPage) {
    machine.memory.setFrameRegion(0xC1FF0000, 0x10000);
    machine.memory.setFrameOrder(sandbox::FrameOrder::ascending);
    allocate(0);
    auto backEnd = makeBackEnd();
    void* payload = nullptr;
    PageTag* tag = nullptr;
    std::uint32_t payloadPhysical = 0;
    std::uint32_t chain = 0;
    ASSERT_TRUE(memoryManager->takeTaggedPage(payload, payloadPhysical, tag, chain));
    *tag = PageTag{PageTag::endOfChain, payloadPhysical, 0xC0200000, 16};
    takeText();
    backEnd->jump(chain, chain);
    EXPECT_EQ(lines(takeText()).front(), "sp for bootloader = c1fff000 + 00001000 = c2000000\n");
}

INSTANTIATE_TEST_SUITE_P(Families, ArmBackEndJump, ::testing::ValuesIn(families),
                         [](const auto& info) { return std::string(info.param.cacheSize == 8192 ? "Sa11x0" : "Pxa2x0"); });

INSTANTIATE_TEST_SUITE_P(Families, ArmBackEnd, ::testing::ValuesIn(families),
                         [](const auto& info) { return std::string(info.param.cacheSize == 8192 ? "Sa11x0" : "Pxa2x0"); });

}  // namespace
