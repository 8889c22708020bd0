#include "file/WinblkPartition.h"

#include "file/LittleEndian.h"

namespace {

constexpr std::uint32_t entryBytes = 16;
constexpr std::uint32_t labelMagic = 0x82564557;
constexpr std::uint32_t labelSectorBytes = 512;
constexpr std::uint32_t labelPartitionsOffset = 148;

}  // namespace

bool selectMbrPartition(const std::uint8_t* table, SectorRange& chosen) {
    bool found = false;
    for (std::uint32_t i = 0; i < 4; ++i) {
        const std::uint8_t* entry = table + i * entryBytes;
        SectorRange range{le::load32(entry + 8), le::load32(entry + 12)};
        if (entry[4] == preferredPartitionType) {
            chosen = range;
            return true;
        }
        if (entry[4] == fallbackPartitionType) {
            chosen = range;
            found = true;
        }
    }
    return found;
}

std::uint16_t labelPartitionCount(const std::uint8_t* sector) { return le::load16(sector + 138); }

bool diskLabelValid(const std::uint8_t* sector) {
    if (le::load32(sector) != labelMagic || le::load32(sector + 132) != labelMagic) return false;
    // A count that would carry the checksum past the sector is not a label we can trust.
    std::uint32_t end = labelPartitionsOffset + entryBytes * std::uint32_t{labelPartitionCount(sector)};
    if (end > labelSectorBytes) return false;
    std::uint16_t sum = 0;
    for (std::uint32_t offset = 0; offset < end; offset += 2) sum ^= le::load16(sector + offset);
    return sum == 0;
}

SectorRange labelPartition(const std::uint8_t* sector, std::uint32_t index) {
    const std::uint8_t* entry = sector + labelPartitionsOffset + index * entryBytes;
    return {le::load32(entry + 4), le::load32(entry)};
}
