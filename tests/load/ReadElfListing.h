// What `arm-none-eabi-readelf -lSW` printed about a fixture kernel, so that the loader
// is checked against the toolchain's own reading of the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ListedSegment {
    std::string type;
    std::uint32_t offset;
    std::uint32_t vaddr;
    std::uint32_t filesz;
    std::uint32_t memsz;
};

struct ListedSection {
    std::uint32_t index;
    std::string name;
    std::uint32_t offset;
    std::uint32_t size;
};

struct ReadElfListing {
    std::vector<ListedSegment> segments;
    std::vector<ListedSection> sections;

    const ListedSection* section(const std::string& name) const;
};

ReadElfListing readElfListing(const std::string& path);
