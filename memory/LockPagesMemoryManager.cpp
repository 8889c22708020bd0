#include "memory/LockPagesMemoryManager.h"

#include "console/Console.h"

namespace {

/// LockPages' own flag for the pages of a block that will be written.
constexpr std::int32_t lockForWrite = 1;

}  // namespace

LockPagesMemoryManager::LockPagesMemoryManager(platform::LockPagesProcedure lockPages,
                                               platform::UnlockPagesProcedure unlockPages, Console** console,
                                               std::uint32_t pageSize, std::uint32_t pageFrameShift)
    : MemoryManager(console, pageSize), lockPages(lockPages), unlockPages(unlockPages), pageFrameShift(pageFrameShift) {
    (*console)->print(u"MemoryManager: LockPages\n");
}

std::uint32_t LockPagesMemoryManager::physicalAddress(void* virtualAddress) {
    std::uint32_t frame = 0xFFFFFFFF;
    if (!lockPages(virtualAddress, pageSize(), &frame, lockForWrite)) return noAddress;
    if (!unlockPages(virtualAddress, pageSize())) (*console)->print(u"can't unlock pages\n");
    // The frame number, shifted back to a page address. A shift wider than a page
    // (not one the platform uses) moves the number left instead of shifting by a
    // negative count.
    std::uint64_t physical = pageFrameShift <= pageShift()
                                 ? std::uint64_t{frame >> (pageShift() - pageFrameShift)} << pageShift()
                                 : std::uint64_t{frame} << (pageFrameShift < 32 ? pageFrameShift : 32);
    return roundDown(static_cast<std::uint32_t>(physical));
}
