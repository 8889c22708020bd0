// Builds small ELF32 ARM executables in memory, for cases the cross toolchain will
// not produce: sizes and offsets chosen to hit one rule.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "load/Elf.h"

class ElfBuilder {
public:
    /// A program header; `bytes` are its file contents.
    ElfBuilder& segment(std::uint32_t vaddr, std::vector<std::uint8_t> bytes, std::uint32_t memsz,
                        std::uint32_t type = elf::segmentLoad);
    /// A section with contents, not part of any segment.
    ElfBuilder& section(const std::string& name, std::vector<std::uint8_t> bytes);
    ElfBuilder& entry(std::uint32_t address);
    /// Leaves out the section-header table.
    ElfBuilder& withoutSections();

    std::vector<std::uint8_t> build() const;

    /// Where the last build put things.
    struct Layout {
        std::vector<std::uint32_t> segmentOffsets;
        std::vector<std::uint32_t> sectionOffsets;  // of the sections added, in order
        std::uint32_t namesOffset;
        std::uint32_t namesSize;
        std::uint32_t sectionTableOffset;
    };
    mutable Layout layout{};

private:
    struct Segment {
        std::uint32_t type;
        std::uint32_t vaddr;
        std::vector<std::uint8_t> bytes;
        std::uint32_t memsz;
    };
    struct Section {
        std::string name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Segment> segments;
    std::vector<Section> sections;
    std::uint32_t entryAddress = 0xC0200000;
    bool sectionTable = true;
};

/// `size` bytes that differ from position to position.
std::vector<std::uint8_t> patternBytes(std::size_t size, std::uint8_t seed = 1);

/// Overwrites a little-endian field of `width` bytes at `offset`.
void patch(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, unsigned width);
