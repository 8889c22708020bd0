// The pool of physical pages that a boot is staged in.
//
// One committed, uncached block is obtained for the attempt and the physical address
// of each of its pages is learned once. Pages are then handed out from the front (to
// the loaders, for payload and PageTags) and from the back (to the processor back
// end, for the second-stage loader, the hand-over block and its stack). The pages are
// never released before the jump: they hold the staged kernel.
#pragma once

#include <cstdint>
#include <span>

struct PageTag;
class Console;

class MemoryManager {
public:
    /// The failure value of physicalAddress.
    static constexpr std::uint32_t noAddress = 0xFFFFFFFF;
    /// The platform's allocation granularity.
    static constexpr std::uint32_t granule = 0x10000;
    /// Bytes at the start of a tagged page that hold its PageTag slot.
    static constexpr std::uint32_t tagSlotSize = 16;
    static constexpr std::int32_t maxBanks = 16;

    /// A DRAM bank that a back end registered.
    struct Bank {
        std::uint32_t start;
        std::uint32_t size;
    };

    /// One page of the block: where it lies in the block and the physical page behind
    /// it. The offset stands for the virtual address (block + offset), so an entry is
    /// the same 8 bytes whatever the width of a host pointer.
    struct TranslationEntry {
        std::uint32_t offset;
        std::uint32_t physical;
    };
    static_assert(sizeof(TranslationEntry) == 8);

    /// `pageSize` is a power of two larger than a PageTag slot.
    MemoryManager(Console** console, std::uint32_t pageSize);

    /// The physical address of the page at `virtualAddress`, or noAddress.
    virtual std::uint32_t physicalAddress(void* virtualAddress) = 0;
    /// Releases the block and the table.
    virtual ~MemoryManager();
    /// Prepares the manager; false makes the back end's initialisation fail.
    virtual bool init() { return true; }

    MemoryManager(const MemoryManager&) = delete;
    MemoryManager& operator=(const MemoryManager&) = delete;

    // Sizes. All saturate at the largest value of their unit instead of wrapping to a
    // small size.

    std::uint32_t pageSize() const { return pageSize_; }
    /// log2 of the page size.
    std::uint32_t pageShift() const { return pageShift_; }
    /// `bytes` rounded up to whole pages.
    std::uint32_t roundUp(std::uint32_t bytes) const { return roundUpTo(bytes, pageSize_); }
    std::uint32_t roundDown(std::uint32_t address) const { return address & ~(pageSize_ - 1); }
    /// Payload bytes of a tagged page.
    std::uint32_t payloadPerPage() const { return pageSize_ - tagSlotSize; }
    /// Bytes of pages that hold `bytes` of payload when every page gives up a tag slot.
    std::uint32_t taggedSize(std::uint32_t bytes) const;
    std::uint32_t roundUpToGranule(std::uint32_t bytes) const { return roundUpTo(bytes, granule); }

    // The pool.

    /// Obtains the block for `bytes` and fills the translation table. True also when
    /// fewer pages could be mapped than were allocated.
    [[nodiscard]] bool allocatePages(std::uint32_t bytes);
    /// Hands out the next page from the front; false ("page insufficient.") when none
    /// is left.
    [[nodiscard]] bool takeNextPage(void*& virtualAddress, std::uint32_t& physical);
    /// Hands out the last page from the back; false, silently, when none is left.
    [[nodiscard]] bool takeLastPage(void*& virtualAddress, std::uint32_t& physical);
    /// takeNextPage, with the page's first 16 bytes cleared as its tag slot and the
    /// payload behind it.
    [[nodiscard]] bool takeTaggedPage(void*& payload, std::uint32_t& payloadPhysical, PageTag*& tag,
                                      std::uint32_t& tagPhysical);

    // Physical windows.

    /// Maps the pages that cover [physical, physical + length) uncached, with
    /// `protect`; the pointer that corresponds to `physical`, or null when the range
    /// cannot be mapped. Read and write it only with the platform's register accessors.
    void* mapPhysical(std::uint32_t physical, std::uint32_t length, std::uint32_t protect);
    /// Releases the mapping that `pointer` lies in.
    void unmap(void* pointer);
    /// The word at `physical`, or 0xFFFFFFFF when it cannot be mapped.
    std::uint32_t readPhysicalWord(std::uint32_t physical);

    // DRAM banks.

    /// Registers a bank and prints it; a bank beyond maxBanks is refused with a message.
    void addBank(std::uint32_t start, std::uint32_t size);
    std::int32_t bankCount() const { return bankCount_; }
    const Bank& bank(std::int32_t index) const { return banks_[index]; }
    std::span<const Bank> banks() const { return {banks_, static_cast<std::size_t>(bankCount_)}; }

    /// Verbosity, set by the boot controller.
    std::int32_t debugLevel = 0;

protected:
    Console** console;

private:
    static std::uint32_t roundUpTo(std::uint32_t bytes, std::uint32_t unit);
    void* pageAt(std::int32_t index) const;
    void releaseBlock();

    std::uint32_t pageSize_;
    std::uint32_t pageShift_;
    Bank banks_[maxBanks] = {};
    std::int32_t bankCount_ = 0;
    void* region = nullptr;
    std::int32_t mappedCount = 0;
    TranslationEntry* translationTable = nullptr;
    std::int32_t nextIndex = 0;
};
