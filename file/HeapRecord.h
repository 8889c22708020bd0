// Records and buffers on the platform's heap, owned through unique_ptr so that an
// exhausted heap shows up as an empty pointer rather than an exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "platform/memory.h"

template <class T>
struct HeapRecordDelete {
    void operator()(T* record) const {
        record->~T();
        platform::heapFree(record);
    }
};

template <class T>
using HeapRecord = std::unique_ptr<T, HeapRecordDelete<T>>;

/// A value-initialised T on the heap; empty when the heap cannot hold it.
template <class T>
HeapRecord<T> makeHeapRecord() {
    static_assert(alignof(T) <= alignof(std::max_align_t));
    void* block = platform::heapAlloc(sizeof(T));
    return HeapRecord<T>(block != nullptr ? new (block) T() : nullptr);
}

template <class Byte>
struct HeapArrayFree {
    void operator()(Byte* block) const { platform::heapFree(block); }
};

/// A buffer of uninitialised bytes on the heap.
template <class Byte>
using HeapArray = std::unique_ptr<Byte[], HeapArrayFree<Byte>>;
using HeapBytes = HeapArray<std::uint8_t>;
using HeapBlock = HeapArray<char>;

/// `count` bytes on the heap; empty when the heap cannot hold them.
inline HeapBytes makeHeapBytes(std::size_t count) {
    return HeapBytes(static_cast<std::uint8_t*>(platform::heapAlloc(count)));
}
inline HeapBlock allocateHeapBlock(std::size_t count) {
    return HeapBlock(static_cast<char*>(platform::heapAlloc(count)));
}
