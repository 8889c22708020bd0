// The block devices "DSK1:" to "DSK9:": disks backed by host image files (or bytes in
// memory), answering the disk-information and sector-read requests of their driver.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "platform/devices.h"

namespace sandbox {

/// One attached disk: where its sectors come from, what its driver reports, and the
/// faults a test injects. Tests may change it while the disk is attached.
struct DiskSettings {
    /// The host image file, opened when the device is; a missing file makes the open fail.
    std::filesystem::path image;
    /// The sectors, when no image file is named.
    std::vector<std::uint8_t> bytes;
    /// The disk information answered to request 1.
    platform::DiskInfo info{};
    /// Request 1 fails with this last error.
    std::optional<std::uint32_t> infoError;
    /// Every read request fails with this last error.
    std::optional<std::uint32_t> readError;
    /// A read request that covers one of these sectors reports its status.
    std::map<std::uint32_t, std::uint32_t> readStatus;
    /// Read requests answered so far.
    std::uint32_t readRequests = 0;
};

/// Attaches the host file `image` as "DSK<unit>:", with the geometry of its size and the
/// MBR flag. Returns the disk's settings, valid while the machine keeps the disk.
DiskSettings& attachDisk(unsigned unit, const std::filesystem::path& image);

/// Attaches `bytes` as "DSK<unit>:", as attachDisk above.
DiskSettings& attachDisk(unsigned unit, std::vector<std::uint8_t> bytes);

}  // namespace sandbox
