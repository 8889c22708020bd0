// The check made before the switch. The walk itself cannot check anything, so a
// chain is refused here when a range would land outside DRAM or on another range,
// or would overwrite a page that the second-stage loader still has to read: a later
// tag or payload, the hand-over page, the loader's code or its stack.
#pragma once

#include <cstdint>

#include "memory/DestinationRule.h"

class Console;
class MemoryManager;

/// The pages the walk reads besides the chain: the hand-over page, the loader's code
/// page and its stack page (the one below `stackPointer`), all physical.
struct WalkPages {
    std::uint32_t handoverBlock;
    std::uint32_t loader;
    std::uint32_t stackPointer;
};

/// Follows the chain from `tagChain` in walk order and checks where its ranges land
/// (against each other, the kernel's stack page and the memory manager's banks), then
/// that no range writes into a page the walk reads later: a later tag, a payload not
/// yet copied, or one of `pages`. Prints the conflict (or why the chain cannot be read) and returns
/// false when the jump must not be made.
[[nodiscard]] bool checkWalk(Console** console, MemoryManager& memory, std::uint32_t tagChain, const WalkPages& pages,
                             DestinationRule rule);
