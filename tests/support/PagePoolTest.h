// A sandbox test with a page pool: the page-locking memory manager over the machine's
// own LockPages and UnlockPages, and the Console recorded.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "memory/LockPagesMemoryManager.h"
#include "tests/support/SandboxTest.h"

class Console;

class PagePoolTest : public SandboxTest {
protected:
    explicit PagePoolTest(std::string_view profileKey = "ipaq-h3600");
    ~PagePoolTest() override;

    /// Replaces `memoryManager` with a new page-locking manager.
    void makeManager(std::uint32_t pageSize = 4096, std::uint32_t pageFrameShift = 0);
    /// Allocates the pool the way the back end does for `bytes` of staging.
    bool allocateFor(std::uint32_t bytes);
    /// The Console text so far, and forgets it.
    std::string takeText();

    Console* console;
    MemoryManager* memoryManager = nullptr;
};
