#include "tests/memory/WalkModel.h"

#include <stdexcept>

namespace walkmodel {

namespace {

constexpr std::uint32_t endOfChain = 0xFFFFFFFF;
constexpr std::uint32_t zeroFill = 0xFFFFFFFF;

std::size_t indexOf(const Ram& ram, std::uint32_t address, std::uint32_t length) {
    std::uint64_t offset = std::uint64_t{address} - ram.base;
    if (address < ram.base || offset + length > ram.bytes.size()) throw std::out_of_range("the walk left the model's RAM");
    return static_cast<std::size_t>(offset);
}

std::uint32_t toFirstBank(std::uint32_t address) { return (address & 0x00FFFFFF) | 0xA0000000; }

}  // namespace

std::uint32_t Ram::word(std::uint32_t address) const {
    std::size_t i = indexOf(*this, address, 4);
    return bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | static_cast<std::uint32_t>(bytes[i + 3]) << 24;
}

void Ram::setWord(std::uint32_t address, std::uint32_t value) {
    std::size_t i = indexOf(*this, address, 4);
    for (int b = 0; b < 4; ++b) bytes[i + b] = static_cast<std::uint8_t>(value >> (8 * b));
}

void Ram::setByte(std::uint32_t address, std::uint8_t value) { bytes[indexOf(*this, address, 1)] = value; }

KernelEntry walk(Ram& ram, Variant variant, std::uint32_t handover, std::uint32_t chain, std::uint32_t r3) {
    bool pxa = variant == Variant::pxa2x0;
    std::uint32_t end = r3;
    for (std::uint32_t tag = chain; tag != endOfChain;) {
        std::uint32_t next = ram.word(tag);
        std::uint32_t src = ram.word(tag + 4);
        std::uint32_t dst = ram.word(tag + 8);
        std::uint32_t len = ram.word(tag + 12);
        if (pxa) dst = toFirstBank(dst);
        end = dst + len;
        if (src == zeroFill) {
            // Exactly the range's bytes, however it is aligned.
            for (std::uint32_t a = dst; a < end; ++a) ram.setByte(a, 0);
        } else {
            // Pairs of words; the second is stored only while the range has room.
            do {
                std::uint32_t first = ram.word(src);
                std::uint32_t second = ram.word(src + 4);
                src += 8;
                ram.setWord(dst, first);
                dst += 4;
                if (dst < end) {
                    ram.setWord(dst, second);
                    dst += 4;
                }
            } while (dst < end);
        }
        tag = next;
    }
    KernelEntry kernel{};
    kernel.sp = (end + 0x2000) & ~0xFFFu;
    kernel.entry = pxa ? toFirstBank(ram.word(handover)) : ram.word(handover);
    kernel.r0 = ram.word(handover + 4);
    kernel.r1 = ram.word(handover + 8);
    kernel.r2 = ram.word(handover + 12);
    return kernel;
}

}  // namespace walkmodel
