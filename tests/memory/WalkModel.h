// A model of the second-stage loader's walk, written from its description, that the
// real ARM code is checked against.
#pragma once

#include <cstdint>
#include <vector>

namespace walkmodel {

/// Flat RAM at `base`; every address the walk touches must lie inside it.
struct Ram {
    std::uint32_t base;
    std::vector<std::uint8_t> bytes;

    std::uint32_t word(std::uint32_t address) const;
    void setWord(std::uint32_t address, std::uint32_t value);
    void setByte(std::uint32_t address, std::uint8_t value);
};

enum class Variant { sa11x0, pxa2x0 };

/// The registers the kernel is entered with.
struct KernelEntry {
    std::uint32_t entry;
    std::uint32_t r0, r1, r2;
    std::uint32_t sp;
};

/// Walks the chain from `chain` on `ram` and returns the kernel entry. `r3` is r3 at
/// the loader's first instruction (the switch leaves the loader's own address there);
/// the stack rule uses it as the end of the last range when the chain is empty.
/// Copy destinations must be word-aligned.
KernelEntry walk(Ram& ram, Variant variant, std::uint32_t handover, std::uint32_t chain, std::uint32_t r3);

}  // namespace walkmodel
