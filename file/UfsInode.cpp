// Inodes and the block map: from a file block to its fragment on the disk.
#include <cstring>

#include "file/FailureNote.h"
#include "file/IoResult.h"
#include "file/UfsBlocks.h"
#include "file/UfsLayout.h"
#include "file/Winblk.h"

namespace {

constexpr std::uint32_t indexCacheEntries = 64;

/// Reads indirect block `address` into the block buffer, which its caller has marked as
/// holding no file block, and yields entry `index`.
std::int32_t readIndirect(OpenFile& file, std::uint32_t address, std::uint64_t index, std::uint32_t& entry) {
    UfsFile& state = *file.fileSystemData;
    std::int32_t result = readFragments(file, address, state.superblock.blockSize, state.blockBuffer.get());
    if (result != io::ok) return result;
    entry = le::load32(state.blockBuffer.get() + 4 * index);
    return io::ok;
}

}  // namespace

std::int32_t readFragments(OpenFile& file, std::uint64_t fragment, std::uint32_t length, void* buffer) {
    const UfsSuperblock& sb = file.fileSystemData->superblock;
    std::uint64_t count = (std::uint64_t{length} + sb.fragmentSize() - 1) / sb.fragmentSize();
    if (fragment >= sb.fragments || count > sb.fragments - fragment || (fragment << sb.sectorShift) > 0xFFFFFFFF) {
        noteFailure(u"ufs: fragment %u is beyond the file system of %u fragments\n",
                    static_cast<std::uint32_t>(fragment), sb.fragments);
        return io::invalid;
    }
    auto sector = static_cast<std::uint32_t>(fragment << sb.sectorShift);
    std::uint32_t done = 0;
    std::int32_t result = file.deviceSwitch->strategy(file.deviceData.get(), deviceRead, sector, length, buffer, &done);
    if (result != io::ok) return result;
    return done < length ? io::ioError : io::ok;
}

std::int32_t readInode(OpenFile& file, std::uint32_t number) {
    UfsFile& state = *file.fileSystemData;
    const UfsSuperblock& sb = state.superblock;
    if (std::uint64_t{number} >= std::uint64_t{sb.inodesPerGroup} * sb.groups) {
        noteFailure(u"ufs: inode %u is beyond the file system\n", number);
        return io::invalid;
    }
    // Unsigned arithmetic: an address that comes out negative wraps to one that
    // readFragments refuses.
    std::uint64_t group = number / sb.inodesPerGroup;
    auto step = static_cast<std::uint64_t>(std::int64_t{sb.groupOffsetStep});
    auto mask = static_cast<std::uint64_t>(std::int64_t{sb.groupOffsetMask});
    std::uint64_t groupStart = std::uint64_t{sb.fragmentsPerGroup} * group + step * (group & ~mask);
    std::uint64_t blockInGroup = (number % sb.inodesPerGroup) / sb.inodesPerBlock;
    std::uint64_t address = groupStart + sb.inodeBlockOffset + (blockInGroup << sb.fragmentShift);
    state.bufferBlock = -1;
    state.cachedIndexGroup = -1;
    std::int32_t result = readFragments(file, address, sb.blockSize, state.blockBuffer.get());
    if (result != io::ok) return result;
    std::memcpy(state.inode, state.blockBuffer.get() + (number % sb.inodesPerBlock) * UfsFile::inodeBytes,
                UfsFile::inodeBytes);
    // Positions are 32-bit; a larger file could only be read wrapped around.
    if (ufs::inodeSize(state.inode) > 0xFFFFFFFF) {
        noteFailure(u"ufs: inode %u is too big\n", number);
        return io::fileTooBig;
    }
    return io::ok;
}

std::int32_t blockMap(OpenFile& file, std::uint32_t fileBlock, std::uint32_t& address) {
    UfsFile& state = *file.fileSystemData;
    if (fileBlock < ufs::directBlocks) {
        address = ufs::inodeDirect(state.inode, fileBlock);
        return io::ok;
    }
    std::uint64_t block = fileBlock - ufs::directBlocks;
    auto group = static_cast<std::int64_t>(block / indexCacheEntries);
    if (group == state.cachedIndexGroup) {
        address = state.indexCache[block % indexCacheEntries];
        return io::ok;
    }
    // The level counts the address bits that the remaining indirect blocks resolve.
    std::uint32_t shift = state.indirectShift;
    std::uint32_t level = 0;
    for (;;) {
        level += shift;
        if (level > ufs::indirectLevels * shift) {
            noteFailure(u"ufs: file block %u is beyond the indirect blocks\n", fileBlock);
            return io::fileTooBig;
        }
        if (block < std::uint64_t{1} << level) break;
        block -= std::uint64_t{1} << level;
    }
    address = ufs::inodeIndirect(state.inode, level / shift - 1);
    std::uint64_t index = 0;
    do {
        level -= shift;
        if (address == 0) return io::ok;  // a hole
        index = block >> level;
        std::int32_t result = readIndirect(file, address, index, address);
        if (result != io::ok) return result;
        block &= (std::uint64_t{1} << level) - 1;
    } while (level > 0);
    // Sequential reads go on in the same indirect block: keep the 64 entries around this one.
    std::memcpy(state.indexCache, state.blockBuffer.get() + 4 * (index & ~std::uint64_t{indexCacheEntries - 1}),
                sizeof state.indexCache);
    state.cachedIndexGroup = group;
    return io::ok;
}
