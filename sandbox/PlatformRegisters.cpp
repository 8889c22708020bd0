// Register accessors: a mapped pointer reaches RAM or the device model behind it.
#include "platform/devices.h"
#include "sandbox/Machine.h"

namespace platform {

std::uint8_t readRegister8(const void* reg) {
    return static_cast<std::uint8_t>(sandbox::machine().memory.readThrough(reg, 1));
}

void writeRegister8(void* reg, std::uint8_t value) { sandbox::machine().memory.writeThrough(reg, value, 1); }

std::uint32_t readRegister32(const void* reg) { return sandbox::machine().memory.readThrough(reg, 4); }

void writeRegister32(void* reg, std::uint32_t value) { sandbox::machine().memory.writeThrough(reg, value, 4); }

}  // namespace platform
