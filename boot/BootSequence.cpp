#include "boot/BootSequence.h"

#include "arch/Architecture.h"
#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "console/SerialConsole.h"
#include "file/FileManager.h"
#include "load/Loader.h"
#include "memory/MemoryManager.h"
#include "platform/ui.h"

namespace {

constexpr std::uint32_t openFlags = 3;
constexpr std::uint32_t unknownSize = 0xFFFFFFFF;

/// How an attempt ended: the stage's message, and whether the file manager's open
/// file is closed before the report.
struct Failure {
    const char16_t* message;
    bool closeFirst;
};

Failure fail(const char16_t* message) { return {message, false}; }
Failure failClosing(const char16_t* message) { return {message, true}; }

bool componentsExist(const BootController& c) {
    return c.architecture != nullptr && c.memoryManager != nullptr && c.fileManager != nullptr;
}

/// The image's decompressed size in whole pages; false when it cannot be opened or
/// its size cannot be learned.
bool measureImage(BootController& c, std::uint32_t& imageBytes, bool& opened) {
    opened = c.fileManager->open(c.fileSystemImageName, openFlags);
    if (!opened) return false;
    std::uint32_t size = c.fileManager->realSize();
    if (size == unknownSize) return false;
    imageBytes = c.memoryManager->roundUp(size);
    c.fileManager->close();
    opened = false;
    return true;
}

/// Steps from the controller's setup to the jump. Every way out is a failure: a
/// successful jump never comes back.
Failure attempt(BootMenu& menu, BootController* controller) {
    menu.progress("0");
    if (controller == nullptr || !controller->setup()) return fail(u"Architecture not supported.\n");
    BootController& c = *controller;
    menu.progress("1");
    if (!c.create() || !componentsExist(c)) return fail(u"Architecture ops. not found.\n");

    Console* console = Console::instance();
    console->print(u"tembrel build number: %d\n", buildNumber);
    console->print(u"%s (cpu=0x%08x machine=0x%08x)\n", menu.platformName(menu.currentPlatformIndex()),
                   menu.preferences.cpuCode, menu.preferences.machineCode);
    menu.progress("2");
    if (!c.architecture->init()) return fail(u"Architecture initialize failed.\n");
    c.architecture->systemInfo();
    menu.progress("3");
    if (!c.fileManager->setRoot(c.kernelDirectory)) return fail(u"Can't set root directory.\n");

    std::uint32_t imageBytes = 0;
    if (c.hasFileSystemImage != 0) {
        bool opened = false;
        // A damaged image whose size cannot be learned is refused here, before its
        // size could wrap the memory request.
        if (!measureImage(c, imageBytes, opened)) {
            return opened ? failClosing(u"Can't open file system image.\n") : fail(u"Can't open file system image.\n");
        }
    }
    menu.progress("4");
    if (!c.fileManager->open(c.kernelName, openFlags)) return fail(u"Can't open kernel image.\n");
    menu.progress("5");
    if (!c.attachLoader() || c.loader == nullptr) return failClosing(u"Can't attach loader.\n");
    if (!c.loader->setFile(c.fileManager)) return failClosing(u"Can't initialize loader.\n");
    menu.progress("6");

    std::uint32_t kernelBytes = c.memoryManager->roundUp(c.loader->memorySize());
    if (kernelBytes > unknownSize - imageBytes) return failClosing(u"Can't allocate memory.\n");
    if (!c.architecture->allocateMemory(imageBytes + kernelBytes)) return failClosing(u"Can't allocate memory.\n");
    menu.progress("7");
    if (!c.architecture->setupLoader()) return failClosing(u"Can't set up loader.\n");
    menu.progress("8");
    if (!c.loader->load()) return failClosing(u"Can't load kernel image to memory.\n");
    menu.progress("9");
    c.fileManager->close();

    if (c.hasFileSystemImage != 0) {
        if (!c.fileManager->open(c.fileSystemImageName, openFlags)) return fail(u"Can't open file system image.\n");
        if (!c.loader->loadFileSystemImage()) return failClosing(u"Can't load file system image to memory.\n");
        c.fileManager->close();
    }
    c.loader->loadEnd();
    std::uint32_t bootPage = c.architecture->setupBootInfo(*c.loader);
    menu.progress("10");

    if (menu.preferences.pauseBeforeBoot != 0) {
        std::int32_t answer = menu.messageBox(u"Push YES to boot.", u"Last chance...",
                                              platform::boxYesNo | platform::boxIconExclamation);
        if (answer != platform::answerYes) return fail(u"Canceled by user.\n");
        menu.redraw();
    }
    c.architecture->jump(bootPage, c.loader->tagChainStart());
    return failClosing(u"Can't jump to the kernel.\n");
}

}  // namespace

void runBootSequence() {
    BootMenu& menu = *BootMenu::instance();
    BootController* controller = BootController::instance();
    SerialConsole::openPort();

    Failure failure = attempt(menu, controller);
    if (failure.closeFirst) controller->fileManager->close();
    menu.messageBox(failure.message != nullptr ? failure.message : u"Unknown error?\n", u"BOOT FAILED",
                    platform::boxOk | platform::boxIconStop);
    menu.progressReset();
}
