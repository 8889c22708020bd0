// The base of the back ends: the core-library lookup, the pool reservation and the
// platform description.
#include <gtest/gtest.h>

#include "arch/Architecture.h"
#include "platform/ui.h"
#include "tests/arch/BackEndTest.h"

namespace {

/// The base alone, for what it does by itself.
class BaseOnly : public Architecture {
public:
    using Architecture::Architecture;
    bool init() override { return true; }
    bool setupLoader() override { return true; }
    void jump(std::uint32_t, std::uint32_t) override {}
};

class ArchitectureTest : public BackEndTest {
protected:
    BaseOnly base{&console, &memoryManager};
};

TEST_F(ArchitectureTest, LooksProceduresUpInTheCoreLibraryLoadedOnce) {
    int loadsBefore = machine.coreLibrary.loads;
    EXPECT_NE(base.lockPagesProcedure(), nullptr);
    EXPECT_NE(base.unlockPagesProcedure(), nullptr);
    EXPECT_EQ(base.getProcedure(u"NoSuchCall"), nullptr);
    EXPECT_EQ(machine.coreLibrary.loads, loadsBefore + 1);
    EXPECT_TRUE(machine.boxes.empty());
}

TEST_F(ArchitectureTest, FreesTheCoreLibraryWithTheBackEnd) {
    {
        BaseOnly other(&console, &memoryManager);
        other.getProcedure(u"LockPages");
    }
    EXPECT_EQ(machine.coreLibrary.frees, 1);
    BaseOnly unused(&console, &memoryManager);
    EXPECT_EQ(machine.coreLibrary.frees, 1);
}

TEST_F(ArchitectureTest, MissingCoreLibraryWarnsAtEveryLookup) {
    machine.coreLibrary.missing = true;
    EXPECT_EQ(base.lockPagesProcedure(), nullptr);
    EXPECT_EQ(base.unlockPagesProcedure(), nullptr);
    ASSERT_EQ(machine.boxes.size(), 2u);
    for (const sandbox::MessageBoxRecord& box : machine.boxes) {
        EXPECT_EQ(box.text, u"Can't load coredll.dll.");
        EXPECT_EQ(box.caption, u"WARNING");
        EXPECT_EQ(box.style, 0x30u);
        EXPECT_EQ(box.owner, &rootWindow);
    }
    EXPECT_EQ(machine.windowUpdates, 2u);
    // The library is tried again at the next lookup.
    machine.coreLibrary.missing = false;
    EXPECT_NE(base.lockPagesProcedure(), nullptr);
    EXPECT_EQ(machine.boxes.size(), 2u);
}

struct PoolCase {
    std::uint32_t bytes;
    const char* table;  // the memory manager's line for the pool it was asked for
};

class AllocateMemory : public ArchitectureTest, public ::testing::WithParamInterface<PoolCase> {};

TEST_P(AllocateMemory, ReservesTaggedPagesAndFourSpareOnes) {
    ASSERT_TRUE(base.allocateMemory(GetParam().bytes));
    EXPECT_EQ(lines(takeText()).front(), GetParam().table);
}

INSTANTIATE_TEST_SUITE_P(Sizes, AllocateMemory,
                         ::testing::Values(
                             // Four pages, raised to the 64 KiB granule.
                             PoolCase{0, "address translation table 16 pages. (0x80 bytes)\n"},
                             PoolCase{4080, "address translation table 16 pages. (0x80 bytes)\n"},
                             PoolCase{4081, "address translation table 16 pages. (0x80 bytes)\n"},
                             // 0x203000 bytes of tagged pages and four more: 0x207000, then 0x210000.
                             PoolCase{0x200000, "address translation table 528 pages. (0x1080 bytes)\n"}));

TEST_F(ArchitectureTest, RefusesAPoolThat32BitsCannotSize) {
    EXPECT_FALSE(base.allocateMemory(0xFFFFFFFF));
    EXPECT_EQ(takeText(), "memory request 0xffffffff is too large.\n");
    EXPECT_EQ(machine.memory.blockCount(), 0u);
}

TEST_F(ArchitectureTest, SystemInfoDescribesThePlatformInFixedColumns) {
    base.systemInfo();
    std::string text = takeText();
    EXPECT_EQ(text,
              "_WIN32_WCE = 420\n"
              "GetVersionEx\n"
              "Windows CE 4.20\n"
              "GetSystemInfo:\n"
              "wProcessorArchitecture      0x5\n"
              "wProcessorLevel             0x4\n"
              "wProcessorRevision          0xb\n"
              "dwPageSize                  0x1000\n"
              "dwAllocationGranularity     0x00010000\n"
              "dwProcessorType             0xa11\n"
              "Display: 640x240 16bpp\n");
    for (const std::string& line : lines(text)) {
        if (line.starts_with("w") || line.starts_with("dw")) {
            EXPECT_EQ(line.find("0x"), 28u) << line;
        }
    }
}

TEST_F(ArchitectureTest, SystemInfoFallsBackToTheStaticVersionQuery) {
    machine.coreLibrary.missingProcedures.insert(u"GetVersionEx");
    machine.version.majorVersion = 5;
    machine.version.minorVersion = 1;
    base.systemInfo();
    std::vector<std::string> text = lines(takeText());
    EXPECT_EQ(text[1], "GetVersionExW\n");
    EXPECT_EQ(text[2], "Windows CE 5.1\n");
}

TEST_F(ArchitectureTest, SystemInfoShowsTheScreenItselfAsTheDisplay) {
    machine.displayWidth = 480;
    machine.displayHeight = 800;
    machine.displayDepth = 8;
    base.systemInfo();
    EXPECT_EQ(lines(takeText()).back(), "Display: 480x800 8bpp\n");
}

}  // namespace
