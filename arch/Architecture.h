// The processor back end of one boot attempt.
#pragma once

#include <cstdint>

#include "platform/library.h"

class Console;
class Loader;
class MemoryManager;

class Architecture {
public:
    /// The failure value of setupBootInfo.
    static constexpr std::uint32_t noAddress = 0xFFFFFFFF;

    /// `console` and `memoryManager` are the boot controller's members, so the back
    /// end follows whatever console and memory manager they hold.
    Architecture(Console** console, MemoryManager** memoryManager)
        : console(console), memoryManager(memoryManager) {}
    /// Frees the core library if a lookup loaded it.
    virtual ~Architecture();
    Architecture(const Architecture&) = delete;
    Architecture& operator=(const Architecture&) = delete;

    /// Prepares the machine: DRAM banks, cache size.
    virtual bool init() = 0;
    /// Prints the platform description.
    virtual void systemInfo();
    /// Installs the second-stage loader in a page of its own.
    virtual bool setupLoader() = 0;
    /// Leaves the platform for good; returns only when that failed.
    virtual void jump(std::uint32_t bootPage, std::uint32_t tagChain) = 0;

    // Operations of the base. Virtual so that a boot can be driven with a stand-in
    // back end.

    /// Reserves the page pool for `bytes` of payload plus the tag and hand-over pages.
    virtual bool allocateMemory(std::uint32_t bytes);
    /// Fills the hand-over page; returns its physical address, or noAddress when no
    /// page was left for it.
    virtual std::uint32_t setupBootInfo(Loader& loader);

    /// The procedure `name` of the core library "coredll.dll", which the first lookup
    /// loads; null when the library or the procedure is missing. A library that
    /// cannot be loaded is reported in a warning box at every lookup.
    void* getProcedure(const char16_t* name);
    platform::LockPagesProcedure lockPagesProcedure();
    platform::UnlockPagesProcedure unlockPagesProcedure();

    /// Verbosity, set by the boot controller.
    std::int32_t debug = 0;

protected:
    platform::LibraryHandle coredll = nullptr;
    Console** console;
    MemoryManager** memoryManager;
    /// Where setupLoader put the second-stage loader; 0 until then.
    std::uint32_t loaderPhysical = 0;
    /// The hand-over page that setupBootInfo filled; null until then.
    void* handoverBlock = nullptr;
};
