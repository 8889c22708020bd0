// The processor role: the kernel-mode switch of the calling thread, and the boot
// loader's privileged routines, which run on an emulated core against the thread's
// simulated processor state.
#include "platform/processor.h"
#include "sandbox/Machine.h"
#include "sandbox/RoutineRunner.h"

namespace platform {

bool setKernelMode(bool privileged) {
    sandbox::Machine& m = sandbox::machine();
    bool previous = m.kernelMode;
    m.kernelMode = privileged;
    std::uint32_t mode = privileged ? m.processor.privilegedMode : sandbox::userMode;
    m.processor.cpsr = (m.processor.cpsr & ~sandbox::modeMask) | mode;
    return previous;
}

std::uint32_t runArmRoutine(const ArmCode& code, ArmRoutine routine, const std::array<std::uint32_t, 4>& args,
                            std::span<const ArmData> data) {
    sandbox::Machine& m = sandbox::machine();
    sandbox::RoutineRun run;
    std::uint32_t result = sandbox::runRoutine(m.profile.processor, m.processor, code, routine, args, data, run);
    m.routineRuns.push_back(std::move(run));
    return result;
}

void leavePlatform(const ArmCode& code, ArmRoutine routine, const std::array<std::uint32_t, 4>& args) {
    sandbox::Machine& m = sandbox::machine();
    m.platformLeft = sandbox::SwitchRecord{code, routine, args, m.processor};
    if (m.onLeave) m.onLeave(*m.platformLeft);
}

}  // namespace platform
