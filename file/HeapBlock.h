// A block of the platform's heap, freed by its owner.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/memory.h"

struct HeapFree {
    void operator()(char* block) const { platform::heapFree(block); }
};

using HeapBlock = std::unique_ptr<char[], HeapFree>;

/// A block of `bytes`; empty when the heap cannot give one.
inline HeapBlock allocateHeapBlock(std::size_t bytes) {
    return HeapBlock(static_cast<char*>(platform::heapAlloc(bytes)));
}
