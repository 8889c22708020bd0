// The memory manager that learns each page's physical address by locking the page.
#pragma once

#include <cstdint>

#include "memory/MemoryManager.h"
#include "platform/library.h"

class LockPagesMemoryManager : public MemoryManager {
public:
    /// `pageFrameShift` is how far the page-frame numbers LockPages reports are
    /// shifted against physical addresses.
    LockPagesMemoryManager(platform::LockPagesProcedure lockPages, platform::UnlockPagesProcedure unlockPages,
                           Console** console, std::uint32_t pageSize, std::uint32_t pageFrameShift);

    /// Locks the page to learn its frame and unlocks it again; noAddress when the page
    /// cannot be locked.
    std::uint32_t physicalAddress(void* virtualAddress) override;

private:
    platform::LockPagesProcedure lockPages;
    platform::UnlockPagesProcedure unlockPages;
    std::uint32_t pageFrameShift;
};
