#include "console/Pxa2x0HardwareConsole.h"

#include "boot/BootMenu.h"
#include "memory/MemoryManager.h"
#include "platform/devices.h"
#include "platform/memory.h"

namespace {

constexpr std::uint32_t gpioBase = 0x40E00000;
constexpr std::uint32_t gafr3Low = 0x6C;

constexpr std::uint32_t thr = 0x00, dll = 0x00, ier = 0x04, dlh = 0x04, iir = 0x08, fcr = 0x08;
constexpr std::uint32_t lcr = 0x0C, mcr = 0x10, lsr = 0x14;
constexpr std::uint8_t transmitRequest = 0x20;

}  // namespace

std::uint8_t Pxa2x0HardwareConsole::divisorFor(std::uint32_t speed) {
    switch (speed) {
        case 19200: return 48;
        case 38400: return 24;
        case 57600: return 16;
        case 115200: return 8;
        default: return 96;
    }
}

bool Pxa2x0HardwareConsole::routePins() {
    if (*memoryManager == nullptr) return false;
    void* gpio = (*memoryManager)->mapPhysical(gpioBase, 4096, platform::pageReadWrite);
    if (gpio == nullptr) return false;
    void* gafr = static_cast<std::uint8_t*>(gpio) + gafr3Low;
    platform::writeRegister32(gafr, platform::readRegister32(gafr) | 0xF0);
    (*memoryManager)->unmap(gpio);
    return true;
}

bool Pxa2x0HardwareConsole::open() {
    if (!routePins() || !mapRegisters()) return false;
    writeRegister(lcr, 0x80);
    writeRegister(dll, divisorFor(BootMenu::instance()->preferences.serialSpeed));
    writeRegister(dlh, 0);
    writeRegister(lcr, 0x03);
    writeRegister(mcr, 0x03);
    writeRegister(fcr, 0x00);
    writeRegister(ier, 0x40);
    return true;
}

void Pxa2x0HardwareConsole::putChar(char c) {
    while ((readRegister(lsr) & transmitRequest) == 0) {
    }
    writeRegister(thr, static_cast<std::uint8_t>(c));
    while ((readRegister(lsr) & transmitRequest) == 0) {
    }
    readRegister(iir);
}
