#include "arch/Pxa2x0Architecture.h"

#include "arch/ArmPrimitives.h"
#include "console/Console.h"
#include "memory/FlatJump_pxa2x0.h"
#include "memory/SecondStageLoader.h"
#include "platform/processor.h"

namespace {

constexpr MemoryManager::Bank banks[] = {
    {0xA0000000, 0x04000000},
    {0xA4000000, 0x04000000},
    {0xA8000000, 0x04000000},
    {0xAC000000, 0x04000000},
};
constexpr std::uint32_t cacheSize = 65536;

}  // namespace

Pxa2x0Architecture::Pxa2x0Architecture(Console** console, MemoryManager** memoryManager)
    : ArmArchitecture(console, memoryManager) {
    (*console)->print(u"PXA-2x0 CPU.\n");
}

bool Pxa2x0Architecture::init() {
    if (!initMachine(banks, cacheSize)) return false;
    (*console)->print(u"Dump peripheral registers.\n");
    dumpPeripheralRegisters();
    return true;
}

bool Pxa2x0Architecture::setupLoader() { return installLoader(pxa2x0LoaderBlock()); }

void Pxa2x0Architecture::jump(std::uint32_t bootPage, std::uint32_t tagChain) {
    std::uint32_t stackPointer = 0;
    if (!prepareJump(bootPage, tagChain, DestinationRule::firstSdramBank, stackPointer)) return;
    cleanDataCache();
    platform::setKernelMode(true);
    FlatJump_pxa2x0(bootPage, tagChain, stackPointer, loaderPhysical);
    platform::setKernelMode(false);
    (*console)->print(u"Return from FlatJump_pxa2x0.\n");
}
