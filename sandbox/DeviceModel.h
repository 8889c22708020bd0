// A device whose registers a mapped register window reaches.
#pragma once

#include <cstdint>

namespace sandbox {

/// The register side of a simulated peripheral (a UART, the GPIO block, the LCD
/// controller). Register accessors on a pointer into a mapped window of the device
/// land here with the offset from the device's physical base.
class DeviceModel {
public:
    virtual ~DeviceModel() = default;
    /// The register at `offset`; `width` is 1 or 4 bytes.
    virtual std::uint32_t readRegister(std::uint32_t offset, unsigned width) = 0;
    virtual void writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) = 0;
};

}  // namespace sandbox
