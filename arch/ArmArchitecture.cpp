#include "arch/ArmArchitecture.h"

#include <cstring>

#include "arch/ArmPrimitives.h"
#include "console/Console.h"
#include "memory/MemoryManager.h"
#include "platform/processor.h"

namespace {

constexpr std::uint32_t modeMask = 0x1F;
constexpr std::uint32_t systemMode = 0x1F;

}  // namespace

ArmArchitecture::ArmArchitecture(Console** console, MemoryManager** memoryManager)
    : Architecture(console, memoryManager) {
    (*console)->print(u"ARM architecture.\n");
}

void ArmArchitecture::systemInfo() {
    Architecture::systemInfo();
    savedKernelMode = platform::setKernelMode(true);
    disableInterrupts();
    Console& out = **console;
    if ((readCpsr() & modeMask) != systemMode) out.print(u"can't change to System mode\n");
    out.print(u"Reg0 :%08x\n", readCp15Id());
    out.print(u"Reg1 :%08x\n", readCp15Control());
    out.print(u"Reg2 :%08x\n", readCp15TranslationTableBase());
    out.print(u"Reg3 :%08x\n", readCp15DomainAccess());
    out.print(u"Reg5 :%08x\n", readCp15FaultStatus());
    out.print(u"Reg6 :%08x\n", readCp15FaultAddress());
    out.print(u"Reg13:%08x\n", readCp15ProcessId());
    out.print(u"Reg14:%08x\n", readCp15Register14());
    out.print(u"CPSR :%08x\n", readCpsr());
    enableInterrupts();
    platform::setKernelMode(savedKernelMode);
}

bool ArmArchitecture::initMachine(std::span<const MemoryManager::Bank> banks, std::uint32_t cacheSize) {
    MemoryManager& memory = **memoryManager;
    if (!memory.init()) {
        (*console)->print(u"can't initialize memory manager.\n");
        return false;
    }
    for (const MemoryManager::Bank& bank : banks) memory.addBank(bank.start, bank.size);
    dataCacheSize = cacheSize;
    (*console)->print(u"D-cache size = %d\n", dataCacheSize);
    return true;
}

bool ArmArchitecture::installLoader(std::span<const std::uint8_t> block) {
    MemoryManager& memory = **memoryManager;
    auto size = static_cast<std::uint32_t>(block.size());
    if (size > memory.pageSize()) {
        (*console)->print(u"2nd bootloader size(%dbyte) is larger than page size(%d).\n", size, memory.pageSize());
        return false;
    }
    void* page = nullptr;
    if (!memory.takeLastPage(page, loaderPhysical)) {
        (*console)->print(u"can't get page for 2nd loader.\n");
        return false;
    }
    (*console)->print(u"2nd bootloader vaddr=0x%08x paddr=0x%08x\n", reinterpret_cast<std::uintptr_t>(page), loaderPhysical);
    std::memcpy(page, block.data(), size);
    (*console)->print(u"2nd bootloader copy done.\n");
    return true;
}

bool ArmArchitecture::prepareJump(std::uint32_t bootPage, std::uint32_t tagChain, DestinationRule rule,
                                  std::uint32_t& stackPointer) {
    // setupBootInfo has said why it has no page.
    if (bootPage == noAddress) return false;
    MemoryManager& memory = **memoryManager;
    void* page = nullptr;
    std::uint32_t physical = 0;
    if (!memory.takeLastPage(page, physical)) {
        (*console)->print(u"can't get page for 2nd bootloader stack.\n");
        return false;
    }
    stackPointer = physical + memory.pageSize();
    (*console)->print(u"sp for bootloader = %08x + %08x = %08x\n", physical, memory.pageSize(), stackPointer);
    return checkWalk(console, memory, tagChain, {bootPage, loaderPhysical, stackPointer}, rule);
}
