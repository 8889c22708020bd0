// The simulated RAM: where committed pages get their frames, and what the physical
// view shows of them.
#include <algorithm>
#include <cstring>
#include <set>

#include "platform/memory.h"
#include "tests/support/SandboxTest.h"

namespace {

using sandbox::FrameOrder;
using sandbox::PhysicalMemory;

constexpr std::uint32_t page = PhysicalMemory::frameSize;

class PhysicalMemoryTest : public SandboxTest {
protected:
    PhysicalMemory& memory = machine.memory;

    void* commit(std::uint32_t bytes) {
        return platform::virtualAlloc(nullptr, bytes, platform::memCommit, platform::pageReadWrite | platform::pageNoCache);
    }

    std::vector<std::uint32_t> framesOf(void* block, std::uint32_t pages) {
        std::vector<std::uint32_t> frames;
        for (std::uint32_t i = 0; i < pages; ++i) {
            frames.push_back(memory.committedPage(static_cast<std::uint8_t*>(block) + i * page)->physical);
        }
        return frames;
    }
};

TEST_F(PhysicalMemoryTest, RamFollowsTheProfile) {
    // ipaq-h3600: 32 MiB from the first SA-11x0 bank on.
    EXPECT_EQ(memory.ramStart(), 0xC0000000u);
    EXPECT_EQ(memory.ramSize(), 32u << 20);
    EXPECT_TRUE(memory.isRam(0xC1FFFFFC, 4));
    EXPECT_FALSE(memory.isRam(0xC1FFFFFE, 4));
    EXPECT_FALSE(memory.isRam(0xBFFFFFFF));
}

TEST_F(PhysicalMemoryTest, ScatteredFramesLieInTheDefaultRegionAndRepeatWithTheSeed) {
    void* block = commit(0x10000);
    ASSERT_NE(block, nullptr);
    std::vector<std::uint32_t> frames = framesOf(block, 16);
    std::set<std::uint32_t> distinct(frames.begin(), frames.end());
    EXPECT_EQ(distinct.size(), 16u);
    bool contiguous = true;
    for (std::size_t i = 1; i < frames.size(); ++i) contiguous = contiguous && frames[i] == frames[i - 1] + page;
    EXPECT_FALSE(contiguous);
    for (std::uint32_t f : frames) {
        EXPECT_GE(f, 0xC1000000u);  // the upper half of 32 MiB
        EXPECT_LT(f, 0xC2000000u);
        EXPECT_EQ(f % page, 0u);
    }

    sandbox::Machine& again = sandbox::resetMachine(machine.profile);
    void* second = platform::virtualAlloc(nullptr, 0x10000, platform::memCommit, 0x204);
    std::vector<std::uint32_t> repeated;
    for (std::uint32_t i = 0; i < 16; ++i) {
        repeated.push_back(again.memory.committedPage(static_cast<std::uint8_t*>(second) + i * page)->physical);
    }
    EXPECT_EQ(repeated, frames);
}

TEST_F(PhysicalMemoryTest, OrderAndRegionAreSetByTheTest) {
    memory.setFrameRegion(0xC0400000, 4 * page);
    memory.setFrameOrder(FrameOrder::descending);
    void* block = commit(4 * page);
    EXPECT_EQ(framesOf(block, 4), (std::vector<std::uint32_t>{0xC0403000, 0xC0402000, 0xC0401000, 0xC0400000}));
    EXPECT_EQ(memory.freeFrames(), 0u);
    EXPECT_EQ(commit(page), nullptr);

    ASSERT_TRUE(platform::virtualFree(block, 0, platform::memRelease));
    memory.setFrameOrder(FrameOrder::ascending);
    block = commit(2 * page);
    EXPECT_EQ(framesOf(block, 2), (std::vector<std::uint32_t>{0xC0400000, 0xC0401000}));
}

TEST_F(PhysicalMemoryTest, CommittedPagesAreClearedAndShareTheirBytesWithTheirFrames) {
    auto* block = static_cast<std::uint8_t*>(commit(page));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(std::all_of(block, block + page, [](std::uint8_t b) { return b == 0; }));
    std::uint32_t physical = memory.committedPage(block + 0x10)->physical;
    std::memcpy(block + 0x10, "staged", 6);

    char seen[6];
    ASSERT_TRUE(memory.read(physical, seen, 6));
    EXPECT_EQ(std::string(seen, 6), "staged");
    ASSERT_TRUE(memory.write(physical, "frame!", 6));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block) + 0x10, 6), "frame!");

    // The block takes a whole granule of address space, but only the pages asked for
    // are committed.
    commit(3 * page);
    std::vector<sandbox::CommittedFrame> frames = memory.committedFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_TRUE(std::is_sorted(frames.begin(), frames.end(),
                               [](auto& a, auto& b) { return a.physical < b.physical; }));
    EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [&](auto& f) { return f.physical == (physical & ~0xFFFu); }));
}

TEST_F(PhysicalMemoryTest, UntouchedRamHoldsThePatternAndReleasedFramesKeepTheirBytes) {
    EXPECT_EQ(memory.readWord(0xC0200000), 0xA5A5A5A5u);
    EXPECT_EQ(memory.readWord(0xE0000000), std::nullopt);

    auto* block = static_cast<std::uint8_t*>(commit(page));
    std::uint32_t physical = memory.committedPage(block)->physical;
    std::memcpy(block, "kept", 4);
    std::size_t freeBefore = memory.freeFrames();
    ASSERT_TRUE(platform::virtualFree(block, 0, platform::memRelease));
    EXPECT_EQ(memory.freeFrames(), freeBefore + 1);
    EXPECT_EQ(memory.blockCount(), 0u);
    char seen[4];
    ASSERT_TRUE(memory.read(physical, seen, 4));
    EXPECT_EQ(std::string(seen, 4), "kept");
    EXPECT_TRUE(memory.committedFrames().empty());
}

TEST_F(PhysicalMemoryTest, CommitFailsOnTheFaultAndOnlyReleaseOfABlockStartSucceeds) {
    memory.commitFails = true;
    EXPECT_EQ(commit(page), nullptr);
    memory.commitFails = false;
    auto* block = static_cast<std::uint8_t*>(commit(page));
    EXPECT_FALSE(platform::virtualFree(block + page, 0, platform::memRelease));
    EXPECT_FALSE(platform::virtualFree(block, page, platform::memRelease));
    EXPECT_FALSE(platform::virtualFree(block, 0, platform::memDecommit));
    EXPECT_TRUE(platform::virtualFree(block, 0, platform::memRelease));
    EXPECT_FALSE(platform::virtualFree(block, 0, platform::memRelease));
}

TEST_F(PhysicalMemoryTest, HeapRequestsBeyondTheMachinesRamFail) {
    EXPECT_EQ(platform::heapAlloc((32u << 20) + 1), nullptr);
    void* block = platform::heapAlloc(64);
    EXPECT_NE(block, nullptr);
    platform::heapFree(block);
}

}  // namespace
