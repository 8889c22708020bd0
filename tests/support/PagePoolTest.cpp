#include "tests/support/PagePoolTest.h"

#include "console/Console.h"
#include "platform/library.h"

PagePoolTest::PagePoolTest(std::string_view profileKey) : SandboxTest(profileKey) {
    attachWindow();
    console = Console::instance();
    makeManager();
    consolePage.text.clear();
}

PagePoolTest::~PagePoolTest() { delete memoryManager; }

void PagePoolTest::makeManager(std::uint32_t pageSize, std::uint32_t pageFrameShift) {
    platform::LibraryHandle core = platform::loadLibrary(u"coredll.dll");
    auto lock = reinterpret_cast<platform::LockPagesProcedure>(platform::findProcedure(core, u"LockPages"));
    auto unlock = reinterpret_cast<platform::UnlockPagesProcedure>(platform::findProcedure(core, u"UnlockPages"));
    delete memoryManager;
    memoryManager = new LockPagesMemoryManager(lock, unlock, &console, pageSize, pageFrameShift);
}

bool PagePoolTest::allocateFor(std::uint32_t bytes) {
    MemoryManager& m = *memoryManager;
    return m.allocatePages(m.roundUpToGranule(m.taggedSize(bytes) + 4 * m.pageSize()));
}

std::string PagePoolTest::takeText() {
    std::string text = utf8(consolePage.text);
    consolePage.text.clear();
    return text;
}
