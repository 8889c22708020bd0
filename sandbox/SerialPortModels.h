// The UARTs that a direct-hardware console and a kernel write to: serial port 3 of
// the SA-11x0 and the FFUART of the PXA2x0. Transmitted bytes go to `output`;
// nothing is ever received.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "sandbox/DeviceModel.h"
#include "sandbox/RegisterFile.h"

namespace sandbox {

/// Where a UART's transmitted bytes go.
using SerialSink = std::function<void(char)>;

/// Serial port 3 of the SA-11x0 (UTCR0-3, UTDR, UTSR0-1). The transmitter runs while
/// UTCR3 enables it.
class Sa11x0UartModel : public DeviceModel {
public:
    static constexpr std::uint32_t base = 0x80050000;
    static constexpr std::uint32_t windowBytes = 0x1000;

    explicit Sa11x0UartModel(SerialSink sink) : sink(std::move(sink)) {}
    std::uint32_t readRegister(std::uint32_t offset, unsigned width) override;
    void writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) override;

private:
    SerialSink sink;
    RegisterFile registers;
};

/// The PXA2x0 FFUART, a 16550 with registers 4 bytes apart. The unit transmits
/// while IER enables it (UUE), as on the real part.
class Pxa2x0UartModel : public DeviceModel {
public:
    static constexpr std::uint32_t base = 0x40100000;
    static constexpr std::uint32_t windowBytes = 0x1000;

    explicit Pxa2x0UartModel(SerialSink sink) : sink(std::move(sink)) {}
    /// The divisor latch, and a register as last written (LCR, MCR, FCR, IER).
    std::uint32_t divisorValue() const { return divisor; }
    std::uint32_t registerValue(std::uint32_t offset) const { return registers.get(offset); }
    std::uint32_t readRegister(std::uint32_t offset, unsigned width) override;
    void writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) override;

private:
    bool divisorLatch() const { return (registers.get(0x0C) & 0x80) != 0; }

    SerialSink sink;
    RegisterFile registers;
    std::uint32_t divisor = 0;
};

}  // namespace sandbox
