// The back end for XScale PXA250 and PXA270 machines.
#pragma once

#include "arch/ArmArchitecture.h"

class Pxa2x0Architecture : public ArmArchitecture {
public:
    /// Prints "PXA-2x0 CPU." after the ARM layer's line.
    Pxa2x0Architecture(Console** console, MemoryManager** memoryManager);

    /// Ends with the dump of the GPIO and LCD controller registers.
    bool init() override;
    bool setupLoader() override;
    void jump(std::uint32_t bootPage, std::uint32_t tagChain) override;
    /// The GPIO registers with one line per pin, then the LCD controller registers
    /// with their fields.
    void dumpPeripheralRegisters() override;

private:
    void dumpGpio();
    void dumpLcdController();
};
