#include "arch/Architecture.h"

#include "boot/BootMenu.h"
#include "console/Console.h"
#include "memory/MemoryManager.h"
#include "platform/ui.h"

namespace {

/// Room that setupLoader, setupBootInfo and jump take from the back of the pool,
/// plus the tag page.
constexpr std::uint32_t sparePages = 4;

}  // namespace

Architecture::~Architecture() {
    if (coredll != nullptr) platform::freeLibrary(coredll);
}

void* Architecture::getProcedure(const char16_t* name) {
    if (coredll == nullptr) coredll = platform::loadLibrary(u"coredll.dll");
    if (coredll == nullptr) {
        BootMenu* menu = BootMenu::instance();
        menu->messageBox(u"Can't load coredll.dll.", u"WARNING", platform::boxOk | platform::boxIconExclamation);
        menu->redraw();
        return nullptr;
    }
    return platform::findProcedure(coredll, name);
}

platform::LockPagesProcedure Architecture::lockPagesProcedure() {
    return reinterpret_cast<platform::LockPagesProcedure>(getProcedure(u"LockPages"));
}

platform::UnlockPagesProcedure Architecture::unlockPagesProcedure() {
    return reinterpret_cast<platform::UnlockPagesProcedure>(getProcedure(u"UnlockPages"));
}

bool Architecture::allocateMemory(std::uint32_t bytes) {
    MemoryManager& memory = **memoryManager;
    std::uint64_t total = std::uint64_t{memory.taggedSize(bytes)} + sparePages * memory.pageSize();
    // A pool that 32 bits cannot size is refused rather than wrapped to a small one.
    if (total > std::uint64_t{0xFFFFFFFF} - (MemoryManager::granule - 1)) {
        (*console)->print(u"memory request 0x%x is too large.\n", bytes);
        return false;
    }
    return memory.allocatePages(memory.roundUpToGranule(static_cast<std::uint32_t>(total)));
}
