// The directory search. Entries come from the card, so each one is checked against
// the block it lies in before its name is looked at.
#include <cstring>

#include "file/FailureNote.h"
#include "file/IoResult.h"
#include "file/UfsBlocks.h"
#include "file/UfsLayout.h"

namespace {

enum class Walk { notFound, found, corrupt };

/// Looks for `name` among the entries of one directory block of `length` bytes.
Walk searchBlock(const std::uint8_t* block, std::uint32_t length, bool newFormat, const char* name,
                 std::uint32_t nameLength, std::uint32_t& number) {
    std::uint32_t offset = 0;
    while (offset < length) {
        const std::uint8_t* entry = block + offset;
        if (length - offset < ufs::entryHeaderBytes) return Walk::corrupt;
        std::uint32_t record = ufs::entryRecordLength(entry);
        // A block that starts with an empty record holds no entries.
        if (record == 0) return offset == 0 ? Walk::notFound : Walk::corrupt;
        std::uint32_t entryName = ufs::entryNameLength(entry, newFormat);
        if (record < ufs::entryHeaderBytes || record > length - offset ||
            entryName > record - ufs::entryHeaderBytes) {
            return Walk::corrupt;
        }
        if (ufs::entryInode(entry) != 0 && entryName == nameLength &&
            std::memcmp(entry + ufs::entryHeaderBytes, name, nameLength) == 0) {
            number = ufs::entryInode(entry);
            return Walk::found;
        }
        offset += record;
    }
    return Walk::notFound;
}

}  // namespace

std::int32_t searchDirectory(OpenFile& file, const char* name, std::uint32_t length, std::uint32_t& number) {
    UfsFile& state = *file.fileSystemData;
    bool newFormat = state.superblock.maxSymlinkLength > 0;
    std::uint64_t size = ufs::inodeSize(state.inode);
    for (state.seekPosition = 0; state.seekPosition < size;) {
        const std::uint8_t* block = nullptr;
        std::uint32_t bytes = 0;
        std::int32_t result = bufReadFile(file, block, bytes);
        if (result != io::ok) return result;
        Walk walk = searchBlock(block, bytes, newFormat, name, length, number);
        if (walk == Walk::found) return io::ok;
        if (walk == Walk::corrupt) {
            noteFailure(u"ufs: corrupt directory entry in the block at %u\n", state.seekPosition);
            return io::invalid;
        }
        state.seekPosition += bytes;
    }
    return io::noSuchFile;
}
