// The page handed to the kernel: its entry, its arguments and the BootInfo block.
// Both are an interface to the kernel, fixed byte for byte; all values are
// little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "the blocks are written as they lie in memory");

/// What the kernel learns about the display, the console, the platform and the time.
struct BootInfo {
    static constexpr std::uint32_t magicValue = 0x13536135;

    std::uint16_t length;  // 36
    std::uint16_t reserved;
    std::uint32_t magic;
    std::uint32_t framebufferAddress;
    std::int16_t lineBytes;
    std::int16_t width;
    std::int16_t height;
    std::int16_t framebufferType;
    std::int16_t console;  // 1 window console, 2 serial console
    std::uint16_t unused;
    std::uint32_t cpuCode;
    std::uint32_t machineCode;
    std::int32_t timeZone;  // minutes; universal time = local time + timeZone
};

static_assert(sizeof(BootInfo) == 36);
static_assert(offsetof(BootInfo, length) == 0);
static_assert(offsetof(BootInfo, reserved) == 2);
static_assert(offsetof(BootInfo, magic) == 4);
static_assert(offsetof(BootInfo, framebufferAddress) == 8);
static_assert(offsetof(BootInfo, lineBytes) == 12);
static_assert(offsetof(BootInfo, width) == 14);
static_assert(offsetof(BootInfo, height) == 16);
static_assert(offsetof(BootInfo, framebufferType) == 18);
static_assert(offsetof(BootInfo, console) == 20);
static_assert(offsetof(BootInfo, unused) == 22);
static_assert(offsetof(BootInfo, cpuCode) == 24);
static_assert(offsetof(BootInfo, machineCode) == 28);
static_assert(offsetof(BootInfo, timeZone) == 32);

/// The head of the hand-over page. The second-stage loader reads its first four
/// words; the argument area follows it up to the page's payload end.
struct HandoverBlock {
    std::uint32_t entry;     // the kernel entry as linked
    std::uint32_t argc;
    std::uint32_t argv;      // physical address of the argument-pointer array
    std::uint32_t bootInfo;  // physical address of `info`
    BootInfo info;
};

static_assert(sizeof(HandoverBlock) == 52);
static_assert(offsetof(HandoverBlock, entry) == 0);
static_assert(offsetof(HandoverBlock, argc) == 4);
static_assert(offsetof(HandoverBlock, argv) == 8);
static_assert(offsetof(HandoverBlock, bootInfo) == 12);
static_assert(offsetof(HandoverBlock, info) == 16);

/// Where the argument area starts in the hand-over page.
inline constexpr std::uint32_t argumentAreaOffset = sizeof(HandoverBlock);
