// The simulated handheld's physical memory: RAM frames, the pool committed pages take
// their frames from, committed and reserved blocks, and physical windows mapped into
// reserved blocks.
//
// Virtual addresses are host pointers. A committed page's frame is stored in the host
// page of its block, so the boot loader writes the frame when it writes the page; the
// physical view below reaches the same bytes. Frames behind no committed page are
// created on first touch and hold `fillByte` until written, so that a range the
// second-stage loader should have cleared shows up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "sandbox/DeviceModel.h"
#include "sandbox/MachineProfile.h"

namespace sandbox {

/// The order in which committed pages take frames from the pool.
enum class FrameOrder { scattered, ascending, descending };

/// A frame behind a committed page: its physical address and its bytes.
struct CommittedFrame {
    std::uint32_t physical;
    std::uint8_t* bytes;
};

/// A committed page: the frame behind it and its index inside its block.
struct CommittedPage {
    std::uint32_t physical;
    std::uint32_t index;
};

class PhysicalMemory {
public:
    static constexpr std::uint32_t frameSize = 4096;
    /// Blocks are placed on the platform's allocation granularity.
    static constexpr std::uint32_t granule = 0x10000;
    static constexpr std::uint8_t fillByte = 0xA5;
    static constexpr std::uint32_t defaultSeed = 0x7E3B12C5;

    explicit PhysicalMemory(const MachineProfile& profile);
    ~PhysicalMemory();
    PhysicalMemory(const PhysicalMemory&) = delete;
    PhysicalMemory& operator=(const PhysicalMemory&) = delete;

    // RAM and the free-frame pool.

    std::uint32_t ramStart() const { return ramStart_; }
    std::uint32_t ramSize() const { return ramSize_; }
    /// True when [physical, physical + length) is populated RAM.
    bool isRam(std::uint32_t physical, std::uint32_t length = 1) const;
    /// Committed pages take frames from [start, start + size), cut to whole frames of
    /// RAM. The default is the upper half of RAM, clear of where kernels are linked.
    void setFrameRegion(std::uint32_t start, std::uint32_t size);
    /// Scattered is a shuffle seeded with `seed`, the same for the same seed.
    void setFrameOrder(FrameOrder order, std::uint32_t seed = defaultSeed);
    /// Frames still free in the region.
    std::size_t freeFrames();

    // The physical view.

    /// The bytes of the frame that holds `physical` (frameSize of them, from the
    /// frame's start), or null when the address is not RAM.
    std::uint8_t* frame(std::uint32_t physical);
    /// The frame that holds `physical` if it has been committed or touched; null for a
    /// frame that still holds only `fillByte`. Creates nothing.
    const std::uint8_t* existingFrame(std::uint32_t physical) const;
    /// Copies between RAM and host memory; false (and nothing copied) when the range
    /// is not all RAM.
    bool read(std::uint32_t physical, void* out, std::uint32_t length);
    bool write(std::uint32_t physical, const void* data, std::uint32_t length);
    std::optional<std::uint32_t> readWord(std::uint32_t physical);
    /// Every frame that holds a committed page, by ascending physical address.
    std::vector<CommittedFrame> committedFrames() const;
    /// The committed page at `address` (any byte of it), or nothing.
    std::optional<CommittedPage> committedPage(const void* address) const;

    // Device models: accesses through a window mapped over [base, base + size) reach
    // `model` with the offset from `base`. A model attached at the base of another
    // replaces it.
    void attachDevice(std::uint32_t base, std::uint32_t size, std::shared_ptr<DeviceModel> model);

    // Faults a test can inject.
    bool commitFails = false;
    bool mapFails = false;

    // The virtual-memory operations behind the platform's memory role.

    /// A new block of `size` bytes, each page committed to a frame of the pool and
    /// cleared; null when the fault is set or the pool is short.
    void* commit(std::uint32_t size);
    /// A new block of `size` bytes of address space with no frames.
    void* reserve(std::uint32_t size);
    /// Releases the block that starts at `base`; its frames return to the pool.
    bool release(void* base);
    /// Maps [physical, physical + size) at `destination` inside a reserved block.
    /// Both must be frame-aligned.
    bool map(void* destination, std::uint32_t physical, std::uint32_t size);
    /// Blocks obtained and not yet released.
    std::size_t blockCount() const { return blocks.size(); }

    // Register accesses through a pointer: a committed page reaches its frame, a
    // mapped window reaches RAM or the device model behind it, and any other host
    // pointer is plain memory. An access into a reserved block where nothing is
    // mapped is a fault in the caller and stops the program.
    std::uint32_t readThrough(const void* pointer, unsigned width);
    void writeThrough(void* pointer, std::uint32_t value, unsigned width);

private:
    struct Mapping {
        std::uint8_t* address;
        std::uint32_t size;
        std::uint32_t physical;
    };
    struct AlignedDelete {
        void operator()(std::uint8_t* bytes) const;
    };
    struct Block {
        std::unique_ptr<std::uint8_t[], AlignedDelete> bytes;
        std::uint32_t size;
        std::vector<std::uint32_t> frames;  // committed blocks: one per page
        std::vector<Mapping> mappings;      // reserved blocks
    };
    struct DeviceWindow {
        std::uint32_t base;
        std::uint32_t size;
        std::shared_ptr<DeviceModel> model;
    };

    void buildPool();
    Block* blockAt(const void* address);
    const Block* blockAt(const void* address) const;
    DeviceModel* deviceAt(std::uint32_t physical, std::uint32_t& offset) const;
    /// The physical address a mapped window pointer reaches; false outside mappings.
    static bool mappedPhysical(const Block& block, const std::uint8_t* pointer, std::uint32_t& physical);

    std::uint32_t ramStart_;
    std::uint32_t ramSize_;
    std::uint32_t regionStart;
    std::uint32_t regionSize;
    FrameOrder order = FrameOrder::scattered;
    std::uint32_t seed = defaultSeed;
    bool poolBuilt = false;
    std::vector<std::uint32_t> pool;  // taken from the back
    std::map<std::uintptr_t, Block> blocks;
    std::unordered_map<std::uint32_t, std::uint8_t*> committed;  // frame -> host page
    std::unordered_map<std::uint32_t, std::unique_ptr<std::uint8_t[]>> loose;
    std::vector<DeviceWindow> devices;
};

}  // namespace sandbox
