#include "sandbox/RoutineModel.h"

#include <cstring>

#include "arch/ArmRoutinesCode.h"
#include "sandbox/Cp15Model.h"

namespace sandbox {

namespace {

bool privileged(const ProcessorState& state) { return (state.cpsr & modeMask) != userMode; }

bool is(platform::ArmRoutine a, platform::ArmRoutine b) { return a.address == b.address; }

/// "mrs r0, cpsr; orr or bic r0, #0xC0; msr cpsr_c, r0": user mode may not change
/// the control bits, so there only r0 changes.
std::uint32_t setInterruptMask(ProcessorState& state, bool masked) {
    std::uint32_t value = masked ? state.cpsr | interruptMask : state.cpsr & ~interruptMask;
    if (privileged(state)) state.cpsr = (state.cpsr & ~0xFFu) | (value & 0xFF);
    return value;
}

/// "mrc p15, 0, r0, crN, c0, 0", the routine's first instruction; in user mode it
/// traps and r0 keeps its argument.
std::uint32_t readCp15Register(ProcessorState& state, platform::ArmRoutine routine, std::uint32_t crn,
                               std::uint32_t r0) {
    if (!privileged(state)) {
        state.faultAddresses.push_back(routine.address);
        return r0;
    }
    return readCp15(state, Cp15Transfer{true, crn, 0, 0, 0, 0});
}

/// The data window that holds [address, address + 4), or null.
const platform::ArmData* windowOf(std::span<const platform::ArmData> data, std::uint32_t address) {
    for (const platform::ArmData& window : data) {
        if (address >= window.address && address - window.address + 4 <= window.size) return &window;
    }
    return nullptr;
}

/// The condition flags "cmp a, b" leaves in the CPSR.
void compare(ProcessorState& state, std::uint32_t a, std::uint32_t b) {
    std::uint32_t difference = a - b;
    std::uint32_t flags = (difference & 0x80000000u) | (difference == 0 ? 0x40000000u : 0) |
                          (a >= b ? 0x20000000u : 0) | ((((a ^ b) & (a ^ difference)) >> 31) << 28);
    state.cpsr = (state.cpsr & 0x0FFFFFFFu) | flags;
}

/// One word per 32-byte line of the clean area, as large as the data cache; the loop
/// ends on "cmp line, end".
std::uint32_t cleanDataCache(ProcessorState& state, std::span<const platform::ArmData> data, RoutineRun& run) {
    const platform::ArmData* sizeWindow = windowOf(data, armRoutines::dataCacheSizeAddress);
    if (sizeWindow == nullptr) {
        run.error = "the cache size is not mapped";
        return 0;
    }
    std::uint32_t size = 0;
    std::memcpy(&size, static_cast<const std::uint8_t*>(sizeWindow->host) +
                           (armRoutines::dataCacheSizeAddress - sizeWindow->address), sizeof size);
    run.dataReads.push_back(armRoutines::dataCacheSizeAddress);
    std::uint32_t line = armRoutines::cacheCleanAreaAddress;
    std::uint32_t end = line + size;
    for (; line < end; line += 32) {
        if (windowOf(data, line) == nullptr) {
            run.error = "the clean area is not mapped";
            return 0;
        }
        run.dataReads.push_back(line);
    }
    compare(state, line, end);
    return line;
}

struct Cp15Read {
    platform::ArmRoutine routine;
    std::uint32_t crn;
};

constexpr Cp15Read cp15Reads[] = {
    {armRoutines::readCp15Id, 0},           {armRoutines::readCp15Control, 1},
    {armRoutines::readCp15TranslationTableBase, 2}, {armRoutines::readCp15DomainAccess, 3},
    {armRoutines::readCp15FaultStatus, 5},  {armRoutines::readCp15FaultAddress, 6},
    {armRoutines::readCp15ProcessId, 13},   {armRoutines::readCp15Register14, 14},
};

}  // namespace

std::uint32_t modelRoutine(ProcessorState& state, const platform::ArmCode& code, platform::ArmRoutine routine,
                           const std::array<std::uint32_t, 4>& args, std::span<const platform::ArmData> data,
                           RoutineRun& run) {
    run = RoutineRun{routine.address, {}, {}};
    if (code.base != armRoutines::code.base) {
        run.error = "not the boot loader's routine block";
        return 0;
    }
    if (is(routine, armRoutines::disableInterrupts)) return setInterruptMask(state, true);
    if (is(routine, armRoutines::enableInterrupts)) return setInterruptMask(state, false);
    if (is(routine, armRoutines::readCpsr)) return state.cpsr;
    for (const Cp15Read& read : cp15Reads) {
        if (is(routine, read.routine)) return readCp15Register(state, routine, read.crn, args[0]);
    }
    if (is(routine, armRoutines::cleanDataCache)) return cleanDataCache(state, data, run);
    run.error = "the model does not know this routine";
    return 0;
}

}  // namespace sandbox
