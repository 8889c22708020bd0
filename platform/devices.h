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
/// Block-device drivers fill their answers into the input record, so it is writable.
bool deviceIoControl(Handle device, std::uint32_t code, void* input, std::uint32_t inputSize,
                     void* output, std::uint32_t outputSize, std::uint32_t* returned);

// Block-device requests ("DSK1:"). Both take their record as the input buffer.
inline constexpr std::uint32_t diskGetInfo = 1;  // fills a DiskInfo
inline constexpr std::uint32_t diskRead = 2;     // reads the sectors a DiskRequest names

// DiskInfo flags.
inline constexpr std::uint32_t diskFlagMbr = 0x1;
inline constexpr std::uint32_t diskFlagChsUncertain = 0x2;
inline constexpr std::uint32_t diskFlagUnformatted = 0x4;
inline constexpr std::uint32_t diskFlagPageable = 0x8;

/// The geometry of a disk, as its driver reports it.
struct DiskInfo {
    std::uint32_t totalSectors;
    std::uint32_t bytesPerSector;
    std::uint32_t cylinders;
    std::uint32_t heads;
    std::uint32_t sectorsPerTrack;
    std::uint32_t flags;
};
static_assert(sizeof(DiskInfo) == 24);

/// One buffer of a read request.
struct DiskBuffer {
    void* address;
    std::uint32_t length;
};

/// A read request: `sectorCount` sectors from `firstSector` into the buffer. The
/// driver stores 0 in `status` on success, an error code otherwise.
struct DiskRequest {
    std::uint32_t firstSector;
    std::uint32_t sectorCount;
    std::uint32_t bufferCount;
    std::uint32_t status;
    void (*completion)(DiskRequest*);
    DiskBuffer buffer;
};
static_assert(sizeof(void*) != 4 || sizeof(DiskRequest) == 28, "the driver's record layout");

// Register accessors. `reg` is a mapped pointer from virtualCopy; registers are never
// dereferenced directly, because on a handheld they are volatile device accesses and in
// the sandbox they reach a device model.
std::uint8_t readRegister8(const void* reg);
void writeRegister8(void* reg, std::uint8_t value);
std::uint32_t readRegister32(const void* reg);
void writeRegister32(void* reg, std::uint32_t value);

}  // namespace platform
