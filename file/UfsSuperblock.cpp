// The superblock checks: every field that the reader divides by, shifts by or indexes
// its buffers with must hold a value a real file system has.
#include <bit>

#include "file/FailureNote.h"
#include "file/UfsBlocks.h"
#include "file/UfsLayout.h"

namespace {

constexpr std::uint32_t minimumBlockSize = 1376;
constexpr std::uint32_t maximumBlockSize = 65536;
constexpr std::uint32_t sectorBytes = 512;

UfsSuperblock fields(const std::uint8_t* raw) {
    auto u32 = [raw](std::uint32_t offset) { return le::load32(raw + offset); };
    auto s32 = [raw](std::uint32_t offset) { return static_cast<std::int32_t>(le::load32(raw + offset)); };
    return {.inodeBlockOffset = u32(16),
            .groupOffsetStep = s32(24),
            .groupOffsetMask = s32(28),
            .fragments = u32(36),
            .groups = u32(44),
            .blockSize = u32(48),
            .fragmentMask = u32(76),
            .blockShift = u32(80),
            .fragmentShift = u32(96),
            .sectorShift = u32(100),
            .addressesPerBlock = u32(116),
            .inodesPerBlock = u32(120),
            .inodesPerGroup = u32(184),
            .fragmentsPerGroup = u32(188),
            .maxSymlinkLength = s32(1320),
            .blockOffsetMask = le::load64(raw + 1336),
            .fragmentOffsetMask = le::load64(raw + 1344)};
}

/// The first field that a reader could not work with, or null.
const char* fault(const UfsSuperblock& sb) {
    if (sb.blockSize < minimumBlockSize || sb.blockSize > maximumBlockSize) return "block size";
    if (sb.blockShift >= 32 || std::uint32_t{1} << sb.blockShift != sb.blockSize) return "block shift";
    if (sb.fragmentShift >= 32 || sb.fragmentSize() < sectorBytes) return "fragment shift";
    if (sb.sectorShift >= 32) return "fragment-to-sector shift";
    if (sb.blockOffsetMask != sb.blockSize - 1) return "block offset mask";
    if (sb.fragmentOffsetMask != sb.fragmentSize() - 1 || sb.fragmentMask != ~(sb.fragmentSize() - 1)) {
        return "fragment masks";
    }
    // The index cache holds 64 entries of one indirect block.
    if (!std::has_single_bit(sb.addressesPerBlock) || sb.addressesPerBlock < 64 ||
        sb.addressesPerBlock > sb.blockSize / 4) {
        return "addresses per indirect block";
    }
    if (sb.inodesPerBlock == 0 || sb.inodesPerBlock > sb.blockSize / UfsFile::inodeBytes) return "inodes per block";
    if (sb.inodesPerGroup == 0) return "inodes per group";
    return nullptr;
}

}  // namespace

bool parseSuperblock(const std::uint8_t* raw, UfsSuperblock& superblock) {
    superblock = fields(raw);
    if (const char* field = fault(superblock)) {
        noteFailure(u"ufs: bad superblock: %S\n", field);
        return false;
    }
    return true;
}
