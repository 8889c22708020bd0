#include "sandbox/PhysicalMemory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>

namespace sandbox {

namespace {

constexpr std::uint64_t frameMask = PhysicalMemory::frameSize - 1;

std::uint64_t roundUp(std::uint64_t value, std::uint64_t unit) { return (value + unit - 1) / unit * unit; }

bool frameAligned(std::uint64_t value) { return (value & frameMask) == 0; }

[[noreturn]] void strayAccess(const void* pointer) {
    std::fprintf(stderr, "sandbox: register access at %p inside a reserved block where nothing is mapped\n", pointer);
    std::abort();
}

}  // namespace

void PhysicalMemory::AlignedDelete::operator()(std::uint8_t* bytes) const {
    ::operator delete[](bytes, std::align_val_t{granule});
}

PhysicalMemory::PhysicalMemory(const MachineProfile& profile)
    : ramStart_(profile.banks[0].start),
      ramSize_(profile.ramSize),
      regionStart(ramStart_ + ramSize_ / 2),
      regionSize(ramSize_ / 2) {}

PhysicalMemory::~PhysicalMemory() = default;

bool PhysicalMemory::isRam(std::uint32_t physical, std::uint32_t length) const {
    std::uint64_t start = physical;
    std::uint64_t end = start + length;
    return start >= ramStart_ && end <= std::uint64_t{ramStart_} + ramSize_;
}

void PhysicalMemory::setFrameRegion(std::uint32_t start, std::uint32_t size) {
    std::uint64_t low = std::max<std::uint64_t>(roundUp(start, frameSize), ramStart_);
    std::uint64_t high = std::min<std::uint64_t>((std::uint64_t{start} + size) & ~frameMask,
                                                 std::uint64_t{ramStart_} + ramSize_);
    regionStart = static_cast<std::uint32_t>(low);
    regionSize = high > low ? static_cast<std::uint32_t>(high - low) : 0;
    poolBuilt = false;
}

void PhysicalMemory::setFrameOrder(FrameOrder newOrder, std::uint32_t newSeed) {
    order = newOrder;
    seed = newSeed;
    poolBuilt = false;
}

std::size_t PhysicalMemory::freeFrames() {
    buildPool();
    return pool.size();
}

void PhysicalMemory::buildPool() {
    if (poolBuilt) return;
    pool.clear();
    for (std::uint64_t f = regionStart; f < std::uint64_t{regionStart} + regionSize; f += frameSize) {
        auto frameAddress = static_cast<std::uint32_t>(f);
        if (!committed.contains(frameAddress)) pool.push_back(frameAddress);
    }
    // The pool is taken from the back.
    if (order == FrameOrder::ascending) std::reverse(pool.begin(), pool.end());
    if (order == FrameOrder::scattered) {
        // Fisher-Yates over mt19937, whose output is fixed by the standard, so that a
        // seed gives the same frames on every host.
        std::mt19937 random(seed);
        for (std::size_t i = pool.size(); i > 1; --i) std::swap(pool[i - 1], pool[random() % i]);
    }
    poolBuilt = true;
}

std::uint8_t* PhysicalMemory::frame(std::uint32_t physical) {
    if (!isRam(physical)) return nullptr;
    std::uint32_t start = physical & ~static_cast<std::uint32_t>(frameMask);
    if (auto page = committed.find(start); page != committed.end()) return page->second;
    std::unique_ptr<std::uint8_t[]>& bytes = loose[start];
    if (!bytes) {
        bytes = std::make_unique<std::uint8_t[]>(frameSize);
        std::memset(bytes.get(), fillByte, frameSize);
    }
    return bytes.get();
}

const std::uint8_t* PhysicalMemory::existingFrame(std::uint32_t physical) const {
    std::uint32_t start = physical & ~static_cast<std::uint32_t>(frameMask);
    if (auto page = committed.find(start); page != committed.end()) return page->second;
    auto bytes = loose.find(start);
    return bytes != loose.end() ? bytes->second.get() : nullptr;
}

bool PhysicalMemory::read(std::uint32_t physical, void* out, std::uint32_t length) {
    if (!isRam(physical, length)) return false;
    auto* to = static_cast<std::uint8_t*>(out);
    while (length > 0) {
        std::uint32_t offset = physical & frameMask;
        std::uint32_t n = std::min(length, frameSize - offset);
        std::memcpy(to, frame(physical) + offset, n);
        to += n;
        physical += n;
        length -= n;
    }
    return true;
}

bool PhysicalMemory::write(std::uint32_t physical, const void* data, std::uint32_t length) {
    if (!isRam(physical, length)) return false;
    const auto* from = static_cast<const std::uint8_t*>(data);
    while (length > 0) {
        std::uint32_t offset = physical & frameMask;
        std::uint32_t n = std::min(length, frameSize - offset);
        std::memcpy(frame(physical) + offset, from, n);
        from += n;
        physical += n;
        length -= n;
    }
    return true;
}

std::optional<std::uint32_t> PhysicalMemory::readWord(std::uint32_t physical) {
    std::uint32_t word = 0;
    if (!read(physical, &word, sizeof word)) return std::nullopt;
    return word;
}

std::vector<CommittedFrame> PhysicalMemory::committedFrames() const {
    std::vector<CommittedFrame> frames;
    frames.reserve(committed.size());
    for (const auto& [physical, bytes] : committed) frames.push_back({physical, bytes});
    std::sort(frames.begin(), frames.end(),
              [](const CommittedFrame& a, const CommittedFrame& b) { return a.physical < b.physical; });
    return frames;
}

std::optional<CommittedPage> PhysicalMemory::committedPage(const void* address) const {
    const Block* block = blockAt(address);
    if (block == nullptr || block->frames.empty()) return std::nullopt;
    auto offset = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(address) - block->bytes.get());
    std::uint32_t index = offset / frameSize;
    if (index >= block->frames.size()) return std::nullopt;
    return CommittedPage{block->frames[index] + (offset & static_cast<std::uint32_t>(frameMask)), index};
}

void PhysicalMemory::attachDevice(std::uint32_t base, std::uint32_t size, std::shared_ptr<DeviceModel> model) {
    // A model attached over a window replaces the one there, so that a test can put
    // its own device where the machine has one.
    std::erase_if(devices, [base](const DeviceWindow& window) { return window.base == base; });
    devices.push_back({base, size, std::move(model)});
}

void* PhysicalMemory::commit(std::uint32_t size) {
    if (commitFails || size == 0) return nullptr;
    std::uint64_t pages = roundUp(size, frameSize) / frameSize;
    buildPool();
    if (pool.size() < pages) return nullptr;
    void* bytes = reserve(static_cast<std::uint32_t>(pages * frameSize));
    if (bytes == nullptr) return nullptr;
    Block& block = *blockAt(bytes);
    // Pages come committed with zeros, as the platform hands them out.
    std::memset(bytes, 0, block.size);
    for (std::uint64_t i = 0; i < pages; ++i) {
        std::uint32_t f = pool.back();
        pool.pop_back();
        block.frames.push_back(f);
        committed[f] = block.bytes.get() + i * frameSize;
        loose.erase(f);
    }
    return bytes;
}

void* PhysicalMemory::reserve(std::uint32_t size) {
    if (size == 0) return nullptr;
    std::uint64_t bytes = roundUp(size, granule);
    auto* address = static_cast<std::uint8_t*>(::operator new[](bytes, std::align_val_t{granule}, std::nothrow));
    if (address == nullptr) return nullptr;
    Block& block = blocks[reinterpret_cast<std::uintptr_t>(address)];
    block.bytes.reset(address);
    block.size = static_cast<std::uint32_t>(bytes);
    return address;
}

bool PhysicalMemory::release(void* base) {
    auto it = blocks.find(reinterpret_cast<std::uintptr_t>(base));
    if (it == blocks.end()) return false;
    Block& block = it->second;
    for (std::size_t i = 0; i < block.frames.size(); ++i) {
        // The frame keeps what was written to it, as RAM does.
        std::uint32_t f = block.frames[i];
        committed.erase(f);
        std::memcpy(frame(f), block.bytes.get() + i * frameSize, frameSize);
        if (f >= regionStart && f - regionStart < regionSize) pool.push_back(f);
    }
    blocks.erase(it);
    return true;
}

bool PhysicalMemory::map(void* destination, std::uint32_t physical, std::uint32_t size) {
    if (mapFails || size == 0) return false;
    Block* block = blockAt(destination);
    if (block == nullptr || !block->frames.empty()) return false;
    auto* at = static_cast<std::uint8_t*>(destination);
    std::uint64_t offset = static_cast<std::uint64_t>(at - block->bytes.get());
    if (!frameAligned(offset) || !frameAligned(physical) || !frameAligned(size)) return false;
    if (offset + size > block->size || std::uint64_t{physical} + size > 0x100000000u) return false;
    block->mappings.push_back({at, size, physical});
    return true;
}

std::uint32_t PhysicalMemory::readThrough(const void* pointer, unsigned width) {
    std::uint32_t value = 0;
    const Block* block = blockAt(pointer);
    std::uint32_t physical = 0;
    if (block == nullptr || !block->frames.empty()) {
        std::memcpy(&value, pointer, width);
    } else if (!mappedPhysical(*block, static_cast<const std::uint8_t*>(pointer), physical)) {
        strayAccess(pointer);
    } else if (isRam(physical, width)) {
        read(physical, &value, width);
    } else if (std::uint32_t offset = 0; DeviceModel* device = deviceAt(physical, offset)) {
        value = device->readRegister(offset, width);
    }
    return value;
}

void PhysicalMemory::writeThrough(void* pointer, std::uint32_t value, unsigned width) {
    const Block* block = blockAt(pointer);
    std::uint32_t physical = 0;
    if (block == nullptr || !block->frames.empty()) {
        std::memcpy(pointer, &value, width);
    } else if (!mappedPhysical(*block, static_cast<const std::uint8_t*>(pointer), physical)) {
        strayAccess(pointer);
    } else if (isRam(physical, width)) {
        write(physical, &value, width);
    } else if (std::uint32_t offset = 0; DeviceModel* device = deviceAt(physical, offset)) {
        device->writeRegister(offset, value, width);
    }
}

PhysicalMemory::Block* PhysicalMemory::blockAt(const void* address) {
    return const_cast<Block*>(static_cast<const PhysicalMemory*>(this)->blockAt(address));
}

const PhysicalMemory::Block* PhysicalMemory::blockAt(const void* address) const {
    auto key = reinterpret_cast<std::uintptr_t>(address);
    auto it = blocks.upper_bound(key);
    if (it == blocks.begin()) return nullptr;
    --it;
    return key - it->first < it->second.size ? &it->second : nullptr;
}

DeviceModel* PhysicalMemory::deviceAt(std::uint32_t physical, std::uint32_t& offset) const {
    for (const DeviceWindow& window : devices) {
        if (physical >= window.base && physical - window.base < window.size) {
            offset = physical - window.base;
            return window.model.get();
        }
    }
    return nullptr;
}

bool PhysicalMemory::mappedPhysical(const Block& block, const std::uint8_t* pointer, std::uint32_t& physical) {
    for (const Mapping& m : block.mappings) {
        if (pointer >= m.address && static_cast<std::uint64_t>(pointer - m.address) < m.size) {
            physical = m.physical + static_cast<std::uint32_t>(pointer - m.address);
            return true;
        }
    }
    return false;
}

}  // namespace sandbox
