// The partition records a disk carries: the MBR table and the disk label.
#pragma once

#include <cstdint>

/// A run of sectors on the disk.
struct SectorRange {
    std::uint32_t start;
    std::uint32_t count;
};

/// MBR partition types that hold the file system; the first kind wins over the second.
inline constexpr std::uint8_t preferredPartitionType = 0xA9;
inline constexpr std::uint8_t fallbackPartitionType = 0xA5;

/// Picks the file-system partition of the 64-byte MBR table: the first 0xA9 entry, else
/// the last 0xA5 entry. False when there is neither.
bool selectMbrPartition(const std::uint8_t* table, SectorRange& chosen);

/// True when the 512-byte label sector carries both magics, describes no more partitions
/// than the sector holds, and its 16-bit words over the header and those partitions XOR
/// to zero.
bool diskLabelValid(const std::uint8_t* sector);

/// The number of partitions of a valid label.
std::uint16_t labelPartitionCount(const std::uint8_t* sector);

/// Partition `index` (below labelPartitionCount) of a valid label.
SectorRange labelPartition(const std::uint8_t* sector, std::uint32_t index);
