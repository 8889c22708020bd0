#include "boot/BootController.h"

#include "arch/Architecture.h"
#include "boot/BootMenu.h"
#include "boot/BootSequence.h"
#include "console/Console.h"
#include "console/HardwareConsole.h"
#include "file/FileManager.h"
#include "load/Loader.h"
#include "memory/MemoryManager.h"

namespace {
std::unique_ptr<BootController> current;
}  // namespace

BootController::BootController() : console(Console::instance()) {}

// Each pointer is cleared as its component goes, so that a component destroyed later
// (the hardware console) sees that the memory manager is gone.
BootController::~BootController() {
    delete memoryManager;
    memoryManager = nullptr;
    delete architecture;
    architecture = nullptr;
    HardwareConsole::destroyInstance();
    delete fileManager;
    fileManager = nullptr;
    delete loader;
    loader = nullptr;
}

BootController* BootController::instance() { return current.get(); }

BootController* BootController::install(std::unique_ptr<BootController> controller) {
    BootMenu::instance()->setBootHook([](std::uint32_t) { runBootSequence(); }, 0);
    current = std::move(controller);
    return current.get();
}

void BootController::destroyInstance() { current.reset(); }
