// A growing list of plain records on the platform heap. The Parts allocate only
// through the platform, which can fail, so growth reports failure instead of throwing.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "platform/memory.h"

template <class T>
class HeapList {
    static_assert(std::is_trivially_copyable_v<T>, "records are moved with memcpy");

public:
    HeapList() = default;
    HeapList(const HeapList&) = delete;
    HeapList& operator=(const HeapList&) = delete;
    ~HeapList() { platform::heapFree(items); }

    /// Appends `item`; false when the heap has no room for a larger list.
    [[nodiscard]] bool push(const T& item) {
        if (count == capacity && !grow()) return false;
        items[count++] = item;
        return true;
    }
    T* begin() { return items; }
    T* end() { return items + count; }
    const T* begin() const { return items; }
    const T* end() const { return items + count; }
    std::size_t size() const { return count; }
    T& operator[](std::size_t i) { return items[i]; }
    const T& operator[](std::size_t i) const { return items[i]; }

private:
    bool grow() {
        std::size_t larger = capacity == 0 ? 64 : capacity * 2;
        auto* moved = static_cast<T*>(platform::heapAlloc(larger * sizeof(T)));
        if (moved == nullptr) return false;
        if (count != 0) std::memcpy(moved, items, count * sizeof(T));
        platform::heapFree(items);
        items = moved;
        capacity = larger;
        return true;
    }

    T* items = nullptr;
    std::size_t count = 0;
    std::size_t capacity = 0;
};
