#include "console/Sa11x0HardwareConsole.h"

namespace {
constexpr std::uint32_t utdr = 0x14;
constexpr std::uint32_t utsr1 = 0x20;
constexpr std::uint8_t transmitterBusy = 0x01;
constexpr std::uint8_t fifoNotFull = 0x04;
}  // namespace

bool Sa11x0HardwareConsole::open() { return SerialConsole::open() && mapRegisters(); }

void Sa11x0HardwareConsole::putChar(char c) {
    // Both conditions in the same read: idle, and room for a byte.
    while ((readRegister(utsr1) & (transmitterBusy | fifoNotFull)) != fifoNotFull) {
    }
    writeRegister(utdr, static_cast<std::uint8_t>(c));
}
