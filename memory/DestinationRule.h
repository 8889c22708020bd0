// Where the second-stage loader of each processor family writes a range.
#pragma once

#include <cstdint>

/// How a walker turns a range's destination into the address it writes.
enum class DestinationRule {
    asLinked,        // SA-11x0: the destination is physical
    firstSdramBank,  // PXA2x0: the low 24 bits, in the bank at 0xA0000000
};

/// The address the walk writes for the destination `dst`; also applied to the
/// kernel entry.
constexpr std::uint32_t walkDestination(DestinationRule rule, std::uint32_t dst) {
    return rule == DestinationRule::firstSdramBank ? (dst & 0x00FFFFFF) | 0xA0000000 : dst;
}

/// The link addresses that the first-bank rule keeps apart: a chain whose ranges lie
/// in different windows of this size lands folded over itself.
inline constexpr std::uint64_t firstBankWindow = 0x01000000;

/// The kernel's initial stack pointer: 8 KiB behind the end of the last range the
/// walk processed, on a 4 KiB boundary, in the walker's 32-bit arithmetic.
constexpr std::uint32_t kernelStackTop(std::uint32_t lastRangeEnd) { return (lastRangeEnd + 0x2000) & ~0xFFFu; }
