#include "console/HardwareConsole.h"

#include <new>

#include "boot/BootController.h"
#include "console/Pxa2x0HardwareConsole.h"
#include "console/Sa11x0HardwareConsole.h"
#include "memory/MemoryManager.h"
#include "platform/devices.h"
#include "platform/memory.h"

namespace {
HardwareConsole* current = nullptr;
bool created = false;
}  // namespace

HardwareConsole* HardwareConsole::instance(MemoryManager** memoryManager, std::uint32_t cpuCode) {
    if (created) return current;
    created = true;
    if (cpuCode == BootController::sa11x0) {
        current = new (std::nothrow) Sa11x0HardwareConsole(memoryManager);
    } else if (cpuCode == BootController::pxa250 || cpuCode == BootController::pxa270) {
        current = new (std::nothrow) Pxa2x0HardwareConsole(memoryManager);
    }
    return current;
}

void HardwareConsole::destroyInstance() {
    delete current;
    current = nullptr;
    created = false;
}

HardwareConsole::~HardwareConsole() { releaseRegisters(); }

void HardwareConsole::emit() {
    if (registers == nullptr || !toNarrow()) return;
    for (std::uint32_t i = 0; i < narrowUnits && narrowBuffer[i] != 0; ++i) {
        if (narrowBuffer[i] == '\n') putChar('\r');
        putChar(narrowBuffer[i]);
    }
}

bool HardwareConsole::mapRegisters() {
    releaseRegisters();
    if (*memoryManager == nullptr) return false;
    registers = (*memoryManager)->mapPhysical(registerBase, registerLength, platform::pageReadWrite);
    return registers != nullptr;
}

void HardwareConsole::releaseRegisters() {
    if (registers != nullptr && *memoryManager != nullptr) (*memoryManager)->unmap(registers);
    registers = nullptr;
}

std::uint8_t HardwareConsole::readRegister(std::uint32_t offset) const {
    return platform::readRegister8(static_cast<const std::uint8_t*>(registers) + offset);
}

void HardwareConsole::writeRegister(std::uint32_t offset, std::uint8_t value) {
    platform::writeRegister8(static_cast<std::uint8_t*>(registers) + offset, value);
}
