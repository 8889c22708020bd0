// Little-endian fields of on-disk records, read from unaligned bytes.
#pragma once

#include <cstdint>

namespace le {

inline std::uint16_t load16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t load32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

inline std::uint64_t load64(const std::uint8_t* p) { return load32(p) | std::uint64_t{load32(p + 4)} << 32; }

}  // namespace le
