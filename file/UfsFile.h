// A read-only reader of UFS version 1 file systems (the fast file system layout):
// 32-bit block addresses, 128-byte inodes, old and new directory entries, symbolic links.
#pragma once

#include <cstdint>

#include "file/HeapRecord.h"
#include "file/OpenFile.h"

/// The superblock fields the reader uses, checked when the file system is opened.
struct UfsSuperblock {
    std::uint32_t inodeBlockOffset;    // fragment offset of the inode blocks in a group
    std::int32_t groupOffsetStep;      // cylinder-group offset step
    std::int32_t groupOffsetMask;
    std::uint32_t fragments;           // size of the file system in fragments
    std::uint32_t groups;              // cylinder groups
    std::uint32_t blockSize;
    std::uint32_t fragmentMask;
    std::uint32_t blockShift;          // log2 of the block size
    std::uint32_t fragmentShift;       // log2 of the fragments per block
    std::uint32_t sectorShift;         // fragment number to 512-byte sector
    std::uint32_t addressesPerBlock;   // block addresses per indirect block
    std::uint32_t inodesPerBlock;
    std::uint32_t inodesPerGroup;
    std::uint32_t fragmentsPerGroup;
    std::int32_t maxSymlinkLength;     // longest link kept inside the inode; 0 or less: old directories
    std::uint64_t blockOffsetMask;
    std::uint64_t fragmentOffsetMask;

    std::uint32_t fragmentSize() const { return blockSize >> fragmentShift; }
};

/// The reader's state for one open file.
struct UfsFile {
    static constexpr std::uint32_t inodeBytes = 128;

    std::uint32_t seekPosition = 0;
    UfsSuperblock superblock{};
    std::uint8_t inode[inodeBytes]{};
    std::uint32_t indirectShift = 0;
    /// The 64-entry group of file blocks held in `indexCache`; -1 when none.
    std::int64_t cachedIndexGroup = -1;
    std::uint32_t indexCache[64]{};
    /// One block, shared by inode, indirect-block and data reads.
    HeapBytes blockBuffer;
    std::uint32_t bufferLength = 0;
    /// The file block held in `blockBuffer`; -1 when it holds none.
    std::int64_t bufferBlock = -1;
};

/// What ufsStat reports of the open file.
struct UfsStat {
    std::uint32_t mode;
    std::uint32_t owner;
    std::uint32_t group;
    std::uint32_t size;
};

/// Opens `path` (8-bit text, from the file system's root) on the file's device. On
/// success the file is positioned at 0; on failure the reader state is released.
/// Returns a result code.
std::int32_t ufsOpen(OpenFile& file, const char* path);

/// Reads up to `count` bytes at the position and advances it; `remaining` receives the
/// count not read (all of it past the end, the rest after an error). Returns a result code.
std::int32_t ufsRead(OpenFile& file, void* buffer, std::uint32_t count, std::uint32_t* remaining);

/// Nothing can be written: returns 30.
std::int32_t ufsWrite(OpenFile& file, const void* buffer, std::uint32_t count, std::uint32_t* remaining);

/// Moves the position: `origin` 0 to `offset`, 1 by `offset`, 2 to the size minus
/// `offset`. Returns the new position; -1 for another origin, no open file, or a
/// position outside 32 bits.
std::int64_t ufsSeek(OpenFile& file, std::int64_t offset, std::int32_t origin);

/// Fills `status` for the open file and returns 0; 22 without an open file.
std::int32_t ufsStat(OpenFile& file, UfsStat* status);

/// Releases the reader state; returns 0.
std::int32_t ufsClose(OpenFile& file);
