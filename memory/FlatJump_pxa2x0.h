// The switch that leaves the platform on PXA2x0 machines (memory/FlatJump_pxa2x0.S).
#pragma once

#include <cstdint>

extern "C" {

/// Masks interrupts, invalidates the caches, turns the MMU and caches off,
/// invalidates the TLBs and enters the second-stage loader at `loaderPhysical` with
/// the first three arguments in r0-r2. Returns only when the platform could not be
/// left.
void FlatJump_pxa2x0(std::uint32_t bootPage, std::uint32_t tagChain, std::uint32_t stackPointer,
                     std::uint32_t loaderPhysical);

}  // extern "C"
