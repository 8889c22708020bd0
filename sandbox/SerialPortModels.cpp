#include "sandbox/SerialPortModels.h"

namespace sandbox {

namespace {

// SA-11x0 serial port registers.
constexpr std::uint32_t utcr3 = 0x0C, utdr = 0x14, utsr0 = 0x1C, utsr1 = 0x20;
constexpr std::uint32_t transmitEnable = 0x02;  // UTCR3 TXE
constexpr std::uint32_t transmitFifoServiceRequest = 0x01;  // UTSR0 TFS
constexpr std::uint32_t transmitFifoNotFull = 0x04;         // UTSR1 TNF

// PXA2x0 UART registers.
constexpr std::uint32_t rbrThr = 0x00, ierDlh = 0x04, lsr = 0x14;
constexpr std::uint32_t unitEnable = 0x40;                 // IER UUE
constexpr std::uint32_t transmitterEmpty = 0x60;           // LSR TDRQ and TEMT

}  // namespace

std::uint32_t Sa11x0UartModel::readRegister(std::uint32_t offset, unsigned width) {
    // The transmitter never fills up, and nothing arrives.
    if (offset == utsr0) return transmitFifoServiceRequest;
    if (offset == utsr1) return transmitFifoNotFull;
    if (offset == utdr) return 0;
    return registers.read(offset, width);
}

void Sa11x0UartModel::writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) {
    if (offset == utdr) {
        if ((registers.get(utcr3) & transmitEnable) != 0 && sink) sink(static_cast<char>(value & 0xFF));
        return;
    }
    registers.write(offset, value, width);
}

std::uint32_t Pxa2x0UartModel::readRegister(std::uint32_t offset, unsigned width) {
    if (divisorLatch() && (offset == rbrThr || offset == ierDlh)) {
        return offset == rbrThr ? divisor & 0xFF : divisor >> 8;
    }
    if (offset == lsr) return transmitterEmpty;
    if (offset == rbrThr) return 0;
    return registers.read(offset, width);
}

void Pxa2x0UartModel::writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) {
    if (divisorLatch() && (offset == rbrThr || offset == ierDlh)) {
        std::uint32_t shift = offset == rbrThr ? 0 : 8;
        divisor = (divisor & ~(0xFFu << shift)) | (value & 0xFF) << shift;
        return;
    }
    if (offset == rbrThr) {
        if ((registers.get(ierDlh) & unitEnable) != 0 && sink) sink(static_cast<char>(value & 0xFF));
        return;
    }
    registers.write(offset, value, width);
}

}  // namespace sandbox
