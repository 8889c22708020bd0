#include "sandbox/ChainWalk.h"

#include <algorithm>

namespace sandbox {

namespace {

bool inCommittedFrames(PhysicalMemory& memory, std::uint32_t physical, std::uint32_t length) {
    std::vector<CommittedFrame> frames = memory.committedFrames();
    std::uint64_t end = std::uint64_t{physical} + length;
    for (std::uint64_t at = physical & ~0xFFFu; at < end; at += PhysicalMemory::frameSize) {
        bool found = std::any_of(frames.begin(), frames.end(),
                                 [&](const CommittedFrame& f) { return f.physical == at; });
        if (!found) return false;
    }
    return true;
}

}  // namespace

ChainWalk walkChain(PhysicalMemory& memory, std::uint32_t start, std::size_t limit) {
    ChainWalk walk;
    for (std::uint32_t at = start; at != PageTag::endOfChain;) {
        StagedRange range{at, {}, {}};
        if (walk.ranges.size() == limit || !inCommittedFrames(memory, at, sizeof(PageTag)) ||
            !memory.read(at, &range.tag, sizeof(PageTag)) || range.tag.len == 0) {
            walk.sound = false;
            return walk;
        }
        if (range.tag.src != PageTag::zeroFill) {
            range.payload.resize(range.tag.len);
            if (!inCommittedFrames(memory, range.tag.src, range.tag.len) ||
                !memory.read(range.tag.src, range.payload.data(), range.tag.len)) {
                walk.sound = false;
                return walk;
            }
        }
        at = range.tag.next;
        walk.ranges.push_back(std::move(range));
    }
    return walk;
}

std::vector<std::uint8_t> stagedBytes(const ChainWalk& walk, std::uint32_t from, std::uint32_t length,
                                      std::uint8_t fill) {
    std::vector<std::uint8_t> bytes(length, fill);
    for (const StagedRange& range : walk.ranges) {
        for (std::uint32_t i = 0; i < range.tag.len; ++i) {
            std::uint64_t address = std::uint64_t{range.tag.dst} + i;
            if (address < from || address - from >= length) continue;
            bytes[address - from] = range.payload.empty() ? 0 : range.payload[i];
        }
    }
    return bytes;
}

}  // namespace sandbox
