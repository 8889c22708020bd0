// The check before the switch: every range lands in DRAM, apart from the others, and
// no range overwrites a page the walk still reads.
#include <gtest/gtest.h>

#include <vector>

#include "memory/PageTag.h"
#include "memory/WalkCheck.h"
#include "tests/support/PagePoolTest.h"

namespace {

/// A pool of 16 frames in ascending order at 0xC1F00000 (SA-11x0) or 0xA0F00000
/// (PXA2x0), with the loader, hand-over and stack pages taken from the back and a
/// chain built in the front as the loader builds one.
class WalkCheck : public PagePoolTest {
protected:
    explicit WalkCheck(std::string_view profile = "jornada720") : PagePoolTest(profile) {
        pool = sandbox::isStrongArm(machine.profile) ? 0xC1F00000 : 0xA0F00000;
        machine.memory.setFrameRegion(pool, 0x10000);
        machine.memory.setFrameOrder(sandbox::FrameOrder::ascending);
        EXPECT_TRUE(allocateFor(0x8000));
        // The back end's banks, as its init registers them.
        for (const sandbox::DramBank& bank : machine.profile.banks) memoryManager->addBank(bank.start, bank.size);
        void* page = nullptr;
        std::uint32_t physical = 0;
        EXPECT_TRUE(memoryManager->takeLastPage(page, pages.loader));
        EXPECT_TRUE(memoryManager->takeLastPage(page, pages.handoverBlock));
        EXPECT_TRUE(memoryManager->takeLastPage(page, physical));
        pages.stackPointer = physical + 0x1000;
        void* payload = nullptr;
        EXPECT_TRUE(memoryManager->takeTaggedPage(payload, physical, current, chain));
        freeSlot = current + 1;
        freeSlotPhysical = chain + 16;
        takeText();
    }

    /// A copy range whose payload gets a page of its own; returns the payload's
    /// physical address.
    std::uint32_t addCopy(std::uint32_t dst, std::uint32_t len) {
        void* payload = nullptr;
        std::uint32_t payloadPhysical = 0;
        PageTag* next = nullptr;
        std::uint32_t nextPhysical = 0;
        EXPECT_TRUE(memoryManager->takeTaggedPage(payload, payloadPhysical, next, nextPhysical));
        fill({nextPhysical, payloadPhysical, dst, len}, next);
        return payloadPhysical;
    }
    void addClear(std::uint32_t dst, std::uint32_t len) {
        PageTag* slot = freeSlot++;
        std::uint32_t slotPhysical = freeSlotPhysical;
        freeSlotPhysical += 16;
        fill({slotPhysical, PageTag::zeroFill, dst, len}, slot);
    }
    /// The physical address of the tag the next range will fill.
    std::uint32_t nextTag() const { return tagPhysical; }

    bool check(DestinationRule rule = DestinationRule::asLinked) {
        if (last != nullptr) last->next = PageTag::endOfChain;
        return checkWalk(&console, *memoryManager, chain, pages, rule);
    }

    std::uint32_t pool = 0;
    WalkPages pages{};
    std::uint32_t chain = 0;

private:
    void fill(const PageTag& tag, PageTag* next) {
        *current = tag;
        last = current;
        current = next;
        tagPhysical = tag.next;
    }

    PageTag* current = nullptr;
    PageTag* last = nullptr;
    PageTag* freeSlot = nullptr;
    std::uint32_t freeSlotPhysical = 0;
    std::uint32_t tagPhysical = 0;
};

TEST_F(WalkCheck, PassesAChainThatWritesElsewhere) {
    addCopy(0xC0200000, 0xFF0);
    addCopy(0xC0200FF0, 0x20);
    addClear(0xC0201010, 0x1000);
    EXPECT_TRUE(check());
    EXPECT_EQ(takeText(), "");
}

TEST_F(WalkCheck, PassesARangeOverAPageTheWalkHasFinishedWith) {
    std::uint32_t first = addCopy(0xC0200000, 0x100);
    // The second range overwrites the first one's payload page, which also holds the
    // second range's own tag: both have been read by then.
    addCopy(first & ~0xFFFu, 0x100);
    EXPECT_TRUE(check());
}

TEST_F(WalkCheck, PassesARangeOverItsOwnTag) {
    addCopy(pool, 0x10);  // the tag page, which holds only this range's tag
    addCopy(0xC0201000, 0x10);
    EXPECT_TRUE(check()) << takeText();
}

TEST_F(WalkCheck, RefusesARangeOverALaterTag) {
    addCopy(pool, 0x10);
    addClear(0xC0201000, 0x10);
    addClear(0xC0202000, 0x10);  // its tag lies in the tag page, behind the first one
    EXPECT_FALSE(check());
    EXPECT_EQ(takeText(), "range 0 (0xc1f00000+0x10) would overwrite the tag page 0xc1f00000 before the 2nd bootloader reads it.\n");
}

TEST_F(WalkCheck, RefusesARangeOverAPayloadStillToBeCopied) {
    addCopy(0xC0200000, 0x100);
    addClear(pool + 0x2000, 0x20);
    std::uint32_t later = addCopy(0xC0201000, 0x100);
    ASSERT_EQ(later & ~0xFFFu, pool + 0x2000);
    EXPECT_FALSE(check());
    EXPECT_EQ(takeText(), "range 1 (0xc1f02000+0x20) would overwrite the payload page 0xc1f02000 before the 2nd bootloader reads it.\n");
}

TEST_F(WalkCheck, RefusesACopyOverItsOwnPayload) {
    std::uint32_t payload = addCopy(pool + 0x1000, 0x100);
    EXPECT_EQ(payload, pool + 0x1010);
    EXPECT_FALSE(check());
    EXPECT_NE(takeText().find("the payload page 0xc1f01000"), std::string::npos);
}

struct FixedPage {
    const char* kind;
    std::uint32_t WalkPages::*page;
    std::int32_t offset;  // from that address to the page's start
    friend void PrintTo(const FixedPage& f, std::ostream* out) { *out << f.kind; }
};

class WalkCheckFixedPages : public WalkCheck, public ::testing::WithParamInterface<FixedPage> {};

TEST_P(WalkCheckFixedPages, RefuseARangeOverThem) {
    std::uint32_t page = pages.*GetParam().page + static_cast<std::uint32_t>(GetParam().offset);
    addCopy(0xC0200000, 0x100);
    addClear(page + 0xFF0, 0x4);  // the last bytes of the page
    EXPECT_FALSE(check());
    EXPECT_NE(takeText().find(std::string("the ") + GetParam().kind + " page"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Pages, WalkCheckFixedPages,
                         ::testing::Values(FixedPage{"hand-over", &WalkPages::handoverBlock, 0},
                                           FixedPage{"2nd bootloader", &WalkPages::loader, 0},
                                           FixedPage{"stack", &WalkPages::stackPointer, -0x1000}),
                         [](const auto& info) { return std::string(info.param.kind[0] == '2' ? "loader" : info.param.kind[0] == 'h' ? "handover" : "stack"); });

TEST_F(WalkCheck, RangesThatEndWhereAPageStartsLeaveItAlone) {
    addCopy(0xC0200000, 0x100);
    std::uint32_t stackPage = pages.stackPointer - 0x1000;
    addClear(stackPage - 0x10, 0x10);
    addClear(pages.loader + 0x1000, 0x10);  // the page above the loader's
    EXPECT_TRUE(check()) << takeText();
}

class WalkCheckPxa : public WalkCheck {
protected:
    WalkCheckPxa() : WalkCheck("ws003sh") {}
};

TEST_F(WalkCheckPxa, AppliesTheFirstBankRule) {
    addCopy(0xC0200000, 0x100);
    addClear(0xC0000000 | (pages.loader & 0x00FFFFFF), 0x10);
    // Linked addresses are written into the first bank: this one is the loader page.
    EXPECT_FALSE(check(DestinationRule::firstSdramBank));
    char expected[96];
    std::snprintf(expected, sizeof expected, "range 1 (0x%08x+0x10) would overwrite the 2nd bootloader page 0x%08x",
                  pages.loader, pages.loader);
    EXPECT_NE(takeText().find(expected), std::string::npos);
    // Taken as it is, the address lies in none of this machine's banks.
    takeText();
    EXPECT_FALSE(check(DestinationRule::asLinked));
    EXPECT_NE(takeText().find("range 0 (0xc0200000+0x100) lies in no DRAM bank (0xa0000000+0x04000000, "),
              std::string::npos);
}

struct Range {
    bool copy;
    std::uint32_t dst;
    std::uint32_t len;
};

struct Placement {
    const char* name;
    const char* profile;
    DestinationRule rule;
    std::vector<Range> ranges;
    const char* refusal;  // the line printed, or empty when the chain passes
    friend void PrintTo(const Placement& p, std::ostream* out) { *out << p.name; }
};

class WalkCheckPlacement : public WalkCheck, public ::testing::WithParamInterface<Placement> {
protected:
    WalkCheckPlacement() : WalkCheck(GetParam().profile) {}
};

TEST_P(WalkCheckPlacement, LandsInDramApartFromTheOtherRanges) {
    for (const Range& r : GetParam().ranges) {
        if (r.copy) {
            addCopy(r.dst, r.len);
        } else {
            addClear(r.dst, r.len);
        }
    }
    bool passed = check(GetParam().rule);
    EXPECT_EQ(passed, *GetParam().refusal == 0);
    EXPECT_EQ(takeText(), GetParam().refusal);
}

constexpr auto sa = DestinationRule::asLinked;
constexpr auto pxa = DestinationRule::firstSdramBank;

INSTANTIATE_TEST_SUITE_P(
    Chains, WalkCheckPlacement,
    ::testing::Values(
        Placement{"ACopyAndTheClearBehindItsOddEnd", "jornada720", sa, {{true, 0xC0200000, 6}, {false, 0xC0200006, 0x1A}}, ""},
        Placement{"OverlappingSegments", "jornada720", sa, {{true, 0xC0200000, 0x100}, {true, 0xC0200080, 0x100}},
                  "range 0 (0xc0200000+0x100) overlaps range 1 (0xc0200080+0x100).\n"},
        Placement{"ALaterClearOverACopy", "jornada720", sa, {{true, 0xC0200000, 0xFF0}, {false, 0xC0200000, 0x10}},
                  "range 0 (0xc0200000+0xff0) overlaps range 1 (0xc0200000+0x10).\n"},
        Placement{"ALastWordOverAnEarlierRange", "jornada720", sa, {{false, 0xC0200002, 2}, {true, 0xC0200000, 2}},
                  "range 1 (0xc0200000+0x2) overwrites range 0 (0xc0200002+0x2) with its last word.\n"},
        Placement{"ACopyOffAWordBoundary", "jornada720", sa, {{true, 0xC0200002, 0x10}},
                  "range 0 (0xc0200002+0x10) starts off a word boundary; the 2nd bootloader copies whole words.\n"},
        Placement{"ARangeOnTheKernelsStack", "jornada720", sa, {{true, 0xC0201000, 0x100}, {true, 0xC0200000, 0x100}},
                  "range 0 (0xc0201000+0x100) overlaps the kernel's stack page 0xc0201000.\n"},
        Placement{"LinkedWhereNoDramLies", "jornada720", sa, {{true, 0x30000000, 0x100}},
                  "range 0 (0x30000000+0x100) lies in no DRAM bank (0xc0000000+0x08000000, 0xc8000000+0x08000000, "
                  "0xd0000000+0x08000000, 0xd8000000+0x08000000).\n"},
        Placement{"ARangeAcrossTwoBanks", "jornada720", sa, {{false, 0xC7FFF000, 0x2000}},
                  "range 0 (0xc7fff000+0x2000) lies in no DRAM bank (0xc0000000+0x08000000, 0xc8000000+0x08000000, "
                  "0xd0000000+0x08000000, 0xd8000000+0x08000000).\n"},
        Placement{"FirstBankFoldsAnImageOntoTheKernel", "ws003sh", pxa, {{true, 0xA0200000, 0x100}, {true, 0xA1200000, 0x100}},
                  "range 0 (0xa0200000+0x100) overlaps range 1 (0xa1200000+0x100, written to 0xa0200000).\n"},
        Placement{"FirstBankTearsAChainAcrossWindows", "ws003sh", pxa, {{true, 0xA0200000, 0x100}, {true, 0xA1000000, 0x100}},
                  "range 1 (0xa1000000+0x100) leaves the 16 MiB window 0xa0000000-0xa0ffffff of range 0; the first bank "
                  "holds only one.\n"},
        Placement{"FirstBankMovesOneWindowWhole", "ws003sh", pxa, {{true, 0xC0200000, 0x100}, {false, 0xC0200100, 0x100}}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WalkCheck, RefusesAChainThatLoops) {
    addCopy(0xC0200000, 0x100);
    addCopy(0xC0201000, 0x100);
    check();
    PageTag first{};
    ASSERT_TRUE(machine.memory.read(chain, &first, sizeof first));
    std::uint32_t secondAddress = first.next;
    PageTag second{};
    ASSERT_TRUE(machine.memory.read(secondAddress, &second, sizeof second));
    second.next = chain;
    ASSERT_TRUE(machine.memory.write(secondAddress, &second, sizeof second));
    takeText();
    EXPECT_FALSE(checkWalk(&console, *memoryManager, chain, pages, DestinationRule::asLinked));
    // It is found where the walk would come round to a tag a second time.
    char expected[48];
    std::snprintf(expected, sizeof expected, "the tag chain loops at 0x%08x.\n", secondAddress);
    EXPECT_EQ(takeText(), expected);
}

TEST_F(WalkCheck, RefusesAChainItCannotRead) {
    addCopy(0xC0200000, 0x100);
    machine.memory.mapFails = true;
    EXPECT_FALSE(check());
    std::string text = takeText();
    EXPECT_NE(text.find("can't map physical address"), std::string::npos);
    EXPECT_NE(text.find("can't read the tag at"), std::string::npos);
}

}  // namespace
