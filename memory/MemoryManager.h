// The pool of physical pages that a boot is staged in.
#pragma once

#include <cstdint>

class Console;

class MemoryManager {
public:
    /// The failure value of physicalAddress and of mappings.
    static constexpr std::uint32_t noAddress = 0xFFFFFFFF;

    MemoryManager(Console** console, std::uint32_t pageSize) : console(console), pageSize_(pageSize) {}
    virtual ~MemoryManager() = default;
    MemoryManager(const MemoryManager&) = delete;
    MemoryManager& operator=(const MemoryManager&) = delete;

    /// The physical address of the page at `virtualAddress`, or noAddress.
    virtual std::uint32_t physicalAddress(void* virtualAddress) = 0;

    std::uint32_t pageSize() const { return pageSize_; }

    /// `bytes` rounded up to whole pages; saturates at the largest whole-page count
    /// instead of wrapping to a small size.
    std::uint32_t roundUp(std::uint32_t bytes) const {
        std::uint64_t rounded = (std::uint64_t{bytes} + pageSize_ - 1) / pageSize_ * pageSize_;
        return rounded > 0xFFFFFFFFu ? 0xFFFFFFFFu / pageSize_ * pageSize_ : static_cast<std::uint32_t>(rounded);
    }

protected:
    Console** console;

private:
    std::uint32_t pageSize_;
};
