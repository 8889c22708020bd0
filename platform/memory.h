// Memory role: heap blocks, virtual memory and the mapping of physical pages.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Virtual-memory allocation types.
inline constexpr std::uint32_t memCommit = 0x1000;
inline constexpr std::uint32_t memReserve = 0x2000;
inline constexpr std::uint32_t memDecommit = 0x4000;
inline constexpr std::uint32_t memRelease = 0x8000;

// Protections. `pagePhysical` marks a VirtualCopy source as a physical address / 256.
inline constexpr std::uint32_t pageNoAccess = 0x01;
inline constexpr std::uint32_t pageReadOnly = 0x02;
inline constexpr std::uint32_t pageReadWrite = 0x04;
inline constexpr std::uint32_t pageNoCache = 0x200;
inline constexpr std::uint32_t pagePhysical = 0x400;

/// A heap block of `bytes`, or null when the heap is exhausted. Free it with heapFree.
void* heapAlloc(std::size_t bytes);
void heapFree(void* block);

/// Reserves and/or commits `size` bytes (at `address`, or anywhere when null).
/// Returns the block, or null on failure.
void* virtualAlloc(void* address, std::uint32_t size, std::uint32_t type, std::uint32_t protect);

/// Decommits or releases a block obtained from virtualAlloc. False on failure.
bool virtualFree(void* address, std::uint32_t size, std::uint32_t type);

/// Maps physical memory into a reserved range (VirtualCopy). With `pagePhysical` in
/// `protect`, `source` is the physical address divided by 256. False on failure.
bool virtualCopy(void* destination, std::uint32_t source, std::uint32_t size, std::uint32_t protect);

}  // namespace platform
