// The system-control coprocessor as the platform's thread sees it: MRC and MCR
// instructions for p15 carried out on a ProcessorState.
#pragma once

#include <cstdint>
#include <optional>

#include "sandbox/ProcessorState.h"

namespace sandbox {

/// One MRC or MCR instruction for coprocessor 15.
struct Cp15Transfer {
    bool read;  // MRC: coprocessor to register
    std::uint32_t crn;
    std::uint32_t crm;
    std::uint32_t opcode1;
    std::uint32_t opcode2;
    std::uint32_t rd;  // the ARM register
};

/// The transfer `instruction` encodes, or nothing when it is no unconditional MRC or
/// MCR for p15.
std::optional<Cp15Transfer> decodeCp15(std::uint32_t instruction);

/// The register an MRC reads; registers the model does not hold read as 0. The read
/// is logged.
std::uint32_t readCp15(ProcessorState& state, const Cp15Transfer& transfer);

/// Carries out an MCR: a register the model holds takes the value; cache and TLB
/// operations are only logged.
void writeCp15(ProcessorState& state, const Cp15Transfer& transfer, std::uint32_t value);

}  // namespace sandbox
