#include "sandbox/RoutineRunner.h"

#include <unicorn/unicorn.h>

#include "sandbox/ArmCore.h"

namespace sandbox {

namespace {

/// No primitive runs this long; a routine that does has lost its way.
constexpr std::uint64_t instructionLimit = 1000000;

void recordRead(uc_engine*, uc_mem_type, std::uint64_t address, int, std::int64_t, void* user) {
    static_cast<RoutineRun*>(user)->dataReads.push_back(static_cast<std::uint32_t>(address));
}

bool mapData(ArmCore& core, std::span<const platform::ArmData> data, RoutineRun& run) {
    for (const platform::ArmData& window : data) {
        if (!core.mapOwn(window.address, window.size) || !core.write(window.address, window.host, window.size)) return false;
        uc_hook hook;
        uc_hook_add(core.engine(), &hook, UC_HOOK_MEM_READ, reinterpret_cast<void*>(recordRead), &run, window.address,
                    window.address + window.size - 1);
    }
    return true;
}

bool copyDataBack(ArmCore& core, std::span<const platform::ArmData> data) {
    for (const platform::ArmData& window : data) {
        if (!core.read(window.address, window.host, window.size)) return false;
    }
    return true;
}

}  // namespace

std::uint32_t runRoutine(Processor processor, ProcessorState& state, const platform::ArmCode& code,
                         platform::ArmRoutine routine, const std::array<std::uint32_t, 4>& args,
                         std::span<const platform::ArmData> data, RoutineRun& run) {
    run = RoutineRun{routine.address, {}, {}};
    ArmCore core(processor);
    // The routine returns to a page of its own just behind the code.
    std::uint32_t returnAddress = code.base + pagesSpan(code.base, code.size);
    bool ready = core.ok() && core.mapOwn(code.base, code.size) && core.write(code.base, code.bytes, code.size) &&
                 core.mapOwn(returnAddress, ArmCore::pageBytes) && mapData(core, data, run);
    if (!ready) {
        run.error = core.error();
        return 0;
    }
    core.emulateCp15(state, code.base, code.base + code.size - 1);
    // The mode first: it selects the banked registers that the others go to.
    core.setCpsr(state.cpsr);
    for (unsigned i = 0; i < args.size(); ++i) core.setReg(i, args[i]);
    core.setReg(14, returnAddress);
    bool returned = core.run(routine.address, returnAddress, instructionLimit) && core.reg(15) == returnAddress;
    state.cpsr = core.cpsr();
    if (!returned) {
        run.error = core.error().empty() ? "the routine did not return" : core.error();
        return 0;
    }
    if (!copyDataBack(core, data)) run.error = core.error();
    return core.reg(0);
}

}  // namespace sandbox
