// On-disk layout of UFS version 1: where the fields the reader uses lie.
#pragma once

#include <cstdint>

#include "file/LittleEndian.h"

namespace ufs {

inline constexpr std::uint32_t superblockSector = 16;
inline constexpr std::uint32_t superblockBytes = 8192;
inline constexpr std::int32_t magic = 72020;
inline constexpr std::uint32_t magicOffset = 1372;
/// A version 2 superblock lies at byte 65536 when its tools follow the usual layout.
inline constexpr std::uint32_t version2Magic = 0x19540119;
inline constexpr std::uint32_t version2SuperblockSector = 128;
inline constexpr std::uint32_t rootInode = 2;

inline constexpr std::uint32_t directBlocks = 12;
inline constexpr std::uint32_t indirectLevels = 3;
/// Bytes of the inode's block-address area, where a short symbolic link is kept.
inline constexpr std::uint32_t inlineLinkBytes = (directBlocks + indirectLevels) * 4;

inline constexpr std::uint16_t typeMask = 0xF000;
inline constexpr std::uint16_t typeDirectory = 0x4000;
inline constexpr std::uint16_t typeSymlink = 0xA000;

// Inode fields.
inline std::uint16_t inodeMode(const std::uint8_t* inode) { return le::load16(inode); }
inline std::uint64_t inodeSize(const std::uint8_t* inode) { return le::load64(inode + 8); }
inline const std::uint8_t* inodeLinkText(const std::uint8_t* inode) { return inode + 40; }
inline std::uint32_t inodeDirect(const std::uint8_t* inode, std::uint32_t i) { return le::load32(inode + 40 + 4 * i); }
inline std::uint32_t inodeIndirect(const std::uint8_t* inode, std::uint32_t i) { return le::load32(inode + 88 + 4 * i); }
inline std::uint32_t inodeOwner(const std::uint8_t* inode) { return le::load32(inode + 112); }
inline std::uint32_t inodeGroup(const std::uint8_t* inode) { return le::load32(inode + 116); }

// Directory entry fields.
inline constexpr std::uint32_t entryHeaderBytes = 8;
inline std::uint32_t entryInode(const std::uint8_t* entry) { return le::load32(entry); }
inline std::uint16_t entryRecordLength(const std::uint8_t* entry) { return le::load16(entry + 4); }
/// The name length: a byte in the new format, 16 bits in the old one.
inline std::uint32_t entryNameLength(const std::uint8_t* entry, bool newFormat) {
    return newFormat ? entry[7] : le::load16(entry + 6);
}

}  // namespace ufs
