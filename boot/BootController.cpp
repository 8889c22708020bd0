#include "boot/BootController.h"

#include <new>

#include "arch/Architecture.h"
#include "boot/ArmBootController.h"
#include "boot/BootMenu.h"
#include "boot/BootSequence.h"
#include "console/Console.h"
#include "console/HardwareConsole.h"
#include "file/GzipFileManager.h"
#include "load/ElfLoader.h"
#include "memory/MemoryManager.h"

namespace {
std::unique_ptr<BootController> current;
}  // namespace

BootController::BootController() : console(Console::instance()) {}

BootController::~BootController() {
    releaseComponents();
    HardwareConsole::destroyInstance();
}

// Each pointer is cleared as its component goes, so that nothing destroyed later (the
// hardware console) reaches a component that is gone.
void BootController::releaseComponents() {
    delete memoryManager;
    memoryManager = nullptr;
    delete architecture;
    architecture = nullptr;
    delete fileManager;
    fileManager = nullptr;
    delete loader;
    loader = nullptr;
}

BootController* BootController::instance() {
    if (!current) install(std::unique_ptr<BootController>(new (std::nothrow) ArmBootController()));
    return current.get();
}

BootController* BootController::install(std::unique_ptr<BootController> controller) {
    BootMenu::instance()->setBootHook([](std::uint32_t) { runBootSequence(); }, 0);
    current = std::move(controller);
    return current.get();
}

bool BootController::setup() { return readSettings(BootMenu::instance()->preferences); }

bool BootController::create() {
    Console::setInstance(console);
    fileManager = new (std::nothrow) GzipFileManager(&console, fileSourceKind);
    if (fileManager == nullptr) return false;
    fileManager->debugLevel = fileDebug;
    return true;
}

bool BootController::attachLoader() {
    delete loader;
    loader = nullptr;
    if (Loader::objectFormat(*fileManager) != Loader::elfFormat) {
        console->print(u"unknown file format.\n");
        return false;
    }
    loader = new (std::nothrow) ElfLoader(&console, &memoryManager);
    return loader != nullptr;
}

void BootController::destroyInstance() { current.reset(); }
