// The ELF32 structures a kernel file is read through, as they lie in the file.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace elf {

// The records are read straight from little-endian files.
static_assert(std::endian::native == std::endian::little);

inline constexpr std::uint8_t magic[4] = {0x7F, 'E', 'L', 'F'};
inline constexpr std::uint8_t class32 = 1;
inline constexpr std::uint8_t littleEndian = 1;
inline constexpr std::uint16_t machineArm = 40;
inline constexpr std::uint16_t typeExecutable = 2;
inline constexpr std::uint32_t segmentLoad = 1;
/// The ELF32 section-header size; shorter entries cannot hold the fields read.
inline constexpr std::uint16_t sectionHeaderBytes = 40;
inline constexpr std::uint16_t programHeaderBytes = 32;

struct FileHeader {
    std::uint8_t ident[16];
    std::uint16_t type;
    std::uint16_t machine;
    std::uint32_t version;
    std::uint32_t entry;
    std::uint32_t phoff;
    std::uint32_t shoff;
    std::uint32_t flags;
    std::uint16_t ehsize;
    std::uint16_t phentsize;
    std::uint16_t phnum;
    std::uint16_t shentsize;
    std::uint16_t shnum;
    std::uint16_t shstrndx;
};
static_assert(sizeof(FileHeader) == 52);
static_assert(offsetof(FileHeader, type) == 16);
static_assert(offsetof(FileHeader, machine) == 18);
static_assert(offsetof(FileHeader, entry) == 24);
static_assert(offsetof(FileHeader, phoff) == 28);
static_assert(offsetof(FileHeader, shoff) == 32);
static_assert(offsetof(FileHeader, phentsize) == 42);
static_assert(offsetof(FileHeader, phnum) == 44);
static_assert(offsetof(FileHeader, shentsize) == 46);
static_assert(offsetof(FileHeader, shnum) == 48);
static_assert(offsetof(FileHeader, shstrndx) == 50);

struct ProgramHeader {
    std::uint32_t type;
    std::uint32_t offset;
    std::uint32_t vaddr;
    std::uint32_t paddr;
    std::uint32_t filesz;
    std::uint32_t memsz;
    std::uint32_t flags;
    std::uint32_t align;
};
static_assert(sizeof(ProgramHeader) == programHeaderBytes);

struct SectionHeader {
    std::uint32_t name;
    std::uint32_t type;
    std::uint32_t flags;
    std::uint32_t addr;
    std::uint32_t offset;
    std::uint32_t size;
    std::uint32_t link;
    std::uint32_t info;
    std::uint32_t addralign;
    std::uint32_t entsize;
};
static_assert(sizeof(SectionHeader) == sectionHeaderBytes);
static_assert(offsetof(SectionHeader, offset) == 16);
static_assert(offsetof(SectionHeader, size) == 20);

/// A record read from bytes that need not be aligned.
template <class Record>
Record recordAt(const std::uint8_t* bytes) {
    Record record;
    std::memcpy(&record, bytes, sizeof record);
    return record;
}

template <class Record>
void storeRecord(std::uint8_t* bytes, const Record& record) {
    std::memcpy(bytes, &record, sizeof record);
}

}  // namespace elf
