#include "memory/RangePlacement.h"

#include <algorithm>
#include <limits>

#include "console/Console.h"
#include "console/format.h"
#include "memory/HeapList.h"

namespace {

constexpr std::uint32_t stackPageBytes = 0x1000;
constexpr std::size_t textUnits = 112;

/// The bytes one range (or the kernel's stack page) occupies where the walk writes it.
struct Extent {
    std::uint64_t start;
    std::uint64_t end;       // past the range's own bytes
    std::uint64_t writeEnd;  // past the whole words a copy stores
    std::int64_t order;      // walk order; the stack page comes after every range
    std::uint32_t linked;    // the destination as the chain holds it
    bool stack;
};

class PlacementChecker {
public:
    PlacementChecker(Console** console, std::span<const MemoryManager::Bank> banks, DestinationRule rule)
        : console(console), banks(banks), rule(rule) {}

    bool check(std::span<const PageTag> ranges) {
        if (ranges.empty()) return true;
        if (!collect(ranges)) {
            (*console)->print(u"can't allocate memory to check the tag chain.\n");
            return false;
        }
        return wordAligned(ranges) && apart() && oneWindow() && inBanks();
    }

private:
    bool collect(std::span<const PageTag> ranges) {
        std::int64_t order = 0;
        std::uint32_t lastEnd = 0;
        firstLinked = ranges.front().dst;
        for (const PageTag& tag : ranges) {
            std::uint64_t start = walkDestination(rule, tag.dst);
            std::uint64_t end = start + tag.len;
            std::uint64_t writeEnd = end;
            // A copy stores whole words and always at least one.
            if (tag.src != PageTag::zeroFill) writeEnd = std::max((end + 3) & ~std::uint64_t{3}, start + 4);
            if (!extents.push({start, end, writeEnd, order++, tag.dst, false})) return false;
            lastEnd = static_cast<std::uint32_t>(end);
        }
        std::uint64_t top = kernelStackTop(lastEnd);
        std::uint64_t bottom = top >= stackPageBytes ? top - stackPageBytes : 0;
        if (!extents.push({bottom, top, top, std::numeric_limits<std::int64_t>::max(), 0, true})) return false;
        std::sort(extents.begin(), extents.end(), [](const Extent& a, const Extent& b) {
            return a.start != b.start ? a.start < b.start : a.end < b.end;
        });
        return true;
    }

    /// The walker's word stores land on word boundaries: a copy that starts between
    /// them would be written shifted.
    bool wordAligned(std::span<const PageTag> ranges) {
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            const PageTag& tag = ranges[i];
            if (tag.src == PageTag::zeroFill || (walkDestination(rule, tag.dst) & 3) == 0) continue;
            (*console)->print(u"range %d (0x%08x+0x%x) starts off a word boundary; the 2nd bootloader copies whole words.\n",
                              i, tag.dst, tag.len);
            return false;
        }
        return true;
    }

    /// No two ranges share a byte, and no copy's last word reaches into a range the
    /// walk has already written.
    bool apart() {
        const Extent* reach = nullptr;
        for (const Extent& e : extents) {
            if (e.end == e.start && !e.stack) continue;
            if (reach != nullptr && e.start < reach->end) return overlap(*reach, e);
            if (reach == nullptr || e.end > reach->end) reach = &e;
        }
        for (const Extent* e = extents.begin(); e != extents.end(); ++e) {
            for (const Extent* f = e + 1; f != extents.end() && f->start < e->writeEnd; ++f) {
                if (f->end > f->start && f->order < e->order) return lastWordOver(*e, *f);
            }
        }
        return true;
    }

    /// The first-bank rule keeps 24 bits of each destination: ranges linked in
    /// different 16 MiB windows land folded over each other or torn apart.
    bool oneWindow() {
        if (rule != DestinationRule::firstSdramBank) return true;
        std::uint64_t window = firstLinked / firstBankWindow;
        for (const Extent& e : extents) {
            if (e.stack) continue;
            std::uint64_t last = e.linked + std::max<std::uint64_t>(e.writeEnd - e.start, 1) - 1;
            if (e.linked / firstBankWindow == window && last / firstBankWindow == window) continue;
            std::uint64_t base = window * firstBankWindow;
            (*console)->print(u"range %d (0x%08x+0x%x) leaves the 16 MiB window 0x%08x-0x%08x of range 0; "
                              u"the first bank holds only one.\n",
                              e.order, e.linked, static_cast<std::uint32_t>(e.end - e.start),
                              static_cast<std::uint32_t>(base), static_cast<std::uint32_t>(base + firstBankWindow - 1));
            return false;
        }
        return true;
    }

    bool inBanks() {
        for (const Extent& e : extents) {
            if (e.writeEnd == e.start || inOneBank(e)) continue;
            char16_t what[textUnits];
            char16_t list[textUnits];
            describe(e, what);
            describeBanks(list);
            (*console)->print(u"%s lies in no DRAM bank (%s).\n", what, list);
            return false;
        }
        return true;
    }

    bool inOneBank(const Extent& e) const {
        return std::any_of(banks.begin(), banks.end(), [&](const MemoryManager::Bank& b) {
            return b.start <= e.start && e.writeEnd <= std::uint64_t{b.start} + b.size;
        });
    }

    bool overlap(const Extent& a, const Extent& b) {
        char16_t first[textUnits];
        char16_t second[textUnits];
        describe(a.order < b.order ? a : b, first);
        describe(a.order < b.order ? b : a, second);
        (*console)->print(u"%s overlaps %s.\n", first, second);
        return false;
    }

    bool lastWordOver(const Extent& copy, const Extent& earlier) {
        char16_t writer[textUnits];
        char16_t written[textUnits];
        describe(copy, writer);
        describe(earlier, written);
        (*console)->print(u"%s overwrites %s with its last word.\n", writer, written);
        return false;
    }

    void describe(const Extent& e, char16_t (&out)[textUnits]) const {
        auto start = static_cast<std::uint32_t>(e.start);
        auto bytes = static_cast<std::uint32_t>(e.end - e.start);
        if (e.stack) {
            console::format(out, textUnits, u"the kernel's stack page 0x%08x", start);
        } else if (start != e.linked) {
            console::format(out, textUnits, u"range %d (0x%08x+0x%x, written to 0x%08x)", e.order, e.linked, bytes,
                            start);
        } else {
            console::format(out, textUnits, u"range %d (0x%08x+0x%x)", e.order, start, bytes);
        }
    }

    void describeBanks(char16_t (&out)[textUnits]) const {
        std::size_t used = 0;
        out[0] = 0;
        for (const MemoryManager::Bank& b : banks) {
            if (used != 0) used += console::format(out + used, textUnits - used, u", ");
            used += console::format(out + used, textUnits - used, u"0x%08x+0x%08x", b.start, b.size);
        }
    }

    Console** console;
    std::span<const MemoryManager::Bank> banks;
    DestinationRule rule;
    HeapList<Extent> extents;
    /// Range 0's destination, whose window the others must share.
    std::uint32_t firstLinked = 0;
};

}  // namespace

bool checkPlacement(Console** console, std::span<const PageTag> ranges, std::span<const MemoryManager::Bank> banks,
                    DestinationRule rule) {
    PlacementChecker checker(console, banks, rule);
    return checker.check(ranges);
}
