// The check of where the second-stage loader will write: after the family's
// destination rule every range must land in DRAM, apart from every other range and
// from the kernel's first stack page. The walk copies blindly, so a chain that folds
// over itself (the first-bank rule keeps only 24 bits), a segment that overlaps
// another, or a kernel linked where no memory lies would boot into a kernel that has
// already been destroyed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "memory/DestinationRule.h"
#include "memory/MemoryManager.h"
#include "memory/PageTag.h"

class Console;

/// Checks the ranges of a chain, given in walk order, against each other, the
/// kernel's stack page and `banks`. Prints one line naming the conflict and returns
/// false when the jump must not be made.
[[nodiscard]] bool checkPlacement(Console** console, std::span<const PageTag> ranges,
                                  std::span<const MemoryManager::Bank> banks, DestinationRule rule);
