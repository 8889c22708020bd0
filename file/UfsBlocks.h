// The reader's internal steps, shared by its operations.
#pragma once

#include <cstdint>

#include "file/OpenFile.h"
#include "file/UfsFile.h"

/// Fills `superblock` from the 8192 raw bytes, which carry the UFS version 1 magic;
/// false, after a noted message, when a field would make the reader divide by zero,
/// shift out of range or leave its buffers.
bool parseSuperblock(const std::uint8_t* raw, UfsSuperblock& superblock);

/// Notes why the partition holds no UFS version 1 file system, when the superblock at
/// its usual place carries `magic` instead: another version or byte order, or nothing
/// known. May read the partition into `scratch` (8192 bytes) to look further.
/// Returns 22.
std::int32_t refuseFileSystem(OpenFile& file, std::uint32_t magic, std::uint8_t* scratch);

/// Reads `length` bytes from fragment `fragment` into `buffer`. Fragments outside the
/// file system give 22; a short read gives 5.
std::int32_t readFragments(OpenFile& file, std::uint64_t fragment, std::uint32_t length, void* buffer);

/// Makes inode `number` the current one.
std::int32_t readInode(OpenFile& file, std::uint32_t number);

/// The fragment address of `fileBlock` of the current inode in `address`; 0 for a hole.
std::int32_t blockMap(OpenFile& file, std::uint32_t fileBlock, std::uint32_t& address);

/// The bytes of the current inode from the position to the end of its block (or of the
/// file) in `data` and `length`; never empty below the size.
std::int32_t bufReadFile(OpenFile& file, const std::uint8_t*& data, std::uint32_t& length);

/// Finds `name` (`length` bytes) in the current inode, a directory. 2 when it is absent.
std::int32_t searchDirectory(OpenFile& file, const char* name, std::uint32_t length, std::uint32_t& number);
