#include "memory/WalkCheck.h"

#include <algorithm>

#include "console/Console.h"
#include "memory/HeapList.h"
#include "memory/MemoryManager.h"
#include "memory/PageTag.h"
#include "memory/RangePlacement.h"
#include "platform/devices.h"
#include "platform/memory.h"

namespace {

/// A page the walk reads, and the last range that must leave it intact.
struct Region {
    std::uint32_t page;
    std::int64_t deadline;
    const char16_t* kind;
};

class WalkChecker {
public:
    WalkChecker(Console** console, MemoryManager& memory, DestinationRule rule)
        : console(console), memory(memory), rule(rule), pageSize(memory.pageSize()) {}

    bool check(std::uint32_t tagChain, const WalkPages& pages) {
        return readChain(tagChain) &&
               checkPlacement(console, std::span<const PageTag>(tags.begin(), tags.size()), memory.banks(), rule) &&
               collectRegions(pages) && findConflicts();
    }

private:
    bool readTag(std::uint32_t address, PageTag& tag) {
        void* window = memory.mapPhysical(address, sizeof(PageTag), platform::pageReadOnly);
        if (window == nullptr) return false;
        auto* words = static_cast<std::uint8_t*>(window);
        tag.next = platform::readRegister32(words);
        tag.src = platform::readRegister32(words + 4);
        tag.dst = platform::readRegister32(words + 8);
        tag.len = platform::readRegister32(words + 12);
        memory.unmap(window);
        return true;
    }

    /// The chain in walk order. A chain that loops is found with Brent's method,
    /// which needs no memory of the tags visited.
    bool readChain(std::uint32_t address) {
        std::uint32_t saved = address;
        std::size_t power = 1;
        std::size_t steps = 0;
        while (address != PageTag::endOfChain) {
            PageTag tag{};
            if (!readTag(address, tag)) {
                (*console)->print(u"can't read the tag at 0x%08x.\n", address);
                return false;
            }
            if (!tags.push(tag) || !addresses.push(address)) return noMemory();
            address = tag.next;
            if (address == saved) {
                (*console)->print(u"the tag chain loops at 0x%08x.\n", address);
                return false;
            }
            if (++steps == power) {
                saved = address;
                power *= 2;
                steps = 0;
            }
        }
        return true;
    }

    bool addPages(std::uint64_t start, std::uint64_t end, std::int64_t deadline, const char16_t* kind) {
        for (std::uint64_t page = start & ~std::uint64_t{pageSize - 1}; page < end; page += pageSize) {
            if (!regions.push({static_cast<std::uint32_t>(page), deadline, kind})) return false;
        }
        return true;
    }

    /// Every page the walk reads, with the last range index that must leave it
    /// intact: a tag is read before its own range, a payload during it, and the
    /// fixed pages after the last one.
    bool collectRegions(const WalkPages& pages) {
        auto last = static_cast<std::int64_t>(tags.size()) - 1;
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const PageTag& tag = tags[i];
            auto index = static_cast<std::int64_t>(i);
            if (i > 0 && !addPages(addresses[i], addresses[i] + sizeof(PageTag), index - 1, u"tag")) return noMemory();
            // Pairs of words: up to 7 bytes past the range are read.
            std::uint64_t readBytes = (std::uint64_t{tag.len} + 7) & ~std::uint64_t{7};
            if (tag.src != PageTag::zeroFill && !addPages(tag.src, tag.src + readBytes, index, u"payload")) return noMemory();
        }
        bool fixed = addPages(pages.handoverBlock, std::uint64_t{pages.handoverBlock} + pageSize, last, u"hand-over") &&
                     addPages(pages.loader, std::uint64_t{pages.loader} + pageSize, last, u"2nd bootloader") &&
                     addPages(std::uint64_t{pages.stackPointer} - pageSize, pages.stackPointer, last, u"stack");
        if (!fixed) return noMemory();
        std::sort(regions.begin(), regions.end(), [](const Region& a, const Region& b) { return a.page < b.page; });
        return true;
    }

    /// The bytes range `i` writes: whole words for a copy, exactly its bytes for a
    /// clear.
    void writeExtent(const PageTag& tag, std::uint64_t& start, std::uint64_t& end) const {
        std::uint32_t dst = walkDestination(rule, tag.dst);
        if (tag.src == PageTag::zeroFill) {
            start = dst;
            end = std::uint64_t{dst} + tag.len;
        } else {
            start = dst & ~3u;
            end = std::uint64_t{dst} + ((std::uint64_t{tag.len} + 3) & ~std::uint64_t{3});
        }
    }

    bool findConflicts() {
        for (std::size_t i = 0; i < tags.size(); ++i) {
            std::uint64_t start = 0;
            std::uint64_t end = 0;
            writeExtent(tags[i], start, end);
            std::uint64_t firstPage = start & ~std::uint64_t{pageSize - 1};
            const Region* region = std::lower_bound(regions.begin(), regions.end(), firstPage,
                                                    [](const Region& r, std::uint64_t page) { return r.page < page; });
            for (; region != regions.end() && region->page < end; ++region) {
                if (region->deadline < static_cast<std::int64_t>(i)) continue;
                const PageTag& tag = tags[i];
                (*console)->print(u"range %d (0x%08x+0x%x) would overwrite the %s page 0x%08x before the 2nd bootloader reads it.\n",
                                  i, walkDestination(rule, tag.dst), tag.len, region->kind, region->page);
                return false;
            }
        }
        return true;
    }

    bool noMemory() {
        (*console)->print(u"can't allocate memory to check the tag chain.\n");
        return false;
    }

    Console** console;
    MemoryManager& memory;
    DestinationRule rule;
    std::uint32_t pageSize;
    HeapList<PageTag> tags;
    HeapList<std::uint32_t> addresses;
    HeapList<Region> regions;
};

}  // namespace

bool checkWalk(Console** console, MemoryManager& memory, std::uint32_t tagChain, const WalkPages& pages,
               DestinationRule rule) {
    WalkChecker checker(console, memory, rule);
    return checker.check(tagChain, pages);
}
