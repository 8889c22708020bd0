// Walks a PageTag chain through the sandbox's physical view, as the second-stage
// loader will, and applies its ranges to a picture of the destination memory.
#pragma once

#include <cstdint>
#include <vector>

#include "memory/PageTag.h"
#include "sandbox/PhysicalMemory.h"

namespace sandbox {

struct StagedRange {
    std::uint32_t tagPhysical;
    PageTag tag;
    std::vector<std::uint8_t> payload;  // empty for a zero-clear range
};

struct ChainWalk {
    std::vector<StagedRange> ranges;
    /// False when a tag or a payload lay outside committed pages, a length was 0, or
    /// the chain did not end within the limit.
    bool sound = true;
};

ChainWalk walkChain(PhysicalMemory& memory, std::uint32_t start, std::size_t limit = 1 << 16);

/// The bytes [from, from + length) after every range is applied in chain order to
/// memory that held `fill`.
std::vector<std::uint8_t> stagedBytes(const ChainWalk& walk, std::uint32_t from, std::uint32_t length,
                                      std::uint8_t fill = 0xEE);

}  // namespace sandbox
