#include "arch/Sa11x0Architecture.h"

#include "arch/ArmPrimitives.h"
#include "console/Console.h"
#include "memory/SecondStageLoader.h"
#include "platform/processor.h"

namespace {

constexpr MemoryManager::Bank banks[] = {
    {0xC0000000, 0x08000000},
    {0xC8000000, 0x08000000},
    {0xD0000000, 0x08000000},
    {0xD8000000, 0x08000000},
};
constexpr std::uint32_t cacheSize = 8192;

}  // namespace

Sa11x0Architecture::Sa11x0Architecture(Console** console, MemoryManager** memoryManager)
    : ArmArchitecture(console, memoryManager) {
    (*console)->print(u"SA-11x0 CPU.\n");
}

bool Sa11x0Architecture::init() { return initMachine(banks, cacheSize); }

bool Sa11x0Architecture::setupLoader() { return installLoader(sa11x0LoaderBlock()); }

void Sa11x0Architecture::jump(std::uint32_t bootPage, std::uint32_t tagChain) {
    std::uint32_t stackPointer = 0;
    if (!prepareJump(bootPage, tagChain, DestinationRule::asLinked, stackPointer)) return;
    cleanDataCache();
    platform::setKernelMode(true);
    FlatJump_sa11x0(bootPage, tagChain, stackPointer, loaderPhysical);
}
