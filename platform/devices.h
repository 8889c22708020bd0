// Devices role: the serial port, block devices and the registers of mapped devices.
//
// Devices are opened with createFile ("COM1:", names such as "DSK1:") and closed with
// closeHandle (files.h).
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

/// The settings record of a serial port. Codes as the driver reports them.
struct SerialSettings {
    std::uint32_t baudRate;
    std::uint8_t byteSize;
    std::uint8_t parity;
    std::uint8_t stopBits;
};

bool getSerialSettings(Handle port, SerialSettings* settings);
bool setSerialSettings(Handle port, const SerialSettings* settings);

/// Sends a device I/O control request. `returned` receives the output byte count.
bool deviceIoControl(Handle device, std::uint32_t code, const void* input, std::uint32_t inputSize,
                     void* output, std::uint32_t outputSize, std::uint32_t* returned);

// Register accessors. `reg` is a mapped pointer from virtualCopy; registers are never
// dereferenced directly, because on a handheld they are volatile device accesses and in
// the sandbox they reach a device model.
std::uint8_t readRegister8(const void* reg);
void writeRegister8(void* reg, std::uint8_t value);
std::uint32_t readRegister32(const void* reg);
void writeRegister32(void* reg, std::uint32_t value);

}  // namespace platform
