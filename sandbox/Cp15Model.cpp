#include "sandbox/Cp15Model.h"

namespace sandbox {

std::optional<Cp15Transfer> decodeCp15(std::uint32_t instruction) {
    // cond 1110 opc1:3 L CRn Rd 1111 opc2:3 1 CRm, with cond = always.
    if ((instruction & 0xFF000F10) != 0xEE000F10) return std::nullopt;
    return Cp15Transfer{
        (instruction & 0x00100000) != 0,  (instruction >> 16) & 0xF, instruction & 0xF,
        (instruction >> 21) & 0x7,        (instruction >> 5) & 0x7,  (instruction >> 12) & 0xF,
    };
}

namespace {

std::uint32_t* registerOf(Cp15Registers& r, const Cp15Transfer& t) {
    if (t.crm != 0 || t.opcode1 != 0 || t.opcode2 != 0) return nullptr;
    switch (t.crn) {
        case 0: return &r.mainId;
        case 1: return &r.control;
        case 2: return &r.translationBase;
        case 3: return &r.domainAccess;
        case 5: return &r.faultStatus;
        case 6: return &r.faultAddress;
        case 13: return &r.processId;
        case 14: return &r.register14;
        default: return nullptr;
    }
}

}  // namespace

std::uint32_t readCp15(ProcessorState& state, const Cp15Transfer& transfer) {
    const std::uint32_t* held = registerOf(state.cp15, transfer);
    std::uint32_t value = held != nullptr ? *held : 0;
    state.cp15Log.push_back({false, transfer.crn, transfer.crm, transfer.opcode2, value});
    return value;
}

void writeCp15(ProcessorState& state, const Cp15Transfer& transfer, std::uint32_t value) {
    state.cp15Log.push_back({true, transfer.crn, transfer.crm, transfer.opcode2, value});
    // c7 and c8 are cache and TLB operations with nothing to keep; the ID register is
    // fixed.
    std::uint32_t* held = registerOf(state.cp15, transfer);
    if (held != nullptr && transfer.crn != 0) *held = value;
}

}  // namespace sandbox
