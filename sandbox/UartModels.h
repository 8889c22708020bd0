// The UARTs that the direct-hardware consoles program: serial port 3 of the SA-11x0
// and the full-function UART of the PXA2x0. Both send to the machine's serial line.
#pragma once

#include <cstdint>

#include "sandbox/DeviceModel.h"

namespace sandbox {

class SerialLine;

/// SA-11x0 serial port 3 (UTDR at 0x14, UTSR1 at 0x20): always ready to take a byte.
class Sa11x0Uart3 : public DeviceModel {
public:
    static constexpr std::uint32_t base = 0x80050000;
    static constexpr std::uint32_t size = 0x10000;

    explicit Sa11x0Uart3(SerialLine& line) : line_(line) {}
    std::uint32_t readRegister(std::uint32_t offset, unsigned width) override;
    void writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) override;

    /// UTSR1 reads of a busy transmitter before it reports ready, for tests of the wait.
    unsigned busyReads = 0;

private:
    SerialLine& line_;
};

/// PXA2x0 FFUART: a 16550-style register file. Bytes written to THR go out only while
/// the unit is enabled (IER bit 6) and the divisor latch is closed.
class PxaFfuart : public DeviceModel {
public:
    static constexpr std::uint32_t base = 0x40100000;
    static constexpr std::uint32_t size = 0x100000;

    explicit PxaFfuart(SerialLine& line) : line_(line) {}
    std::uint32_t readRegister(std::uint32_t offset, unsigned width) override;
    void writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) override;

    std::uint8_t dll = 0, dlh = 0, ier = 0, fcr = 0, lcr = 0, mcr = 0;
    unsigned iirReads = 0;

private:
    bool latchOpen() const { return (lcr & 0x80) != 0; }
    SerialLine& line_;
};

}  // namespace sandbox
