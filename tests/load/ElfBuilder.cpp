#include "tests/load/ElfBuilder.h"

#include <cstring>

namespace {

void align(std::vector<std::uint8_t>& out, std::size_t unit) {
    while (out.size() % unit != 0) out.push_back(0);
}

template <class Record>
void append(std::vector<std::uint8_t>& out, const Record& record) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    out.insert(out.end(), bytes, bytes + sizeof record);
}

}  // namespace

ElfBuilder& ElfBuilder::segment(std::uint32_t vaddr, std::vector<std::uint8_t> bytes, std::uint32_t memsz,
                                std::uint32_t type) {
    segments.push_back({type, vaddr, std::move(bytes), memsz});
    return *this;
}

ElfBuilder& ElfBuilder::section(const std::string& name, std::vector<std::uint8_t> bytes) {
    sections.push_back({name, std::move(bytes)});
    return *this;
}

ElfBuilder& ElfBuilder::entry(std::uint32_t address) {
    entryAddress = address;
    return *this;
}

ElfBuilder& ElfBuilder::withoutSections() {
    sectionTable = false;
    return *this;
}

std::vector<std::uint8_t> ElfBuilder::build() const {
    layout = {};
    std::vector<std::uint8_t> out(sizeof(elf::FileHeader) + segments.size() * sizeof(elf::ProgramHeader));
    for (const Segment& s : segments) {
        align(out, 16);
        layout.segmentOffsets.push_back(static_cast<std::uint32_t>(out.size()));
        out.insert(out.end(), s.bytes.begin(), s.bytes.end());
    }
    for (const Section& s : sections) {
        align(out, 4);
        layout.sectionOffsets.push_back(static_cast<std::uint32_t>(out.size()));
        out.insert(out.end(), s.bytes.begin(), s.bytes.end());
    }
    std::string names(1, '\0');
    std::vector<std::uint32_t> nameOffsets;
    for (const Section& s : sections) {
        nameOffsets.push_back(static_cast<std::uint32_t>(names.size()));
        names += s.name + '\0';
    }
    std::uint32_t ownName = static_cast<std::uint32_t>(names.size());
    names += std::string(".shstrtab") + '\0';
    layout.namesOffset = static_cast<std::uint32_t>(out.size());
    layout.namesSize = static_cast<std::uint32_t>(names.size());
    out.insert(out.end(), names.begin(), names.end());
    align(out, 4);
    layout.sectionTableOffset = static_cast<std::uint32_t>(out.size());
    if (sectionTable) {
        append(out, elf::SectionHeader{});
        for (std::size_t i = 0; i < sections.size(); ++i) {
            elf::SectionHeader h{};
            h.name = nameOffsets[i];
            h.type = 1;
            h.offset = layout.sectionOffsets[i];
            h.size = static_cast<std::uint32_t>(sections[i].bytes.size());
            append(out, h);
        }
        elf::SectionHeader own{};
        own.name = ownName;
        own.type = 3;
        own.offset = layout.namesOffset;
        own.size = layout.namesSize;
        append(out, own);
    }

    elf::FileHeader header{};
    std::memcpy(header.ident, elf::magic, 4);
    header.ident[4] = elf::class32;
    header.ident[5] = elf::littleEndian;
    header.ident[6] = 1;
    header.type = elf::typeExecutable;
    header.machine = elf::machineArm;
    header.version = 1;
    header.entry = entryAddress;
    header.phoff = sizeof(elf::FileHeader);
    header.shoff = sectionTable ? layout.sectionTableOffset : 0;
    header.ehsize = sizeof(elf::FileHeader);
    header.phentsize = sizeof(elf::ProgramHeader);
    header.phnum = static_cast<std::uint16_t>(segments.size());
    header.shentsize = sizeof(elf::SectionHeader);
    header.shnum = sectionTable ? static_cast<std::uint16_t>(sections.size() + 2) : 0;
    header.shstrndx = sectionTable ? static_cast<std::uint16_t>(sections.size() + 1) : 0;
    std::memcpy(out.data(), &header, sizeof header);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        elf::ProgramHeader p{};
        p.type = segments[i].type;
        p.offset = layout.segmentOffsets[i];
        p.vaddr = segments[i].vaddr;
        p.paddr = segments[i].vaddr;
        p.filesz = static_cast<std::uint32_t>(segments[i].bytes.size());
        p.memsz = segments[i].memsz;
        p.align = 4;
        std::memcpy(out.data() + sizeof header + i * sizeof p, &p, sizeof p);
    }
    return out;
}

std::vector<std::uint8_t> patternBytes(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 8));
    return bytes;
}

void patch(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, unsigned width) {
    for (unsigned i = 0; i < width; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}
