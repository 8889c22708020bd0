// Naming what a partition holds when it is no UFS version 1 file system, so that the
// user learns why a card is refused rather than only that it is.
#include "file/FailureNote.h"
#include "file/IoResult.h"
#include "file/LittleEndian.h"
#include "file/UfsBlocks.h"
#include "file/UfsLayout.h"
#include "file/Winblk.h"

namespace {

constexpr std::uint32_t swapped(std::uint32_t value) {
    return value >> 24 | (value >> 8 & 0xFF00) | (value << 8 & 0xFF0000) | value << 24;
}

/// The file system a superblock magic names, when it is one the reader cannot read;
/// null for any other value.
const char16_t* unreadableKind(std::uint32_t magic) {
    if (magic == ufs::version2Magic) return u"UFS version 2";
    if (magic == swapped(ufs::magic)) return u"big-endian UFS version 1";
    if (magic == swapped(ufs::version2Magic)) return u"big-endian UFS version 2";
    return nullptr;
}

/// The magic of a version 2 superblock at its usual place, if the partition reaches it.
std::uint32_t version2PlaceMagic(OpenFile& file, std::uint8_t* scratch) {
    const WinblkDevice* device = file.deviceData.get();
    if (device == nullptr || device->sectorCount < ufs::version2SuperblockSector + ufs::superblockSector) return 0;
    std::uint32_t done = 0;
    std::int32_t result = file.deviceSwitch->strategy(file.deviceData.get(), deviceRead, ufs::version2SuperblockSector,
                                                      ufs::superblockBytes, scratch, &done);
    return result == io::ok && done == ufs::superblockBytes ? le::load32(scratch + ufs::magicOffset) : 0;
}

}  // namespace

std::int32_t refuseFileSystem(OpenFile& file, std::uint32_t magic, std::uint8_t* scratch) {
    const char16_t* kind = unreadableKind(magic);
    if (kind == nullptr) kind = unreadableKind(version2PlaceMagic(file, scratch));
    if (kind != nullptr) {
        noteFailure(u"ufs: a %s file system; only little-endian UFS version 1 can be read.\n", kind);
    } else {
        noteFailure(u"ufs: no file system (magic 0x%x)\n", magic);
        // How the partition was chosen says why nothing was found there.
        if (file.deviceData) addToFailureNote(file.deviceData->remark);
    }
    return io::invalid;
}
