// The processor primitives in a build for a host that cannot execute ARM code: each
// call hands the assembled routine to the platform's processor role, which runs it
// on the processor. A build for the handheld links arch/ArmPrimitives.S instead.
#include "arch/ArmPrimitives.h"
#include "arch/ArmRoutinesCode.h"
#include "memory/FlatJump_pxa2x0.h"
#include "platform/processor.h"

namespace {

std::uint32_t run(platform::ArmRoutine routine) { return platform::runArmRoutine(armRoutines::code, routine, {}); }

}  // namespace

extern "C" {

void disableInterrupts() { run(armRoutines::disableInterrupts); }
void enableInterrupts() { run(armRoutines::enableInterrupts); }
std::uint32_t readCpsr() { return run(armRoutines::readCpsr); }
std::uint32_t readCp15Id() { return run(armRoutines::readCp15Id); }
std::uint32_t readCp15Control() { return run(armRoutines::readCp15Control); }
std::uint32_t readCp15TranslationTableBase() { return run(armRoutines::readCp15TranslationTableBase); }
std::uint32_t readCp15DomainAccess() { return run(armRoutines::readCp15DomainAccess); }
std::uint32_t readCp15FaultStatus() { return run(armRoutines::readCp15FaultStatus); }
std::uint32_t readCp15FaultAddress() { return run(armRoutines::readCp15FaultAddress); }
std::uint32_t readCp15ProcessId() { return run(armRoutines::readCp15ProcessId); }
std::uint32_t readCp15Register14() { return run(armRoutines::readCp15Register14); }

void cleanDataCache() {
    // The routine finds both through its literal pool, at their link addresses.
    const platform::ArmData data[] = {
        {armRoutines::dataCacheSizeAddress, &dataCacheSize, sizeof dataCacheSize},
        {armRoutines::cacheCleanAreaAddress, cacheCleanArea, sizeof cacheCleanArea},
    };
    platform::runArmRoutine(armRoutines::code, armRoutines::cleanDataCache, {}, data);
}

void FlatJump_sa11x0(std::uint32_t bootPage, std::uint32_t tagChain, std::uint32_t stackPointer,
                     std::uint32_t loaderPhysical) {
    platform::leavePlatform(armRoutines::code, armRoutines::FlatJump_sa11x0,
                            {bootPage, tagChain, stackPointer, loaderPhysical});
}

void FlatJump_pxa2x0(std::uint32_t bootPage, std::uint32_t tagChain, std::uint32_t stackPointer,
                     std::uint32_t loaderPhysical) {
    platform::leavePlatform(armRoutines::code, armRoutines::FlatJump_pxa2x0,
                            {bootPage, tagChain, stackPointer, loaderPhysical});
}

}  // extern "C"
