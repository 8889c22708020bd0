// The check made before the switch: the second-stage loader must not overwrite a
// page that it still has to read. The walk itself cannot check anything; a range
// that overwrote a later tag or payload, the hand-over page, the loader's code or
// its stack would corrupt the boot without a word.
#pragma once

#include <cstdint>

class Console;
class MemoryManager;

/// How a walker turns a range's destination into the address it writes.
enum class DestinationRule {
    asLinked,        // SA-11x0: the destination is physical
    firstSdramBank,  // PXA2x0: the low 24 bits, in the bank at 0xA0000000
};

/// The address the walk writes for the destination `dst`; also applied to the
/// kernel entry.
std::uint32_t walkDestination(DestinationRule rule, std::uint32_t dst);

/// The pages the walk reads besides the chain: the hand-over page, the loader's code
/// page and its stack page (the one below `stackPointer`), all physical.
struct WalkPages {
    std::uint32_t handoverBlock;
    std::uint32_t loader;
    std::uint32_t stackPointer;
};

/// Follows the chain from `tagChain` in walk order and checks that no range writes
/// into a page the walk reads later: a later tag, a payload not yet copied, or one
/// of `pages`. Prints the conflict (or why the chain cannot be read) and returns
/// false when the jump must not be made.
[[nodiscard]] bool checkWalk(Console** console, MemoryManager& memory, std::uint32_t tagChain, const WalkPages& pages,
                             DestinationRule rule);
