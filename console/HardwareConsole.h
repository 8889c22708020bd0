// Consoles that write the UART's registers directly, a byte at a time with busy
// waiting, so that they work with interrupts masked and without the platform's driver.
#pragma once

#include <cstdint>

#include "console/SerialConsole.h"

class MemoryManager;

class HardwareConsole : public SerialConsole {
public:
    /// The process's hardware console, created on first use for the processor family
    /// `cpuCode`; none for a family without one. `memoryManager` is the address of the
    /// boot controller's member, so the console follows each attempt's manager.
    static HardwareConsole* instance(MemoryManager** memoryManager, std::uint32_t cpuCode);
    static void destroyInstance();

    ~HardwareConsole() override;

protected:
    HardwareConsole(MemoryManager** memoryManager, std::uint32_t physical, std::uint32_t length)
        : memoryManager(memoryManager), registerBase(physical), registerLength(length) {}

    /// Sends the message: 8-bit text, a carriage return before every line feed.
    void emit() override;
    /// Sends one 8-bit character.
    virtual void putChar(char c) = 0;

    /// Maps the UART registers anew, releasing an earlier mapping first. False, with
    /// the memory manager's message, when they cannot be mapped.
    bool mapRegisters();
    std::uint8_t readRegister(std::uint32_t offset) const;
    void writeRegister(std::uint32_t offset, std::uint8_t value);

    MemoryManager** memoryManager;
    void* registers = nullptr;

private:
    /// Releases the register mapping when a memory manager is there to do it; at exit
    /// the manager is gone first and the mapping ends with the process.
    void releaseRegisters();

    std::uint32_t registerBase;
    std::uint32_t registerLength;
};
