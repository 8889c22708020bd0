// The layer shared by the two ARM back ends: the System-mode register dump, the
// peripheral-dump slot, and the steps of loader set-up and jump they have in common.
#pragma once

#include <cstdint>
#include <span>

#include "arch/Architecture.h"
#include "memory/MemoryManager.h"
#include "memory/WalkCheck.h"

class ArmArchitecture : public Architecture {
public:
    /// Prints "ARM architecture.".
    ArmArchitecture(Console** console, MemoryManager** memoryManager);

    /// The base description, then the processor's privileged registers, read in
    /// System mode with interrupts masked.
    void systemInfo() override;
    /// Prints the contents of peripheral registers.
    virtual void dumpPeripheralRegisters() = 0;

protected:
    /// The steps of init both back ends share: the memory manager's init, the banks
    /// and the data-cache size.
    bool initMachine(std::span<const MemoryManager::Bank> banks, std::uint32_t cacheSize);
    /// Copies `block` (the loader and its neighbours) into a page taken from the back
    /// of the pool.
    bool installLoader(std::span<const std::uint8_t> block);
    /// Takes the stack page and checks that the walk can run; false, with the reason
    /// printed, when the jump must not be made.
    bool prepareJump(std::uint32_t bootPage, std::uint32_t tagChain, DestinationRule rule, std::uint32_t& stackPointer);

    /// The thread's kernel mode before systemInfo switched it on.
    bool savedKernelMode = false;
};
