// The simulated processor state of the boot loader's thread: the CPSR and the
// system-control coprocessor (CP15), as the privileged routines see them.
#pragma once

#include <cstdint>
#include <vector>

#include "sandbox/MachineProfile.h"

namespace sandbox {

// CPSR mode field values and mask bits.
inline constexpr std::uint32_t modeMask = 0x1F;
inline constexpr std::uint32_t userMode = 0x10;
inline constexpr std::uint32_t supervisorMode = 0x13;
inline constexpr std::uint32_t systemMode = 0x1F;
inline constexpr std::uint32_t interruptMask = 0xC0;  // IRQ (bit 7) and FIQ (bit 6)

/// The CP15 registers the boot loader reads, by register number.
struct Cp15Registers {
    std::uint32_t mainId;           // c0
    std::uint32_t control;          // c1
    std::uint32_t translationBase;  // c2
    std::uint32_t domainAccess;     // c3
    std::uint32_t faultStatus;      // c5
    std::uint32_t faultAddress;     // c6
    std::uint32_t processId;        // c13
    std::uint32_t register14;       // c14
};

/// One CP15 instruction the processor carried out.
struct Cp15Operation {
    bool write;
    std::uint32_t crn;
    std::uint32_t crm;
    std::uint32_t opcode2;
    std::uint32_t value;  // written, or read
};

struct ProcessorState {
    std::uint32_t cpsr;
    Cp15Registers cp15;
    /// The mode the kernel-mode switch puts the thread in when asked for privilege.
    /// System mode on a sound machine; a test sets another mode to inject the fault.
    std::uint32_t privilegedMode = systemMode;
    /// CP15 instructions in the order they ran.
    std::vector<Cp15Operation> cp15Log;
    /// Privileged instructions that trapped because the thread was not privileged.
    std::vector<std::uint32_t> faultAddresses;
};

/// The state of a thread of a running platform on this machine: user mode with
/// interrupts enabled, MMU and caches on.
ProcessorState initialProcessorState(const MachineProfile& profile);

/// CP15 main-ID value of each processor model.
std::uint32_t mainIdOf(Processor processor);

}  // namespace sandbox
