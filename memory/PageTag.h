// One link of the chain that the second-stage loader walks after the platform is
// gone: copy `len` bytes from `src` to `dst`, or clear them when `src` is zeroFill.
#pragma once

#include <cstddef>
#include <cstdint>

struct PageTag {
    /// `next` of the last link.
    static constexpr std::uint32_t endOfChain = 0xFFFFFFFF;
    /// `src` of a range that is filled with zeros.
    static constexpr std::uint32_t zeroFill = 0xFFFFFFFF;

    std::uint32_t next;  // physical address of the next tag
    std::uint32_t src;   // physical address of the payload
    std::uint32_t dst;   // the range's own load address
    std::uint32_t len;   // bytes, never 0
};

// The walker reads four little-endian words at a 16-byte boundary.
static_assert(sizeof(PageTag) == 16);
static_assert(offsetof(PageTag, next) == 0);
static_assert(offsetof(PageTag, src) == 4);
static_assert(offsetof(PageTag, dst) == 8);
static_assert(offsetof(PageTag, len) == 12);
