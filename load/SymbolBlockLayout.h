// Where the parts of the kernel symbol block lie, from the block's start.
//
// The block is a small ELF image: the file header, the section-header table with its
// offsets rewritten to point inside the block, the section-name table, then .symtab
// and, on the next word boundary, .strtab. Offsets are 64-bit so that sizes a damaged
// file claims show up as too large instead of wrapping.
#pragma once

#include <cstdint>

struct SymbolBlockLayout {
    static constexpr std::uint64_t fileHeaderBytes = 52;

    std::uint32_t sectionTableBytes;  // e_shnum x e_shentsize
    std::uint32_t nameTableSize;      // sh_size of the section-name table
    std::uint32_t symbolTableBytes;   // sh_size of .symtab
    std::uint32_t stringTableBytes;   // sh_size of .strtab

    static constexpr std::uint64_t roundUpToWord(std::uint64_t bytes) { return (bytes + 3) & ~std::uint64_t{3}; }

    constexpr std::uint64_t sectionTableOffset() const { return fileHeaderBytes; }
    constexpr std::uint64_t nameTableOffset() const { return fileHeaderBytes + sectionTableBytes; }
    /// The name table's room in the block: its size rounded up to a word.
    constexpr std::uint64_t nameTableBytes() const { return roundUpToWord(nameTableSize); }
    /// The prepared part of the block, staged from program memory.
    constexpr std::uint64_t headerBytes() const { return nameTableOffset() + nameTableBytes(); }
    constexpr std::uint64_t symbolTableOffset() const { return headerBytes(); }
    constexpr std::uint64_t stringTableOffset() const { return headerBytes() + roundUpToWord(symbolTableBytes); }
    constexpr std::uint64_t size() const { return stringTableOffset() + stringTableBytes; }
};
