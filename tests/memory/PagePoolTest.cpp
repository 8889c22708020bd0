// The page pool: sizing, the translation table, and handing pages out from the front
// and from the back.
#include <cstring>
#include <set>

#include "memory/PageTag.h"
#include "tests/support/PagePoolTest.h"

namespace {

using MemoryManagerPoolTest = PagePoolTest;

struct Page {
    void* address;
    std::uint32_t physical;
};

TEST_F(MemoryManagerPoolTest, SizesRoundAndSaturate) {
    MemoryManager& m = *memoryManager;
    EXPECT_EQ(m.pageShift(), 12u);
    EXPECT_EQ(m.payloadPerPage(), 4080u);
    EXPECT_EQ(m.roundUp(1), 0x1000u);
    EXPECT_EQ(m.roundUp(0x1000), 0x1000u);
    EXPECT_EQ(m.roundDown(0xA0000FFC), 0xA0000000u);
    EXPECT_EQ(m.taggedSize(4080), 0x1000u);
    EXPECT_EQ(m.taggedSize(4081), 0x2000u);
    EXPECT_EQ(m.taggedSize(0x200000), 0x203000u);
    EXPECT_EQ(m.roundUpToGranule(0x207000), 0x210000u);
    EXPECT_EQ(m.roundUpToGranule(0x10000), 0x10000u);
    // Sizes near 4 GiB saturate instead of wrapping to a small pool.
    EXPECT_EQ(m.roundUp(0xFFFFFFFF), 0xFFFFF000u);
    EXPECT_EQ(m.taggedSize(0xFFFFFFFF), 0xFFFFF000u);
    EXPECT_EQ(m.roundUpToGranule(0xFFFFFFFF), 0xFFFF0000u);
}

TEST_F(MemoryManagerPoolTest, WorkedExampleTwoMegabytes) {
    ASSERT_TRUE(allocateFor(0x200000));
    EXPECT_EQ(takeText(), "address translation table 528 pages. (0x1080 bytes)\n"
                          "allocated 528 page. mapped 528 page.\n");
}

TEST_F(MemoryManagerPoolTest, TableHoldsTheFramesThePlatformGaveInBlockOrder) {
    ASSERT_TRUE(memoryManager->allocatePages(0x10000));
    std::vector<Page> pages(16);
    for (Page& p : pages) ASSERT_TRUE(memoryManager->takeNextPage(p.address, p.physical));
    std::set<std::uint32_t> distinct;
    bool contiguous = true;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].physical, machine.memory.committedPage(pages[i].address)->physical);
        if (i > 0) {
            EXPECT_EQ(static_cast<std::uint8_t*>(pages[i].address), static_cast<std::uint8_t*>(pages[i - 1].address) + 4096);
            contiguous = contiguous && pages[i].physical == pages[i - 1].physical + 4096;
        }
        distinct.insert(pages[i].physical);
    }
    EXPECT_FALSE(contiguous);
    EXPECT_EQ(distinct.size(), 16u);
}

TEST_F(MemoryManagerPoolTest, OneByteTakesAGranuleButEntersOnePage) {
    ASSERT_TRUE(memoryManager->allocatePages(1));
    EXPECT_EQ(takeText(), "address translation table 1 pages. (0x8 bytes)\nallocated 1 page. mapped 1 page.\n");
    EXPECT_EQ(machine.memory.committedFrames().size(), 16u);
    Page p{};
    EXPECT_TRUE(memoryManager->takeNextPage(p.address, p.physical));
    EXPECT_FALSE(memoryManager->takeNextPage(p.address, p.physical));
}

TEST_F(MemoryManagerPoolTest, NothingToAllocate) {
    EXPECT_FALSE(memoryManager->allocatePages(0));
    EXPECT_EQ(takeText(), "");
    Page p{};
    EXPECT_FALSE(memoryManager->takeLastPage(p.address, p.physical));
    EXPECT_FALSE(memoryManager->takeNextPage(p.address, p.physical));
    EXPECT_EQ(takeText(), "page insufficient.\n");
}

TEST_F(MemoryManagerPoolTest, PageFiveNotFound) {
    machine.coreLibrary.lockFailsAtPage = 5;
    ASSERT_TRUE(memoryManager->allocatePages(0x10000));
    EXPECT_EQ(takeText(), "address translation table 16 pages. (0x80 bytes)\n"
                          "page#5 not found\n"
                          "allocated 16 page. mapped 5 page.\n");
    Page p{};
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(memoryManager->takeNextPage(p.address, p.physical));
    EXPECT_FALSE(memoryManager->takeNextPage(p.address, p.physical));
    EXPECT_EQ(takeText(), "page insufficient.\n");
}

TEST_F(MemoryManagerPoolTest, BackPagesComeFromTheEndAndAreNeverHandedOutFromTheFront) {
    machine.coreLibrary.lockFailsAtPage = 3;
    ASSERT_TRUE(memoryManager->allocatePages(0x10000));
    Page first{}, back[3]{};
    for (Page& p : back) ASSERT_TRUE(memoryManager->takeLastPage(p.address, p.physical));
    EXPECT_FALSE(memoryManager->takeLastPage(first.address, first.physical));
    auto* base = static_cast<std::uint8_t*>(back[2].address);
    EXPECT_EQ(back[1].address, base + 0x1000);
    EXPECT_EQ(back[0].address, base + 0x2000);
    takeText();
    EXPECT_FALSE(memoryManager->takeNextPage(first.address, first.physical));
    EXPECT_EQ(takeText(), "page insufficient.\n");
}

TEST_F(MemoryManagerPoolTest, TaggedPageClearsOnlyItsSlot) {
    ASSERT_TRUE(memoryManager->allocatePages(0x10000));
    for (const sandbox::CommittedFrame& frame : machine.memory.committedFrames()) std::memset(frame.bytes, 0xCC, 4096);
    void* payload = nullptr;
    PageTag* tag = nullptr;
    std::uint32_t payloadPhysical = 0, tagPhysical = 0;
    ASSERT_TRUE(memoryManager->takeTaggedPage(payload, payloadPhysical, tag, tagPhysical));
    auto* bytes = reinterpret_cast<std::uint8_t*>(tag);
    EXPECT_EQ(std::count(bytes, bytes + 16, 0), 16);
    EXPECT_EQ(bytes[16], 0xCC);
    EXPECT_EQ(bytes[4095], 0xCC);
    EXPECT_EQ(payload, bytes + 16);
    EXPECT_EQ(payloadPhysical, tagPhysical + 16);
    EXPECT_EQ(tagPhysical, machine.memory.committedPage(tag)->physical);
}

TEST_F(MemoryManagerPoolTest, FailuresToObtainTheTableOrTheBlock) {
    machine.heapExhausted = true;
    EXPECT_FALSE(memoryManager->allocatePages(0x10000));
    EXPECT_EQ(takeText(), "can't allocate memory for translation table.\n");
    machine.heapExhausted = false;

    machine.memory.commitFails = true;
    EXPECT_FALSE(memoryManager->allocatePages(0x10000));
    EXPECT_EQ(takeText(), "address translation table 16 pages. (0x80 bytes)\ncan't allocate memory\n");
    Page p{};
    EXPECT_FALSE(memoryManager->takeNextPage(p.address, p.physical));
}

TEST_F(MemoryManagerPoolTest, BlockIsReleasedByANewAllocationAndByTheDestructor) {
    ASSERT_TRUE(memoryManager->allocatePages(0x10000));
    ASSERT_TRUE(memoryManager->allocatePages(0x20000));
    EXPECT_EQ(machine.memory.blockCount(), 1u);
    EXPECT_EQ(machine.memory.committedFrames().size(), 32u);
    delete memoryManager;
    memoryManager = nullptr;
    EXPECT_EQ(machine.memory.blockCount(), 0u);
}

TEST_F(MemoryManagerPoolTest, BanksArePrintedInTheOrderAddedAndTheTableHoldsSixteen) {
    for (std::uint32_t i = 0; i < 4; ++i) memoryManager->addBank(0xC0000000 + i * 0x08000000, 0x08000000);
    EXPECT_EQ(takeText(), "[0] 0xc0000000 size 0x08000000\n[1] 0xc8000000 size 0x08000000\n"
                          "[2] 0xd0000000 size 0x08000000\n[3] 0xd8000000 size 0x08000000\n");
    for (std::uint32_t i = 4; i < 16; ++i) memoryManager->addBank(i, 1);
    takeText();
    memoryManager->addBank(0xE0000000, 0x1000);
    EXPECT_EQ(takeText(), "bank 0xe0000000 size 0x00001000 ignored: bank table full.\n");
    EXPECT_EQ(memoryManager->bankCount(), 16);
    EXPECT_EQ(memoryManager->bank(1).start, 0xC8000000u);
    EXPECT_EQ(memoryManager->bank(15).start, 15u);
}

}  // namespace
