// Loader tests: a page pool on the sandbox, a file held in memory, and the staged
// chain read back through the physical view.
#pragma once

#include <cstdint>
#include <vector>

#include "sandbox/ChainWalk.h"
#include "tests/support/MemoryFileManager.h"
#include "tests/support/PagePoolTest.h"

using sandbox::ChainWalk;
using sandbox::StagedRange;
using sandbox::stagedBytes;
using sandbox::walkChain;

class LoadTest : public PagePoolTest {
protected:
    ChainWalk walk(std::uint32_t start) { return walkChain(machine.memory, start); }

    MemoryFileManager file{&console};
    FileManager* fileManager = &file;
};

/// What a range of the chain says, for comparing with expected tables.
struct Link {
    bool zero;
    std::uint32_t dst;
    std::uint32_t len;
    bool operator==(const Link&) const = default;
};

inline std::vector<Link> linksOf(const ChainWalk& walk) {
    std::vector<Link> links;
    for (const StagedRange& r : walk.ranges) links.push_back({r.tag.src == PageTag::zeroFill, r.tag.dst, r.tag.len});
    return links;
}

inline std::ostream& operator<<(std::ostream& out, const Link& link) {
    return out << (link.zero ? "zero " : "load ") << std::hex << link.dst << "+" << link.len;
}
