#include "sandbox/LcdControllerModel.h"

namespace sandbox {

namespace {

constexpr std::uint32_t lccr0 = 0x00, lccr1 = 0x04, lccr2 = 0x08, lccr3 = 0x0C, lccr4 = 0x10, lccr5 = 0x14;
constexpr std::uint32_t lcdbscntr = 0x54;

/// The BPP code of a depth: bits 26-24 of LCCR3, with bit 29 for the codes above 7.
std::uint32_t bppBits(std::int32_t depth) {
    std::uint32_t code = 0;
    switch (depth) {
        case 1: code = 0; break;
        case 2: code = 1; break;
        case 4: code = 2; break;
        case 8: code = 3; break;
        case 18: code = 5; break;
        case 24: code = 9; break;
        default: code = 4; break;  // 16 bits
    }
    return (code & 7) << 24 | (code >> 3) << 29;
}

std::uint32_t field(std::int32_t value, unsigned shift) { return static_cast<std::uint32_t>(value) << shift; }

}  // namespace

LcdControllerModel::LcdControllerModel(std::int32_t width, std::int32_t height, std::int32_t depth) {
    // Enabled (ENB), active panel (PAS), the LCD interrupts masked, branch mode on.
    registers.set(lccr0, 0x003008F9);
    // Line timing: BLW, ELW, HSW, pixels per line - 1.
    registers.set(lccr1, field(0x27, 24) | field(0x13, 16) | field(0x03, 10) | field(width - 1, 0));
    // Frame timing: BFW, EFW, VSW, lines per panel - 1.
    registers.set(lccr2, field(0x07, 24) | field(0x02, 16) | field(0x01, 10) | field(height - 1, 0));
    // Active-low syncs (HSP, VSP), the pixel clock divisor, the depth.
    registers.set(lccr3, 0x00300004 | 0xFF00 | bppBits(depth));
    registers.set(lccr4, 0x00000000);
    // Every LCD interrupt masked.
    registers.set(lccr5, 0x3F3F3F3F);
    registers.set(lcdbscntr, 0x00000005);
}

}  // namespace sandbox
