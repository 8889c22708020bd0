// The registers of a device model that keeps what is written: a word per offset.
#pragma once

#include <cstdint>
#include <map>

namespace sandbox {

class RegisterFile {
public:
    std::uint32_t get(std::uint32_t offset) const {
        auto it = words.find(offset & ~3u);
        return it == words.end() ? 0 : it->second;
    }
    void set(std::uint32_t offset, std::uint32_t value) { words[offset & ~3u] = value; }

    /// A write of `width` bytes (1 or 4) into the word at `offset`: a byte write
    /// replaces only its byte.
    void write(std::uint32_t offset, std::uint32_t value, unsigned width) {
        if (width >= 4) {
            set(offset, value);
            return;
        }
        unsigned shift = 8 * (offset & 3);
        std::uint32_t mask = 0xFFu << shift;
        set(offset, (get(offset) & ~mask) | ((value & 0xFF) << shift));
    }
    /// A read of `width` bytes from `offset`.
    std::uint32_t read(std::uint32_t offset, unsigned width) const {
        std::uint32_t word = get(offset);
        return width >= 4 ? word : (word >> (8 * (offset & 3))) & 0xFF;
    }

private:
    std::map<std::uint32_t, std::uint32_t> words;
};

}  // namespace sandbox
