// The PXA2x0 LCD controller's registers, as the platform left them: enabled, driving
// an active panel of the machine's display geometry and depth.
#pragma once

#include <cstdint>

#include "sandbox/DeviceModel.h"
#include "sandbox/RegisterFile.h"

namespace sandbox {

class LcdControllerModel : public DeviceModel {
public:
    static constexpr std::uint32_t base = 0x44000000;
    static constexpr std::uint32_t windowBytes = 0x1000;

    LcdControllerModel(std::int32_t width, std::int32_t height, std::int32_t depth);

    std::uint32_t readRegister(std::uint32_t offset, unsigned width) override { return registers.read(offset, width); }
    void writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) override {
        registers.write(offset, value, width);
    }

private:
    RegisterFile registers;
};

}  // namespace sandbox
