// A kernel file as the boot loader stages it: the ELF headers are checked, the memory
// it needs is counted, and its segments and symbol block are staged into a page pool.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "console/Console.h"
#include "load/ElfLoader.h"
#include "memory/LockPagesMemoryManager.h"
#include "platform/library.h"
#include "sandbox/Machine.h"
#include "sandbox/ChainWalk.h"
#include "tests/support/MemoryFileManager.h"

namespace {

/// The largest pool a run stages into; a kernel that needs more fails for want of
/// pages, as it would on a small handheld.
constexpr std::uint32_t poolLimit = 0x40000;

LockPagesMemoryManager* makeManager(Console** console) {
    platform::LibraryHandle core = platform::loadLibrary(u"coredll.dll");
    auto lock = reinterpret_cast<platform::LockPagesProcedure>(platform::findProcedure(core, u"LockPages"));
    auto unlock = reinterpret_cast<platform::UnlockPagesProcedure>(platform::findProcedure(core, u"UnlockPages"));
    return new LockPagesMemoryManager(lock, unlock, console, 4096, 0);
}

void stage(Console** console, FileManager*& file, MemoryManager*& pages, sandbox::Machine& machine) {
    ElfLoader loader(console, &pages);
    if (!loader.setFile(file)) return;
    std::uint32_t bytes = std::min(loader.memorySize(), poolLimit);
    if (!pages->allocatePages(pages->roundUpToGranule(pages->taggedSize(bytes) + 4 * pages->pageSize()))) return;
    bool loaded = loader.load();
    loader.jumpAddress();
    if (!loaded) return;
    loader.loadEnd();
    // What was staged must be a chain the second-stage loader can walk: tags and
    // payloads in committed pages, no empty range, and an end.
    if (!sandbox::walkChain(machine.memory, loader.tagChainStart()).sound) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sandbox::Machine& machine = sandbox::resetMachine(*sandbox::findProfile("jornada820"));
    Console* console = Console::instance();
    MemoryFileManager kernel(&console, std::vector<std::uint8_t>(data, data + size));
    FileManager* file = &kernel;
    MemoryManager* pages = makeManager(&console);
    stage(&console, file, pages, machine);
    delete pages;
    if (machine.memory.blockCount() != 0) __builtin_trap();
    return 0;
}
