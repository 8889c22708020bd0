// The PXA27x GPIO block: pin levels, directions, edge detection and alternate
// functions for 121 pins in four banks (bank 3 lies apart, at 0x100).
#pragma once

#include <cstdint>

#include "sandbox/DeviceModel.h"
#include "sandbox/MachineProfile.h"
#include "sandbox/RegisterFile.h"

namespace sandbox {

class GpioModel : public DeviceModel {
public:
    static constexpr std::uint32_t base = 0x40E00000;
    static constexpr std::uint32_t windowBytes = 0x1000;

    /// The pins as the platform left them on `profile`: its serial port and LCD
    /// pins on their alternate functions.
    explicit GpioModel(const MachineProfile& profile);

    std::uint32_t readRegister(std::uint32_t offset, unsigned width) override;
    void writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) override;

    /// A pin's alternate function (0 to 3).
    std::uint32_t function(std::uint32_t pin) const;

private:
    void setPin(std::uint32_t pin, std::uint32_t function, bool output, bool high);

    RegisterFile registers;
};

}  // namespace sandbox
