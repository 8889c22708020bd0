// The second-stage loader blocks that the back ends copy into the loader page: the
// routine (memory/SecondStageLoader.S) padded to its fixed copy size. The build
// fails when a routine outgrows its block.
#pragma once

#include <cstdint>
#include <span>

#include "memory/SecondStageLoaderPxa2x0Code.h"
#include "memory/SecondStageLoaderSa11x0Code.h"

inline constexpr std::uint32_t sa11x0LoaderCopySize = 424;
inline constexpr std::uint32_t pxa2x0LoaderCopySize = 392;

static_assert(sa11x0Loader::size == sa11x0LoaderCopySize);
static_assert(pxa2x0Loader::size == pxa2x0LoaderCopySize);

/// The SA-11x0 variant: destinations as they are.
inline std::span<const std::uint8_t> sa11x0LoaderBlock() { return sa11x0Loader::bytes; }
/// The PXA2x0 variant: destinations and the entry moved into the first SDRAM bank.
inline std::span<const std::uint8_t> pxa2x0LoaderBlock() { return pxa2x0Loader::bytes; }
