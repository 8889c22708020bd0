// Opening a file: the superblock, then the path from the root directory, following
// symbolic links.
#include <bit>
#include <cstring>

#include "file/FailureNote.h"
#include "file/IoResult.h"
#include "file/UfsBlocks.h"
#include "file/UfsLayout.h"
#include "file/Winblk.h"

namespace {

constexpr std::uint32_t nameBufferBytes = 1024;
constexpr std::uint32_t maximumLinks = 32;

/// Reads and checks the superblock, and gives the state its block buffer.
std::int32_t mountFileSystem(OpenFile& file) {
    UfsFile& state = *file.fileSystemData;
    HeapBytes raw = makeHeapBytes(ufs::superblockBytes);
    if (!raw) return io::outOfMemory;
    std::uint32_t done = 0;
    std::int32_t result = file.deviceSwitch->strategy(file.deviceData.get(), deviceRead, ufs::superblockSector,
                                                      ufs::superblockBytes, raw.get(), &done);
    if (result != io::ok) {
        // The partition may not be where the file system is.
        if (file.deviceData) addToFailureNote(file.deviceData->remark);
        return result;
    }
    if (done < ufs::superblockBytes) return io::invalid;
    auto magic = le::load32(raw.get() + ufs::magicOffset);
    if (magic != ufs::magic) return refuseFileSystem(file, magic, raw.get());
    if (!parseSuperblock(raw.get(), state.superblock)) return io::invalid;
    state.indirectShift = static_cast<std::uint32_t>(std::countr_zero(state.superblock.addressesPerBlock));
    state.blockBuffer = makeHeapBytes(state.superblock.blockSize);
    return state.blockBuffer ? io::ok : io::outOfMemory;
}

bool isType(const UfsFile& state, std::uint16_t type) { return (ufs::inodeMode(state.inode) & ufs::typeMask) == type; }

/// Writes the text of the current inode, a symbolic link of `length` bytes, to `out`.
std::int32_t readLinkText(OpenFile& file, std::uint32_t length, char* out) {
    UfsFile& state = *file.fileSystemData;
    if (static_cast<std::int64_t>(length) < state.superblock.maxSymlinkLength) {
        if (length > ufs::inlineLinkBytes) {
            noteFailure(u"ufs: symbolic link of %u bytes cannot be held in its inode\n", length);
            return io::invalid;
        }
        std::memcpy(out, ufs::inodeLinkText(state.inode), length);
        return io::ok;
    }
    state.seekPosition = 0;
    const std::uint8_t* data = nullptr;
    std::uint32_t bytes = 0;
    std::int32_t result = length == 0 ? io::ok : bufReadFile(file, data, bytes);
    if (result != io::ok) return result;
    if (bytes < length) return io::ioError;
    if (length > 0) std::memcpy(out, data, length);
    return io::ok;
}

/// Replaces the followed link in the path: its text, then the rest of the path `rest`,
/// in `names`. Returns a result code.
std::int32_t expandLink(OpenFile& file, const char* rest, char* names) {
    auto length = static_cast<std::uint32_t>(ufs::inodeSize(file.fileSystemData->inode));
    std::size_t restLength = std::strlen(rest);
    if (std::uint64_t{length} + restLength + 1 > nameBufferBytes) {
        noteFailure(u"ufs: the path grows beyond %u bytes through a symbolic link\n", nameBufferBytes - 1);
        return io::noSuchFile;
    }
    std::memmove(names + length, rest, restLength + 1);
    return readLinkText(file, length, names);
}

/// Walks `path` from the root directory to the inode it names.
std::int32_t walkPath(OpenFile& file, const char* path) {
    UfsFile& state = *file.fileSystemData;
    char names[nameBufferBytes];
    std::uint32_t links = 0;
    std::uint32_t number = ufs::rootInode;
    std::int32_t result = readInode(file, number);
    const char* cursor = path;
    while (result == io::ok) {
        while (*cursor == '/') ++cursor;
        if (*cursor == 0) return io::ok;
        if (!isType(state, ufs::typeDirectory)) return io::notDirectory;
        const char* component = cursor;
        while (*cursor != 0 && *cursor != '/') ++cursor;
        std::uint32_t parent = number;
        result = searchDirectory(file, component, static_cast<std::uint32_t>(cursor - component), number);
        if (result == io::ok) result = readInode(file, number);
        if (result != io::ok || !isType(state, ufs::typeSymlink)) continue;
        if (++links > maximumLinks) {
            noteFailure(u"ufs: more than %u symbolic links in the path\n", maximumLinks);
            return io::noSuchFile;
        }
        result = expandLink(file, cursor, names);
        if (result != io::ok) return result;
        cursor = names;
        number = *cursor == '/' ? ufs::rootInode : parent;
        result = readInode(file, number);
    }
    return result;
}

}  // namespace

std::int32_t ufsOpen(OpenFile& file, const char* path) {
    file.fileSystemData = makeHeapRecord<UfsFile>();
    if (!file.fileSystemData) return io::outOfMemory;
    std::int32_t result = mountFileSystem(file);
    if (result == io::ok) result = walkPath(file, path);
    if (result != io::ok) {
        ufsClose(file);
        return result;
    }
    file.fileSystemData->seekPosition = 0;
    return io::ok;
}
