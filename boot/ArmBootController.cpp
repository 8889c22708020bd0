#include "boot/ArmBootController.h"

#include <new>

#include "arch/Pxa2x0Architecture.h"
#include "arch/Sa11x0Architecture.h"
#include "boot/BootMenu.h"
#include "boot/PlatformTable.h"
#include "console/Console.h"
#include "console/HardwareConsole.h"
#include "memory/LockPagesMemoryManager.h"

namespace {

constexpr std::uint32_t pageLocking = 1;
constexpr std::uint32_t pageSize = 4096;

/// The processor patterns an ARM machine is accepted by, and their back ends.
struct ProcessorFamily {
    PlatformId pattern;
    std::uint32_t architectureCode;
};

constexpr ProcessorFamily families[] = {
    {{0x0C104000, 0}, BootController::sa11x0},  // ARM STRONGARM SA1100
    {{0x0C108000, 0}, BootController::sa11x0},  // ARM STRONGARM SA1110
    {{0x0C204000, 0}, BootController::pxa250},  // ARM XSCALE PXA250
    {{0x0C208000, 0}, BootController::pxa270},  // ARM XSCALE PXA270
};

Architecture* newArchitecture(std::uint32_t code, Console** console, MemoryManager** memoryManager) {
    if (code == BootController::sa11x0) return new (std::nothrow) Sa11x0Architecture(console, memoryManager);
    if (code == BootController::pxa250 || code == BootController::pxa270) {
        return new (std::nothrow) Pxa2x0Architecture(console, memoryManager);
    }
    return nullptr;
}

}  // namespace

bool ArmBootController::setup() {
    const Preferences& p = BootMenu::instance()->preferences;
    PlatformId id{p.cpuCode, p.machineCode};
    const ProcessorFamily* family = nullptr;
    for (const ProcessorFamily& f : families) {
        if (matchPlatform(id, f.pattern)) {
            family = &f;
            break;
        }
    }
    if (family == nullptr) return false;
    architectureCode = family->architectureCode;
    memoryMethod = pageLocking;
    return BootController::setup();
}

bool ArmBootController::create() {
    releaseComponents();
    architecture = newArchitecture(architectureCode, &console, &memoryManager);
    if (architecture == nullptr) {
        console->print(u"Unsupported architecture.\n");
        return false;
    }
    architecture->debug = architectureDebug;
    platform::LockPagesProcedure lock = architecture->lockPagesProcedure();
    platform::UnlockPagesProcedure unlock = architecture->unlockPagesProcedure();
    if (lock == nullptr || unlock == nullptr) {
        console->print(u"couldn't find LockPages/UnlockPages.\n");
        return false;
    }
    if (memoryMethod != pageLocking) {
        console->print(u"unsupported memory address detection method.\n");
        return false;
    }
    memoryManager = new (std::nothrow) LockPagesMemoryManager(lock, unlock, &console, pageSize, 0);
    if (memoryManager == nullptr) return false;
    memoryManager->debugLevel = memoryDebug;
    chooseConsole();
    return BootController::create();
}

void ArmBootController::chooseConsole() {
    if (useSerialConsole != 0) {
        HardwareConsole* serial = HardwareConsole::instance(&memoryManager, architectureCode);
        if (serial != nullptr && serial->open()) {
            console = serial;
            return;
        }
        // The window itself: the current console may be this same hardware console,
        // installed by an earlier attempt, which has just failed to open.
        console = Console::window();
        console->print(u"use LCD console instead.\n");
        return;
    }
    // A window boot after a serial one goes back to the window.
    console = Console::window();
}
