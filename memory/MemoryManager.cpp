#include "memory/MemoryManager.h"

#include <bit>
#include <cstring>

#include "console/Console.h"
#include "memory/PageTag.h"
#include "platform/devices.h"
#include "platform/memory.h"

namespace {

constexpr std::uint32_t stagingProtection = platform::pageReadWrite | platform::pageNoCache;

}  // namespace

MemoryManager::MemoryManager(Console** console, std::uint32_t pageSize)
    : console(console), pageSize_(pageSize), pageShift_(static_cast<std::uint32_t>(std::countr_zero(pageSize))) {}

MemoryManager::~MemoryManager() { releaseBlock(); }

std::uint32_t MemoryManager::roundUpTo(std::uint32_t bytes, std::uint32_t unit) {
    std::uint64_t rounded = (std::uint64_t{bytes} + unit - 1) / unit * unit;
    return rounded > 0xFFFFFFFFu ? 0xFFFFFFFFu / unit * unit : static_cast<std::uint32_t>(rounded);
}

std::uint32_t MemoryManager::taggedSize(std::uint32_t bytes) const {
    std::uint64_t pages = (std::uint64_t{bytes} + payloadPerPage() - 1) / payloadPerPage();
    std::uint64_t size = pages * pageSize_;
    return size > 0xFFFFFFFFu ? 0xFFFFFFFFu / pageSize_ * pageSize_ : static_cast<std::uint32_t>(size);
}

bool MemoryManager::allocatePages(std::uint32_t bytes) {
    if (bytes == 0) return false;
    // A second allocation replaces the first instead of leaking it.
    releaseBlock();
    std::uint32_t blockSize = roundUpToGranule(bytes);
    // Where the granule rounding saturates, the block is the smaller of the two; no
    // table entry may lie beyond it.
    std::uint32_t pageCount = (roundUp(bytes) < blockSize ? roundUp(bytes) : blockSize) / pageSize_;
    std::uint32_t tableBytes = pageCount * static_cast<std::uint32_t>(sizeof(TranslationEntry));
    translationTable = static_cast<TranslationEntry*>(platform::heapAlloc(tableBytes));
    if (translationTable == nullptr) {
        (*console)->print(u"can't allocate memory for translation table.\n");
        return false;
    }
    (*console)->print(u"address translation table %d pages. (0x%x bytes)\n", pageCount, tableBytes);

    region = platform::virtualAlloc(nullptr, blockSize, platform::memCommit, stagingProtection);
    if (region == nullptr) {
        (*console)->print(u"can't allocate memory\n");
        releaseBlock();
        return false;
    }
    mappedCount = 0;
    nextIndex = 0;
    for (std::uint32_t i = 0; i < pageCount; ++i) {
        std::uint32_t offset = i * pageSize_;
        std::uint32_t physical = physicalAddress(static_cast<std::uint8_t*>(region) + offset);
        if (physical == noAddress) {
            (*console)->print(u"page#%d not found\n", i);
            break;
        }
        translationTable[mappedCount++] = {offset, physical};
    }
    (*console)->print(u"allocated %d page. mapped %d page.\n", pageCount, mappedCount);
    return true;
}

void* MemoryManager::pageAt(std::int32_t index) const {
    return static_cast<std::uint8_t*>(region) + translationTable[index].offset;
}

bool MemoryManager::takeNextPage(void*& virtualAddress, std::uint32_t& physical) {
    if (translationTable == nullptr || nextIndex >= mappedCount) {
        (*console)->print(u"page insufficient.\n");
        return false;
    }
    virtualAddress = pageAt(nextIndex);
    physical = translationTable[nextIndex].physical;
    ++nextIndex;
    return true;
}

bool MemoryManager::takeLastPage(void*& virtualAddress, std::uint32_t& physical) {
    if (translationTable == nullptr || nextIndex >= mappedCount) return false;
    --mappedCount;
    virtualAddress = pageAt(mappedCount);
    physical = translationTable[mappedCount].physical;
    return true;
}

bool MemoryManager::takeTaggedPage(void*& payload, std::uint32_t& payloadPhysical, PageTag*& tag,
                                   std::uint32_t& tagPhysical) {
    void* page = nullptr;
    std::uint32_t physical = 0;
    if (!takeNextPage(page, physical)) return false;
    std::memset(page, 0, tagSlotSize);
    tag = static_cast<PageTag*>(page);
    tagPhysical = physical;
    payload = static_cast<std::uint8_t*>(page) + tagSlotSize;
    payloadPhysical = physical + tagSlotSize;
    return true;
}

void* MemoryManager::mapPhysical(std::uint32_t physical, std::uint32_t length, std::uint32_t protect) {
    // In 64 bits, so that a range that runs past the top of the address space is
    // refused instead of wrapping to a small mapping.
    std::uint64_t low = roundDown(physical);
    std::uint64_t high = (std::uint64_t{physical} + length + pageSize_ - 1) & ~std::uint64_t{pageSize_ - 1};
    std::uint64_t size = high - low;
    if (size != 0 && high <= 0x100000000u) {
        auto bytes = static_cast<std::uint32_t>(size);
        void* reserved = platform::virtualAlloc(nullptr, bytes, platform::memReserve, platform::pageNoAccess);
        if (reserved != nullptr) {
            std::uint32_t flags = protect | platform::pagePhysical | platform::pageNoCache;
            if (platform::virtualCopy(reserved, static_cast<std::uint32_t>(low >> 8), bytes, flags)) {
                return static_cast<std::uint8_t*>(reserved) + (physical - low);
            }
            platform::virtualFree(reserved, 0, platform::memRelease);
        }
    }
    (*console)->print(u"can't map physical address 0x%08x\n", physical);
    return nullptr;
}

void MemoryManager::unmap(void* pointer) {
    auto base = reinterpret_cast<std::uintptr_t>(pointer) & ~std::uintptr_t{pageSize_ - 1};
    if (!platform::virtualFree(reinterpret_cast<void*>(base), 0, platform::memRelease)) {
        (*console)->print(u"can't release memory\n");
    }
}

std::uint32_t MemoryManager::readPhysicalWord(std::uint32_t physical) {
    void* word = mapPhysical(physical, 4, platform::pageReadOnly);
    if (word == nullptr) return 0xFFFFFFFF;
    std::uint32_t value = platform::readRegister32(word);
    unmap(word);
    return value;
}

void MemoryManager::addBank(std::uint32_t start, std::uint32_t size) {
    if (bankCount_ >= maxBanks) {
        (*console)->print(u"bank 0x%08x size 0x%08x ignored: bank table full.\n", start, size);
        return;
    }
    banks_[bankCount_] = {start, size};
    (*console)->print(u"[%d] 0x%08x size 0x%08x\n", bankCount_, start, size);
    ++bankCount_;
}

void MemoryManager::releaseBlock() {
    if (region != nullptr) platform::virtualFree(region, 0, platform::memRelease);
    platform::heapFree(translationTable);
    region = nullptr;
    translationTable = nullptr;
    mappedCount = 0;
    nextIndex = 0;
}
