#include "sandbox/ProcessorState.h"

namespace sandbox {

std::uint32_t mainIdOf(Processor processor) {
    switch (processor) {
        case Processor::sa1100: return 0x4401A11B;  // SA-1100 rev. B
        case Processor::sa1110: return 0x6901B119;  // SA-1110 rev. B4
        case Processor::pxa250: return 0x69052100;  // PXA250 rev. A0
        case Processor::pxa270: return 0x69054117;  // PXA270 rev. C5
    }
    return 0;
}

ProcessorState initialProcessorState(const MachineProfile& profile) {
    ProcessorState state{};
    state.cpsr = 0x20000000 | userMode;
    state.cp15.mainId = mainIdOf(profile.processor);
    bool strongArm = isStrongArm(profile);
    // MMU, alignment check, caches and write buffer on, high vectors; XScale also
    // has branch prediction on.
    state.cp15.control = strongArm ? 0x0000317F : 0x0000397F;
    // The platform's first-level table, in the first DRAM bank.
    state.cp15.translationBase = profile.banks[0].start + 0x00024000;
    state.cp15.domainAccess = 0x00000001;
    // What the last demand-paging fault left: a page translation fault.
    state.cp15.faultStatus = 0x00000007;
    state.cp15.faultAddress = 0x0004A2C4;
    // The boot loader runs in the third process slot.
    state.cp15.processId = 0x06000000;
    state.cp15.register14 = 0;
    return state;
}

}  // namespace sandbox
