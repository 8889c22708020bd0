// The processor primitives: the system's own ARM code (arch/ArmPrimitives.S), the
// only routines besides the second-stage loader and its switch that touch
// privileged processor state. Masking interrupts sets CPSR bits I (7) and F (6).
#pragma once

#include <cstdint>

extern "C" {

/// Bytes of the clean area that cleanDataCache reads; each back end's init sets it.
extern std::uint32_t dataCacheSize;
/// What cleanDataCache reads; nothing writes it.
extern std::uint32_t cacheCleanArea[65536 / 4];

void disableInterrupts();
void enableInterrupts();
std::uint32_t readCpsr();
std::uint32_t readCp15Id();
std::uint32_t readCp15Control();
std::uint32_t readCp15TranslationTableBase();
std::uint32_t readCp15DomainAccess();
std::uint32_t readCp15FaultStatus();
std::uint32_t readCp15FaultAddress();
std::uint32_t readCp15ProcessId();
std::uint32_t readCp15Register14();
/// Reads one word per 32-byte line of dataCacheSize bytes of the clean area.
void cleanDataCache();
/// Leaves the platform on SA-11x0 machines: masks interrupts, turns the MMU and
/// caches off and enters the second-stage loader at `loaderPhysical`. Returns only
/// when the platform could not be left.
void FlatJump_sa11x0(std::uint32_t bootPage, std::uint32_t tagChain, std::uint32_t stackPointer,
                     std::uint32_t loaderPhysical);

}  // extern "C"
