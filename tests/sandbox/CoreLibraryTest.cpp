// "coredll.dll" as the sandbox provides it: the calls looked up by name and their
// faults.
#include "platform/library.h"
#include "platform/memory.h"
#include "platform/queries.h"
#include "tests/support/SandboxTest.h"

namespace {

class CoreLibraryTest : public SandboxTest {
protected:
    platform::LibraryHandle core = platform::loadLibrary(u"coredll.dll");
    platform::LockPagesProcedure lock =
        reinterpret_cast<platform::LockPagesProcedure>(platform::findProcedure(core, u"LockPages"));
    platform::UnlockPagesProcedure unlock =
        reinterpret_cast<platform::UnlockPagesProcedure>(platform::findProcedure(core, u"UnlockPages"));

    std::uint8_t* commit(std::uint32_t bytes) {
        return static_cast<std::uint8_t*>(platform::virtualAlloc(nullptr, bytes, platform::memCommit, 0x204));
    }
};

TEST_F(CoreLibraryTest, LooksUpTheThreeCallsByName) {
    ASSERT_NE(core, nullptr);
    EXPECT_NE(lock, nullptr);
    EXPECT_NE(unlock, nullptr);
    auto getVersion =
        reinterpret_cast<platform::GetVersionExProcedure>(platform::findProcedure(core, u"GetVersionEx"));
    ASSERT_NE(getVersion, nullptr);
    platform::VersionRecord version{};
    EXPECT_TRUE(getVersion(&version));
    EXPECT_EQ(version.majorVersion, machine.version.majorVersion);
    EXPECT_EQ(platform::findProcedure(core, u"VirtualCopy"), nullptr);
    EXPECT_EQ(platform::loadLibrary(u"ws2.dll"), nullptr);
    platform::freeLibrary(core);
    EXPECT_EQ(machine.coreLibrary.loads, 1);
    EXPECT_EQ(machine.coreLibrary.frees, 1);
}

TEST_F(CoreLibraryTest, MissingLibraryAndMissingProcedures) {
    machine.coreLibrary.missingProcedures.insert(u"UnlockPages");
    EXPECT_EQ(platform::findProcedure(core, u"UnlockPages"), nullptr);
    EXPECT_NE(platform::findProcedure(core, u"LockPages"), nullptr);
    machine.coreLibrary.missing = true;
    EXPECT_EQ(platform::loadLibrary(u"coredll.dll"), nullptr);
}

TEST_F(CoreLibraryTest, LockPagesReportsEachPagesFrameShiftedByTheMachinesFrameShift) {
    std::uint8_t* block = commit(0x10000);
    std::uint32_t frames[2] = {};
    ASSERT_TRUE(lock(block + 0x1000, 0x2000, frames, 1));
    std::uint32_t first = machine.memory.committedPage(block + 0x1000)->physical;
    std::uint32_t second = machine.memory.committedPage(block + 0x2000)->physical;
    EXPECT_EQ(frames[0], first);
    EXPECT_EQ(frames[1], second);
    EXPECT_TRUE(unlock(block + 0x1000, 0x2000));

    machine.coreLibrary.pageFrameShift = 12;
    ASSERT_TRUE(lock(block + 0x1000, 0x1000, frames, 1));
    EXPECT_EQ(frames[0], first >> 12);
}

TEST_F(CoreLibraryTest, LockAndUnlockFaults) {
    std::uint8_t* block = commit(0x10000);
    std::uint32_t frame = 0xFFFFFFFF;
    machine.coreLibrary.lockFailsAtPage = 3;
    EXPECT_TRUE(lock(block + 2 * 0x1000, 0x1000, &frame, 1));
    frame = 0xFFFFFFFF;
    EXPECT_FALSE(lock(block + 3 * 0x1000, 0x1000, &frame, 1));
    EXPECT_EQ(frame, 0xFFFFFFFFu);
    std::uint32_t onStack = 0;
    EXPECT_FALSE(lock(&onStack, 4, &frame, 1));  // not a committed page
    machine.coreLibrary.unlockFails = true;
    EXPECT_FALSE(unlock(block, 0x1000));
}

}  // namespace
