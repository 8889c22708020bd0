#include "tests/load/ReadElfListing.h"

#include <fstream>
#include <regex>

namespace {

std::uint32_t hex(const std::string& text) { return static_cast<std::uint32_t>(std::stoul(text, nullptr, 16)); }

}  // namespace

const ListedSection* ReadElfListing::section(const std::string& name) const {
    for (const ListedSection& s : sections) {
        if (s.name == name) return &s;
    }
    return nullptr;
}

ReadElfListing readElfListing(const std::string& path) {
    // "  LOAD  0x001000 0xc0200000 0xc0200000 0x00064 0x00064 R E 0x1000"
    static const std::regex segmentLine(R"(^\s+([A-Z_]+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s)");
    // "  [ 1] .text  PROGBITS  c0200000 001000 000064 00  AX  0   0  4"
    static const std::regex sectionLine(R"(^\s+\[\s*(\d+)\]\s+(\S*)\s+\S+\s+[0-9a-f]+\s+([0-9a-f]+)\s+([0-9a-f]+)\s)");
    ReadElfListing listing;
    std::ifstream in(path);
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, segmentLine)) {
            listing.segments.push_back({m[1], hex(m[2]), hex(m[3]), hex(m[4]), hex(m[5])});
        } else if (std::regex_search(line, m, sectionLine)) {
            listing.sections.push_back({static_cast<std::uint32_t>(std::stoul(m[1])), m[2], hex(m[3]), hex(m[4])});
        }
    }
    return listing;
}
