// The processor back end of one boot attempt.
#pragma once

#include <cstdint>

class Console;
class Loader;
class MemoryManager;

class Architecture {
public:
    Architecture(Console** console, MemoryManager** memoryManager)
        : console(console), memoryManager(memoryManager) {}
    virtual ~Architecture() = default;
    Architecture(const Architecture&) = delete;
    Architecture& operator=(const Architecture&) = delete;

    /// Prepares the machine: DRAM banks, cache size.
    virtual bool init() = 0;
    /// Prints the platform description.
    virtual void systemInfo() = 0;
    /// Installs the second-stage loader in a page of its own.
    virtual bool setupLoader() = 0;
    /// Leaves the platform for good; returns only when that failed.
    virtual void jump(std::uint32_t bootPage, std::uint32_t tagChain) = 0;

    // Operations of the base. Virtual so that a boot can be driven with a stand-in
    // back end.

    /// Reserves the page pool for `bytes` of payload plus the tag and hand-over pages.
    virtual bool allocateMemory(std::uint32_t bytes) = 0;
    /// Fills the hand-over page; returns its physical address.
    virtual std::uint32_t setupBootInfo(Loader& loader) = 0;

    std::int32_t debug = 0;

protected:
    Console** console;
    MemoryManager** memoryManager;
};
