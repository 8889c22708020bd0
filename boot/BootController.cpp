#include "boot/BootController.h"

#include "arch/Architecture.h"
#include "boot/BootMenu.h"
#include "boot/BootSequence.h"
#include "console/Console.h"
#include "file/FileManager.h"
#include "load/Loader.h"
#include "memory/MemoryManager.h"

namespace {
std::unique_ptr<BootController> current;
}  // namespace

BootController::BootController() : console(Console::instance()) {}

BootController::~BootController() {
    delete memoryManager;
    delete architecture;
    delete fileManager;
    delete loader;
}

BootController* BootController::instance() { return current.get(); }

BootController* BootController::install(std::unique_ptr<BootController> controller) {
    BootMenu::instance()->setBootHook([](std::uint32_t) { runBootSequence(); }, 0);
    current = std::move(controller);
    return current.get();
}

void BootController::destroyInstance() { current.reset(); }
