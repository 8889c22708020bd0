// The small stand-alone I/O layer under the UFS source: a device switch names the
// operations of one kind of device, and an open-file record ties a file system's state
// to the device it lives on.
#pragma once

#include <cstdint>

#include "file/HeapRecord.h"

struct OpenFile;
struct WinblkDevice;
struct UfsFile;

/// The direction code of a strategy call that reads.
inline constexpr std::int32_t deviceRead = 1;

/// The operations of one kind of device.
struct DeviceSwitch {
    const char* name;
    /// Moves `size` bytes at 512-byte sector `block` of the partition; `done` receives the count.
    std::int32_t (*strategy)(WinblkDevice* device, std::int32_t direction, std::uint32_t block, std::uint32_t size,
                             void* buffer, std::uint32_t* done);
    std::int32_t (*open)(OpenFile& file, const char* type, std::int32_t unit, std::int32_t partition);
    std::int32_t (*close)(OpenFile& file);
    std::int32_t (*ioctl)(OpenFile& file, std::uint32_t request, void* data);
};

/// One open file: its device switch, the open device and the file system's state.
/// Either may be empty; both are released with the record.
struct OpenFile {
    OpenFile();
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    const DeviceSwitch* deviceSwitch;
    HeapRecord<WinblkDevice> deviceData;
    HeapRecord<UfsFile> fileSystemData;
};
