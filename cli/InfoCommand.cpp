#include "cli/InfoCommand.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "arch/Pxa2x0Architecture.h"
#include "arch/Sa11x0Architecture.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "file/GzipFileManager.h"
#include "host/CodePage.h"
#include "load/ElfLoader.h"
#include "memory/LockPagesMemoryManager.h"
#include "platform/library.h"
#include "sandbox/Machine.h"

namespace {

/// The loader's lines go to standard output.
class OutputPage : public ConsolePageLink {
public:
    void print(const char16_t* text, bool) override { std::fputs(host::toUtf8(text).c_str(), stdout); }
};

/// The machine's back end, which sizes the page pool as a boot does.
std::unique_ptr<Architecture> backEnd(Console*& console, MemoryManager*& memory) {
    if (sandbox::isStrongArm(sandbox::machine().profile)) return std::make_unique<Sa11x0Architecture>(&console, &memory);
    return std::make_unique<Pxa2x0Architecture>(&console, &memory);
}

int stage(Console*& console, const std::filesystem::path& kernel) {
    platform::LibraryHandle core = platform::loadLibrary(u"coredll.dll");
    auto lock = reinterpret_cast<platform::LockPagesProcedure>(platform::findProcedure(core, u"LockPages"));
    auto unlock = reinterpret_cast<platform::UnlockPagesProcedure>(platform::findProcedure(core, u"UnlockPages"));
    MemoryManager* memory = new LockPagesMemoryManager(lock, unlock, &console, 4096, 0);
    FileManager* file = new GzipFileManager(&console, 0);
    int status = 1;
    {
        ElfLoader loader(&console, &memory);
        std::unique_ptr<Architecture> architecture = backEnd(console, memory);
        std::u16string name = host::fromUtf8(kernel.filename().string());
        if (file->setRoot(u"\\") && file->open(name.c_str(), 3) && loader.setFile(file)) {
            std::uint32_t bytes = memory->roundUp(loader.memorySize());
            if (architecture->allocateMemory(bytes) && loader.load()) {
                loader.loadEnd();
                status = 0;
            }
        }
        file->close();
    }
    delete file;
    delete memory;
    platform::freeLibrary(core);
    return status;
}

}  // namespace

int showKernelInfo(const std::string& kernel) {
    std::filesystem::path path = std::filesystem::absolute(kernel);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        std::fprintf(stderr, "tembrel: no kernel file \"%s\"\n", kernel.c_str());
        return 2;
    }
    // The kernel's folder is the object store's root for this look.
    sandbox::machine().storageRoot = path.parent_path();
    OutputPage page;
    BootMenu::instance()->consoleTab = &page;
    Console* console = Console::instance();
    int status = stage(console, path);
    BootMenu::instance()->consoleTab = nullptr;
    return status;
}
