// The back end for StrongARM SA-1100 and SA-1110 machines.
#pragma once

#include "arch/ArmArchitecture.h"

class Sa11x0Architecture : public ArmArchitecture {
public:
    /// Prints "SA-11x0 CPU." after the ARM layer's line.
    Sa11x0Architecture(Console** console, MemoryManager** memoryManager);

    bool init() override;
    bool setupLoader() override;
    void jump(std::uint32_t bootPage, std::uint32_t tagChain) override;
    /// The SA-11x0 has no peripheral dump.
    void dumpPeripheralRegisters() override {}
};
