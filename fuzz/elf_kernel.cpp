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

/// The largest pool a run stages into: small, since clearing committed pages is much
/// of a run's cost. A kernel that needs more fails for want of pages, as it would on a
/// small handheld.
constexpr std::uint32_t poolLimit = 0x9000;

/// The bytes the symbol block's header part would take: the section table and the
/// section-name table as the headers claim them.
std::uint64_t claimedSymbolHeader(const std::uint8_t* data, std::size_t size) {
    auto field = [&](std::size_t at, std::size_t bytes) -> std::uint64_t {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes && at + i < size; ++i) value |= std::uint64_t{data[at + i]} << (8 * i);
        return value;
    };
    std::uint64_t entry = field(0x2E, 2);
    std::uint64_t names = field(0x20, 4) + field(0x32, 2) * entry + 0x14;
    return field(0x30, 2) * entry + (names + 4 <= size ? field(names, 4) : 0);
}

/// Above this, a run would mostly clear a large block that the loader then drops
/// because the file cannot fill it; such runs are skipped for speed.
constexpr std::uint64_t symbolHeaderLimit = 0x10000;

LockPagesMemoryManager* makeManager(Console** console) {
    platform::LibraryHandle core = platform::loadLibrary(u"coredll.dll");
    auto lock = reinterpret_cast<platform::LockPagesProcedure>(platform::findProcedure(core, u"LockPages"));
    auto unlock = reinterpret_cast<platform::UnlockPagesProcedure>(platform::findProcedure(core, u"UnlockPages"));
    return new LockPagesMemoryManager(lock, unlock, console, 4096, 0);
}

/// The machine with every frame of its RAM already made: a run's released pages then
/// fill frames that exist instead of allocating new ones, so that a run frees as many
/// blocks as it allocates and libFuzzer's leak check (a scan of the whole heap) stays
/// off for it.
sandbox::Machine& preparedMachine() {
    sandbox::Machine& machine = sandbox::resetMachine(*sandbox::findProfile("jornada820"));
    sandbox::PhysicalMemory& memory = machine.memory;
    for (std::uint64_t at = memory.ramStart(); at < std::uint64_t{memory.ramStart()} + memory.ramSize(); at += 4096) {
        memory.frame(static_cast<std::uint32_t>(at));
    }
    return machine;
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
    if (claimedSymbolHeader(data, size) > symbolHeaderLimit) return 0;
    // One machine for every run, which must give back every page it took; the frames
    // are dealt in the same order each run, so that a run does not depend on the last.
    static sandbox::Machine& machine = preparedMachine();
    machine.memory.setFrameOrder(sandbox::FrameOrder::scattered);
    Console* console = Console::instance();
    MemoryFileManager kernel(&console, std::vector<std::uint8_t>(data, data + size));
    FileManager* file = &kernel;
    MemoryManager* pages = makeManager(&console);
    stage(&console, file, pages, machine);
    delete pages;
    if (machine.memory.blockCount() != 0) __builtin_trap();
    machine.boxes.clear();
    machine.debugLog.clear();
    return 0;
}
