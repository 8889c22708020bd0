// The data of the processor primitives.
#include "arch/ArmPrimitives.h"

extern "C" {

std::uint32_t dataCacheSize = 8192;
// Line-aligned, so that every read of the clean touches a line of its own.
alignas(32) std::uint32_t cacheCleanArea[65536 / 4];

}  // extern "C"
