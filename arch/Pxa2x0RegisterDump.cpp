// The PXA2x0 dump of the GPIO and LCD controller registers, in the register layout
// of the PXA27x family: four GPIO banks, 121 pins.
#include "arch/Pxa27xPins.h"
#include "arch/Pxa2x0Architecture.h"
#include "console/Console.h"
#include "memory/MemoryManager.h"
#include "platform/devices.h"
#include "platform/memory.h"

namespace {

constexpr std::uint32_t gpioBase = 0x40E00000;
constexpr std::uint32_t lcdControllerBase = 0x44000000;
constexpr std::uint32_t windowBytes = 4096;
constexpr std::uint32_t bankCount = 4;

/// The per-bank GPIO registers by the offset of bank 0; bank 3 lies 0x100 above it.
enum GpioRegister : std::uint32_t { gplr = 0x00, gpdr = 0x0C, grer = 0x30, gfer = 0x3C, gedr = 0x48 };
constexpr std::uint32_t gafr0Low = 0x54;

constexpr std::uint32_t bankOffset(GpioRegister reg, std::uint32_t bank) {
    return bank < 3 ? reg + 4 * bank : reg + 0x100;
}

/// The GPIO registers, read once so that the register lines and the pin lines agree.
struct GpioState {
    std::uint32_t level[bankCount];
    std::uint32_t direction[bankCount];
    std::uint32_t rising[bankCount];
    std::uint32_t falling[bankCount];
    std::uint32_t status[bankCount];
    std::uint32_t alternate[2 * bankCount];  // GAFR0_L, GAFR0_U, GAFR1_L, ...

    explicit GpioState(const std::uint8_t* window) {
        for (std::uint32_t n = 0; n < bankCount; ++n) {
            level[n] = platform::readRegister32(window + bankOffset(gplr, n));
            direction[n] = platform::readRegister32(window + bankOffset(gpdr, n));
            rising[n] = platform::readRegister32(window + bankOffset(grer, n));
            falling[n] = platform::readRegister32(window + bankOffset(gfer, n));
            status[n] = platform::readRegister32(window + bankOffset(gedr, n));
        }
        for (std::uint32_t k = 0; k < 2 * bankCount; ++k) alternate[k] = platform::readRegister32(window + gafr0Low + 4 * k);
    }

    static bool bit(const std::uint32_t (&bank)[bankCount], std::uint32_t pin) {
        return ((bank[pin / 32] >> (pin % 32)) & 1) != 0;
    }
    std::uint32_t function(std::uint32_t pin) const { return (alternate[pin / 16] >> (2 * (pin % 16))) & 3; }
};

void printBanks(Console& out, const GpioState& gpio) {
    for (std::uint32_t n = 0; n < bankCount; ++n) out.print(u"GPLR%d: 0x%08x\n", n, gpio.level[n]);
    for (std::uint32_t n = 0; n < bankCount; ++n) out.print(u"GPDR%d: 0x%08x\n", n, gpio.direction[n]);
    for (std::uint32_t n = 0; n < bankCount; ++n) out.print(u"GRER%d: 0x%08x\n", n, gpio.rising[n]);
    for (std::uint32_t n = 0; n < bankCount; ++n) out.print(u"GFER%d: 0x%08x\n", n, gpio.falling[n]);
    for (std::uint32_t n = 0; n < bankCount; ++n) out.print(u"GEDR%d: 0x%08x\n", n, gpio.status[n]);
    for (std::uint32_t n = 0; n < bankCount; ++n) {
        out.print(u"GAFR%d_L: 0x%08x\n", n, gpio.alternate[2 * n]);
        out.print(u"GAFR%d_U: 0x%08x\n", n, gpio.alternate[2 * n + 1]);
    }
}

void printPin(Console& out, const GpioState& gpio, std::uint32_t pin) {
    const PinNames& names = pxa27xPins[pin];
    bool output = GpioState::bit(gpio.direction, pin);
    std::uint32_t function = gpio.function(pin);
    if (function == 0) {
        out.print(u"%d,%s,%s,", pin, output ? u"GPIO_OUT" : u"GPIO_IN", names.function0);
    } else {
        const char16_t* signal = output ? names.output[function - 1] : names.input[function - 1];
        out.print(u"%d,ALT_FN_%d_%s,%s,", pin, function, output ? u"OUT" : u"IN", signal);
    }
    out.print(u"%s,%s,", GpioState::bit(gpio.rising, pin) ? u"enable" : u"disable",
              GpioState::bit(gpio.falling, pin) ? u"enable" : u"disable");
    out.print(u"%s", GpioState::bit(gpio.level, pin) ? u"high" : u"low");
    out.print(u"\n");
}

/// A flag bit of an LCD controller register and the format that prints its name.
struct Flag {
    unsigned bit;
    console::FormatString<const char16_t*> format;
};

/// "-> " and the names of the set flags, in the listed order, separated by "/".
template <std::size_t N>
void printFlags(Console& out, std::uint32_t value, const Flag (&flags)[N]) {
    out.print(u"-> ");
    const char16_t* separator = u"";
    for (const Flag& flag : flags) {
        if (((value >> flag.bit) & 1) == 0) continue;
        out.print<const char16_t*>(flag.format, separator);
        separator = u"/";
    }
    out.print(u"\n");
}

constexpr std::uint32_t field(std::uint32_t value, unsigned high, unsigned low) {
    return (value >> low) & ((1u << (high - low + 1)) - 1);
}

constexpr Flag lccr0Flags[] = {
    {26, u"%sLDDALT"}, {25, u"%sOUC"}, {22, u"%sLCDT"}, {9, u"%sDPD"},
    {7, u"%sPAS"},     {2, u"%sSDS"},  {1, u"%sCMS"},   {0, u"%sENB"},
};

// Bit 19 has no flag of its own: it is the top bit of the API field, which the line
// below the flags prints as a number. Naming it after the field bit it is (API3)
// says that, where a second "VSP" would claim a second vertical-sync polarity bit.
constexpr Flag lccr3Flags[] = {
    {27, u"%sDPC"}, {23, u"%sOEP"}, {22, u"%sPCP"}, {21, u"%sHSP"}, {20, u"%sVSP"}, {19, u"%sAPI3"},
};

void printLcdController(Console& out, const std::uint8_t* window) {
    auto reg = [window](std::uint32_t offset) { return platform::readRegister32(window + offset); };
    std::uint32_t lccr0 = reg(0x00);
    out.print(u"LCCR0: 0x%08x\n", lccr0);
    printFlags(out, lccr0, lccr0Flags);
    out.print(u"-> PDD = 0x%02x\n", field(lccr0, 19, 12));

    std::uint32_t lccr1 = reg(0x04);
    out.print(u"LCCR1: 0x%08x\n", lccr1);
    out.print(u"-> BLW = 0x%02x, ELW = 0x%02x, HSW = 0x%02x, PPL = 0x%03x\n", field(lccr1, 31, 24), field(lccr1, 23, 16),
              field(lccr1, 15, 10), field(lccr1, 9, 0));

    std::uint32_t lccr2 = reg(0x08);
    out.print(u"LCCR2: 0x%08x\n", lccr2);
    out.print(u"-> BFW = 0x%02x, EFW = 0x%02x, VSW = 0x%02x, LPP = 0x%03x\n", field(lccr2, 31, 24), field(lccr2, 23, 16),
              field(lccr2, 15, 10), field(lccr2, 9, 0));

    std::uint32_t lccr3 = reg(0x0C);
    out.print(u"LCCR3: 0x%08x\n", lccr3);
    printFlags(out, lccr3, lccr3Flags);
    out.print(u"-> PDFOR = %d\n", field(lccr3, 31, 30));
    out.print(u"-> BPP = 0x%02x\n", field(lccr3, 29, 29) << 3 | field(lccr3, 26, 24));
    out.print(u"-> API = 0x%x\n", field(lccr3, 19, 16));
    out.print(u"-> ACB = 0x%02x\n", field(lccr3, 15, 8));
    out.print(u"-> PCD = 0x%02x\n", field(lccr3, 7, 0));

    std::uint32_t lccr4 = reg(0x10);
    out.print(u"LCCR4: 0x%08x\n", lccr4);
    out.print(u"-> PCDDIV = %d\n", field(lccr4, 31, 31));
    out.print(u"-> PAL_FOR = %d\n", field(lccr4, 16, 15));
    out.print(u"-> K3 = 0x%x, K2 = 0x%x, K1 = 0x%x\n", field(lccr4, 8, 6), field(lccr4, 5, 3), field(lccr4, 2, 0));

    out.print(u"LCCR5: 0x%08x\n", reg(0x14));
    out.print(u"LCDBSCNTR: 0x%08x\n", reg(0x54));
}

}  // namespace

void Pxa2x0Architecture::dumpPeripheralRegisters() {
    dumpGpio();
    dumpLcdController();
}

// A window that cannot be mapped has been reported by the memory manager; its part of
// the dump is left out.

void Pxa2x0Architecture::dumpGpio() {
    Console& out = **console;
    out.print(u"Dump GPIO registers.\n");
    MemoryManager& memory = **memoryManager;
    auto* window = static_cast<std::uint8_t*>(memory.mapPhysical(gpioBase, windowBytes, platform::pageReadWrite));
    if (window == nullptr) return;
    GpioState gpio(window);
    printBanks(out, gpio);
    out.print(u"pin#,function,name,rising,falling,status\n");
    for (std::uint32_t pin = 0; pin < pxa27xPinCount; ++pin) printPin(out, gpio, pin);
    memory.unmap(window);
}

void Pxa2x0Architecture::dumpLcdController() {
    Console& out = **console;
    out.print(u"Dump LCDC registers.\n");
    MemoryManager& memory = **memoryManager;
    auto* window = static_cast<std::uint8_t*>(memory.mapPhysical(lcdControllerBase, windowBytes, platform::pageReadWrite));
    if (window == nullptr) return;
    printLcdController(out, window);
    memory.unmap(window);
}
