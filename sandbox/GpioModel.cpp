#include "sandbox/GpioModel.h"

namespace sandbox {

namespace {

// Register offsets of bank 0; banks 1 and 2 follow at 4-byte steps, bank 3 is 0x100
// above bank 0.
constexpr std::uint32_t gplr = 0x00, gpdr = 0x0C, gpsr = 0x18, gpcr = 0x24, grer = 0x30, gfer = 0x3C, gedr = 0x48;
constexpr std::uint32_t gafr0Low = 0x54;

constexpr std::uint32_t bankOffset(std::uint32_t reg, std::uint32_t bank) { return bank < 3 ? reg + 4 * bank : reg + 0x100; }

/// The register and bank an offset names, for the per-bank registers.
bool bankRegister(std::uint32_t offset, std::uint32_t& reg, std::uint32_t& bank) {
    for (std::uint32_t r : {gplr, gpdr, gpsr, gpcr, grer, gfer, gedr}) {
        for (std::uint32_t b = 0; b < 4; ++b) {
            if (bankOffset(r, b) == offset) {
                reg = r;
                bank = b;
                return true;
            }
        }
    }
    return false;
}

struct PinSetup {
    std::uint32_t pin;
    std::uint32_t function;
    bool output;
    bool high;
};

// The FFUART on the pins each board wires it to, idle lines high.
constexpr PinSetup wzero3Uart[] = {{96, 3, false, true}, {98, 3, true, true}, {99, 3, true, true}, {100, 3, false, true}};
constexpr PinSetup ipaqUart[] = {{34, 1, false, true}, {35, 1, false, true}, {39, 2, true, true}, {41, 2, true, true}};
// Board pins: the power button and reset lines in, I2C on its pins, a few outputs.
constexpr PinSetup boardPins[] = {
    {0, 0, false, true}, {1, 0, false, true}, {10, 0, true, true}, {17, 0, true, false},
    {117, 1, true, true}, {118, 1, true, true}, {120, 0, false, false},
};

}  // namespace

GpioModel::GpioModel(const MachineProfile& profile) {
    for (const PinSetup& p : boardPins) setPin(p.pin, p.function, p.output, p.high);
    // LCD data, clocks and bias on alternate function 2.
    for (std::uint32_t pin = 58; pin <= 77; ++pin) setPin(pin, 2, true, false);
    if (profile.processor == Processor::pxa270) {
        for (const PinSetup& p : wzero3Uart) setPin(p.pin, p.function, p.output, p.high);
    } else {
        for (const PinSetup& p : ipaqUart) setPin(p.pin, p.function, p.output, p.high);
    }
    // The power button wakes on both edges and has been pressed once.
    registers.set(grer, 1);
    registers.set(gfer, 1);
    registers.set(gedr, 1);
}

void GpioModel::setPin(std::uint32_t pin, std::uint32_t function, bool output, bool high) {
    std::uint32_t bank = pin / 32;
    std::uint32_t bit = 1u << (pin % 32);
    auto update = [&](std::uint32_t reg, bool on) {
        std::uint32_t offset = bankOffset(reg, bank);
        registers.set(offset, on ? registers.get(offset) | bit : registers.get(offset) & ~bit);
    };
    update(gpdr, output);
    update(gplr, high);
    std::uint32_t gafr = gafr0Low + 4 * (pin / 16);
    std::uint32_t shift = 2 * (pin % 16);
    registers.set(gafr, (registers.get(gafr) & ~(3u << shift)) | (function << shift));
}

std::uint32_t GpioModel::function(std::uint32_t pin) const {
    return (registers.get(gafr0Low + 4 * (pin / 16)) >> (2 * (pin % 16))) & 3;
}

std::uint32_t GpioModel::readRegister(std::uint32_t offset, unsigned width) {
    std::uint32_t reg = 0;
    std::uint32_t bank = 0;
    // The set and clear registers are write-only.
    if (bankRegister(offset & ~3u, reg, bank) && (reg == gpsr || reg == gpcr)) return 0;
    return registers.read(offset, width);
}

void GpioModel::writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) {
    std::uint32_t reg = 0;
    std::uint32_t bank = 0;
    if (!bankRegister(offset & ~3u, reg, bank)) {
        registers.write(offset, value, width);
        return;
    }
    std::uint32_t level = bankOffset(gplr, bank);
    switch (reg) {
        case gplr: break;  // read-only
        case gpsr: registers.set(level, registers.get(level) | value); break;
        case gpcr: registers.set(level, registers.get(level) & ~value); break;
        case gedr: registers.set(offset, registers.get(offset) & ~value); break;  // write 1 to clear
        default: registers.write(offset, value, width); break;
    }
}

}  // namespace sandbox
