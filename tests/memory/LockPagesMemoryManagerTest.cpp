// Learning physical addresses by locking pages.
#include "console/Console.h"
#include "memory/LockPagesMemoryManager.h"
#include "tests/support/PagePoolTest.h"

namespace {

// What the stand-in LockPages and UnlockPages do.
std::uint32_t reportedFrame;
bool lockSucceeds;
bool unlockSucceeds;

bool standInLock(void*, std::uint32_t length, std::uint32_t* frames, std::int32_t flags) {
    if (length != 4096 || flags != 1) return false;
    if (lockSucceeds) frames[0] = reportedFrame;
    return lockSucceeds;
}

bool standInUnlock(void*, std::uint32_t) { return unlockSucceeds; }

class LockPagesTest : public PagePoolTest {
protected:
    LockPagesTest() {
        lockSucceeds = true;
        unlockSucceeds = true;
    }
    LockPagesMemoryManager standIn(std::uint32_t shift) {
        return LockPagesMemoryManager(standInLock, standInUnlock, &console, 4096, shift);
    }
};

TEST_F(LockPagesTest, AnnouncesItself) {
    makeManager();
    EXPECT_EQ(takeText(), "MemoryManager: LockPages\n");
}

TEST_F(LockPagesTest, FrameNumbersBecomePageAddresses) {
    struct Case {
        std::uint32_t shift;
        std::uint32_t frame;
        std::uint32_t physical;
    };
    const Case cases[] = {
        {0, 0xC1234567, 0xC1234000},
        {4, 0x0C123456, 0xC1234000},
        {12, 0x000C1234, 0xC1234000},
        {14, 0x00030481, 0xC1204000},  // wider than a page: the number moves left
    };
    for (const Case& c : cases) {
        reportedFrame = c.frame;
        LockPagesMemoryManager manager = standIn(c.shift);
        int page = 0;
        EXPECT_EQ(manager.physicalAddress(&page), c.physical) << "shift " << c.shift;
    }
}

TEST_F(LockPagesTest, LockFailureMeansNotFoundAndUnlockFailureIsOnlyReported) {
    reportedFrame = 0xC0001000;
    LockPagesMemoryManager manager = standIn(0);
    int page = 0;
    lockSucceeds = false;
    EXPECT_EQ(manager.physicalAddress(&page), MemoryManager::noAddress);
    lockSucceeds = true;
    unlockSucceeds = false;
    takeText();
    EXPECT_EQ(manager.physicalAddress(&page), 0xC0001000u);
    EXPECT_EQ(takeText(), "can't unlock pages\n");
}

TEST_F(LockPagesTest, LockFailingForPageZeroMapsNothing) {
    machine.coreLibrary.lockFailsAtPage = 0;
    takeText();
    ASSERT_TRUE(memoryManager->allocatePages(0x10000));
    EXPECT_EQ(takeText(), "address translation table 16 pages. (0x80 bytes)\n"
                          "page#0 not found\n"
                          "allocated 16 page. mapped 0 page.\n");
}

TEST_F(LockPagesTest, EveryPageIsUnlockedAgainAndShiftedFramesStillGiveTheTruePages) {
    machine.coreLibrary.pageFrameShift = 4;
    makeManager(4096, 4);
    ASSERT_TRUE(memoryManager->allocatePages(0x10000));
    EXPECT_EQ(machine.coreLibrary.locks, 16);
    EXPECT_EQ(machine.coreLibrary.unlocks, 16);
    void* page = nullptr;
    std::uint32_t physical = 0;
    ASSERT_TRUE(memoryManager->takeNextPage(page, physical));
    EXPECT_EQ(physical, machine.memory.committedPage(page)->physical);
}

}  // namespace
