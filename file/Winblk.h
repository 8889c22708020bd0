// The block-device layer: a disk partition, found through the MBR and the disk label,
// read in 512-byte sectors through the platform's disk driver.
#pragma once

#include <cstdint>

#include "file/OpenFile.h"
#include "platform/devices.h"
#include "platform/types.h"

/// One open disk. The device handle is closed with the record.
struct WinblkDevice {
    static constexpr std::uint32_t sectorBytes = 512;

    WinblkDevice() = default;
    ~WinblkDevice();
    WinblkDevice(const WinblkDevice&) = delete;
    WinblkDevice& operator=(const WinblkDevice&) = delete;

    platform::Handle handle = platform::invalidHandle;
    platform::DiskInfo diskInfo{};
    std::uint8_t partitionTable[64]{};
    /// The whole label sector, so that every partition the label may describe is at hand.
    std::uint8_t diskLabel[sectorBytes]{};
    std::uint8_t sectorBuffer[sectorBytes]{};
    /// First sector of the selected partition on the disk; added to every sector number.
    std::uint32_t startSector = 0;
    /// Sectors of the selected partition; reads beyond them are refused.
    std::uint32_t sectorCount = 0;
    /// Why the selected sectors may not hold the file system, when the partition
    /// records did not name them plainly (no partition of ours, no valid label, an
    /// empty label partition); empty otherwise. For the user, when no file system is
    /// found there.
    char16_t remark[100]{};
};

/// The `winblk` entry of the device switch.
extern const DeviceSwitch winblkSwitch;

/// Opens disk `unit` (0 to 9) of the three-letter device `type` ("DSK") and selects its
/// partition: the label's partition `partition` when the MBR names one and it carries a
/// valid label. On success `file.deviceData` is the new device; returns a result code,
/// and a failure leaves its reason in the failure note.
std::int32_t winblkOpen(OpenFile& file, const char* type, std::int32_t unit, std::int32_t partition);

/// Reads `size` bytes from sector `block` of the partition into `buffer`; only reads
/// (direction 1) are served. `done`, when given, receives `size`. Returns a result code.
std::int32_t winblkStrategy(WinblkDevice* device, std::int32_t direction, std::uint32_t block, std::uint32_t size,
                            void* buffer, std::uint32_t* done);

/// Releases the device; returns 0.
std::int32_t winblkClose(OpenFile& file);

/// No requests are supported: returns 5.
std::int32_t winblkIoctl(OpenFile& file, std::uint32_t request, void* data);

/// One read request of `count` sectors from absolute sector `first`. Returns a result
/// code; a failure leaves its reason in the failure note.
std::int32_t rawread(WinblkDevice& device, std::uint32_t first, std::uint32_t count, void* buffer);
