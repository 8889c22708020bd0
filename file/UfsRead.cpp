// Reading the open file: the block under the position, and the operations on it.
#include <algorithm>
#include <cstring>

#include "file/IoResult.h"
#include "file/UfsBlocks.h"
#include "file/UfsLayout.h"

namespace {

/// The bytes block `fileBlock` holds on the disk: whole fragments for a short last
/// direct block, the block size otherwise.
std::uint32_t blockLength(const UfsFile& state, std::uint32_t fileBlock) {
    const UfsSuperblock& sb = state.superblock;
    std::uint64_t size = ufs::inodeSize(state.inode);
    if (fileBlock < ufs::directBlocks && (std::uint64_t{fileBlock} + 1) << sb.blockShift > size) {
        return static_cast<std::uint32_t>(((size & sb.blockOffsetMask) + sb.fragmentOffsetMask) & sb.fragmentMask);
    }
    return sb.blockSize;
}

/// Brings `fileBlock` into the block buffer, as zeros when it is a hole.
std::int32_t loadBlock(OpenFile& file, std::uint32_t fileBlock, std::uint32_t length) {
    UfsFile& state = *file.fileSystemData;
    state.bufferBlock = -1;  // indirect blocks pass through the buffer on the way
    std::uint32_t address = 0;
    std::int32_t result = blockMap(file, fileBlock, address);
    if (result != io::ok) return result;
    if (address == 0) {
        std::memset(state.blockBuffer.get(), 0, length);
    } else {
        result = readFragments(file, address, length, state.blockBuffer.get());
        if (result != io::ok) return result;
    }
    state.bufferBlock = fileBlock;
    state.bufferLength = length;
    return io::ok;
}

}  // namespace

std::int32_t bufReadFile(OpenFile& file, const std::uint8_t*& data, std::uint32_t& length) {
    UfsFile& state = *file.fileSystemData;
    const UfsSuperblock& sb = state.superblock;
    std::uint32_t position = state.seekPosition;
    auto offset = static_cast<std::uint32_t>(position & sb.blockOffsetMask);
    std::uint32_t fileBlock = position >> sb.blockShift;
    if (fileBlock != state.bufferBlock) {
        std::int32_t result = loadBlock(file, fileBlock, blockLength(state, fileBlock));
        if (result != io::ok) return result;
    }
    data = state.blockBuffer.get() + offset;
    auto left = static_cast<std::uint32_t>(ufs::inodeSize(state.inode) - position);
    length = std::min(state.bufferLength - offset, left);
    return io::ok;
}

std::int32_t ufsRead(OpenFile& file, void* buffer, std::uint32_t count, std::uint32_t* remaining) {
    std::int32_t result = file.fileSystemData ? io::ok : io::invalid;
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (result == io::ok && count > 0) {
        UfsFile& state = *file.fileSystemData;
        if (state.seekPosition >= ufs::inodeSize(state.inode)) break;
        const std::uint8_t* data = nullptr;
        std::uint32_t length = 0;
        result = bufReadFile(file, data, length);
        if (result != io::ok) break;
        std::uint32_t piece = std::min(count, length);
        std::memcpy(out, data, piece);
        state.seekPosition += piece;
        out += piece;
        count -= piece;
    }
    if (remaining != nullptr) *remaining = count;
    return result;
}

std::int32_t ufsWrite(OpenFile&, const void*, std::uint32_t count, std::uint32_t* remaining) {
    if (remaining != nullptr) *remaining = count;
    return io::readOnly;
}

std::int64_t ufsSeek(OpenFile& file, std::int64_t offset, std::int32_t origin) {
    constexpr std::int64_t limit = 0xFFFFFFFF;
    if (!file.fileSystemData || offset < -limit || offset > limit) return -1;
    UfsFile& state = *file.fileSystemData;
    std::int64_t position = 0;
    switch (origin) {
        case 0: position = offset; break;
        case 1: position = std::int64_t{state.seekPosition} + offset; break;
        case 2: position = static_cast<std::int64_t>(ufs::inodeSize(state.inode)) - offset; break;
        default: return -1;
    }
    if (position < 0 || position > limit) return -1;
    state.seekPosition = static_cast<std::uint32_t>(position);
    return position;
}

std::int32_t ufsStat(OpenFile& file, UfsStat* status) {
    if (!file.fileSystemData) return io::invalid;
    const std::uint8_t* inode = file.fileSystemData->inode;
    *status = {ufs::inodeMode(inode), ufs::inodeOwner(inode), ufs::inodeGroup(inode),
               static_cast<std::uint32_t>(ufs::inodeSize(inode))};
    return io::ok;
}

std::int32_t ufsClose(OpenFile& file) {
    file.fileSystemData.reset();
    return io::ok;
}
