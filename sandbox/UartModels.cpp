#include "sandbox/UartModels.h"

#include "sandbox/SerialLine.h"

namespace sandbox {

std::uint32_t Sa11x0Uart3::readRegister(std::uint32_t offset, unsigned) {
    if (offset != 0x20) return 0;
    if (busyReads > 0) {
        --busyReads;
        return 0x01;  // TBY set, TNF clear
    }
    return 0x04;  // TNF: room in the transmit FIFO, transmitter idle
}

void Sa11x0Uart3::writeRegister(std::uint32_t offset, std::uint32_t value, unsigned) {
    if (offset != 0x14) return;
    char byte = static_cast<char>(value);
    line_.send({&byte, 1});
}

std::uint32_t PxaFfuart::readRegister(std::uint32_t offset, unsigned) {
    switch (offset) {
        case 0x00: return latchOpen() ? dll : 0;
        case 0x04: return latchOpen() ? dlh : ier;
        case 0x08: ++iirReads; return 0x01;  // no interrupt pending
        case 0x0C: return lcr;
        case 0x10: return mcr;
        case 0x14: return 0x60;  // TDRQ and TEMT: the transmitter takes a byte at once
        default: return 0;
    }
}

void PxaFfuart::writeRegister(std::uint32_t offset, std::uint32_t value, unsigned) {
    auto byte = static_cast<std::uint8_t>(value);
    switch (offset) {
        case 0x00:
            if (latchOpen()) {
                dll = byte;
            } else if ((ier & 0x40) != 0) {
                char c = static_cast<char>(byte);
                line_.send({&c, 1});
            }
            break;
        case 0x04: (latchOpen() ? dlh : ier) = byte; break;
        case 0x08: fcr = byte; break;
        case 0x0C: lcr = byte; break;
        case 0x10: mcr = byte; break;
        default: break;
    }
}

}  // namespace sandbox
