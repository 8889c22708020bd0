#include "sandbox/ArmExecutor.h"

#include <unicorn/unicorn.h>

#include <cstdio>

namespace sandbox {

namespace {

constexpr std::uint32_t neverReached = 0xFFFFFFFF;  // no instruction starts there
constexpr std::uint32_t swiException = 2;

/// One run and what its hooks saw.
class Run {
public:
    Run(Processor processor, const SwitchRecord& record)
        : core(processor), record(record), state(record.processor), loaderPage(pageBase(record.loader())) {}

    bool prepare(const PhysicalSpace& space) {
        if (!core.ok()) return fail(core.error());
        for (const PhysicalSpace::Ram& ram : space.ram) {
            if (!core.mapHost(ram.base, ram.size, ram.host)) return fail(core.error());
        }
        for (const PhysicalSpace::Device& device : space.devices) {
            if (!core.mapDevice(device.base, device.size, *device.model)) return fail(core.error());
        }
        const platform::ArmCode& code = record.code;
        if (code.size != 0) {
            if (!core.mapOwn(code.base, code.size) || !core.write(code.base, code.bytes, code.size)) return fail(core.error());
            core.emulateCp15(state, code.base, code.base + code.size - 1);
        }
        // Until the kernel entry every instruction is watched; the kernel then runs
        // without the cost of it.
        watch = addHook(UC_HOOK_CODE, reinterpret_cast<void*>(onInstruction), 1, 0);
        addHook(UC_HOOK_INTR, reinterpret_cast<void*>(onException), 1, 0);
        addHook(UC_HOOK_MEM_UNMAPPED, reinterpret_cast<void*>(onUnmapped), 1, 0);
        core.setCpsr(state.cpsr);
        for (unsigned i = 0; i < 4; ++i) core.setReg(i, record.args[i]);
        return true;
    }

    ExecutionReport execute(std::uint32_t start, const ExecutorOptions& options) {
        if (!runStage(start, options.instructionLimit)) return finish();
        if (!report.kernelEntry) return stopped("the core stopped before the kernel entry");
        if (!options.runKernel) {
            report.outcome = ExecutionReport::Outcome::kernelEntered;
            return finish();
        }
        // The kernel's stage ends cleanly only at its semihosting exit.
        if (runStage(report.kernelEntry->entry, options.instructionLimit)) report.outcome = ExecutionReport::Outcome::kernelExited;
        return finish();
    }

    ExecutionReport failed() { return finish(); }

private:
    static void onInstruction(uc_engine*, std::uint64_t address, std::uint32_t, void* user) {
        static_cast<Run*>(user)->instruction(static_cast<std::uint32_t>(address));
    }
    static void onException(uc_engine*, std::uint32_t number, void* user) { static_cast<Run*>(user)->exception(number); }
    static bool onUnmapped(uc_engine*, uc_mem_type type, std::uint64_t address, int, std::int64_t, void* user) {
        static_cast<Run*>(user)->unmapped(type, static_cast<std::uint32_t>(address));
        return false;
    }

    bool inLoader(std::uint32_t address) const { return address - loaderPage < ArmCore::pageBytes; }
    bool inCode(std::uint32_t address) const { return address - record.code.base < record.code.size; }

    void instruction(std::uint32_t address) {
        if (inLoader(address)) {
            if (!report.loaderEntry) {
                report.loaderEntry = LoaderEntry{core.reg(0), core.reg(1),    core.reg(2),
                                                 core.cpsr(), state.cp15.control, state.cp15Log};
            }
            ++loaderInstructions;
            return;
        }
        if (!report.loaderEntry || report.kernelEntry || inCode(address)) return;
        // Stopping in an instruction hook stops before the instruction runs.
        enterKernel(address);
        halt();
    }

    void enterKernel(std::uint32_t address) {
        report.kernelEntry = KernelEntry{address, core.reg(0), core.reg(1), core.reg(2), core.reg(13), loaderInstructions};
        uc_hook_del(core.engine(), watch);
    }

    void exception(std::uint32_t number) {
        std::uint32_t pc = core.reg(15);
        std::uint32_t instruction = 0;
        bool svc = number == swiException && core.read(pc - 4, &instruction, 4);
        if (svc && (instruction & 0x00FFFFFF) == semihostingCall) {
            carryOutSemihosting(core, report.semihosting);
            if (report.semihosting.exitStatus) halt();
            return;
        }
        char text[96];
        std::snprintf(text, sizeof text, "processor exception %u after the instruction before 0x%08x", number, pc);
        faultText = text;
        halt();
    }

    void unmapped(uc_mem_type type, std::uint32_t address) {
        // A jump to where no memory is never reaches the instruction hook.
        if (type == UC_MEM_FETCH_UNMAPPED && report.loaderEntry && !report.kernelEntry && !inLoader(address)) {
            enterKernel(address);
        }
        const char* access = type == UC_MEM_WRITE_UNMAPPED ? "write to" : type == UC_MEM_FETCH_UNMAPPED ? "fetch from" : "read from";
        char text[96];
        std::snprintf(text, sizeof text, "%s unmapped address 0x%08x at pc 0x%08x", access, address, core.reg(15));
        faultText = text;
    }

    void halt() {
        halted = true;
        core.stop();
    }

    /// Runs until a hook halts the core; false (with the reason kept) when the core
    /// faulted or the bound ran out first.
    bool runStage(std::uint32_t start, std::uint64_t limit) {
        halted = false;
        bool clean = core.run(start, neverReached, limit);
        if (!faultText.empty()) return fail(faultText);
        if (!clean) return fail(core.error() + " at 0x" + hex(core.reg(15)));
        if (!halted) return fail("the instruction bound ran out");
        return true;
    }

    static std::string hex(std::uint32_t value) {
        char text[9];
        std::snprintf(text, sizeof text, "%08x", value);
        return text;
    }

    bool fail(const std::string& why) {
        report.outcome = ExecutionReport::Outcome::stopped;
        report.detail = why;
        return false;
    }
    ExecutionReport stopped(const std::string& why) {
        fail(why);
        return finish();
    }
    ExecutionReport finish() { return std::move(report); }

    uc_hook addHook(int type, void* callback, std::uint64_t begin, std::uint64_t end) {
        uc_hook hook = 0;
        uc_hook_add(core.engine(), &hook, type, callback, this, begin, end);
        return hook;
    }

    ArmCore core;
    SwitchRecord record;
    ProcessorState state;
    std::uint32_t loaderPage;
    std::uint64_t loaderInstructions = 0;
    uc_hook watch = 0;
    bool halted = false;
    std::string faultText;
    ExecutionReport report;
};

ExecutionReport execute(Processor processor, const PhysicalSpace& space, const SwitchRecord& record,
                        std::uint32_t start, const ExecutorOptions& options) {
    Run run(processor, record);
    if (!run.prepare(space)) return run.failed();
    return run.execute(start, options);
}

}  // namespace

ExecutionReport runAfterSwitch(Processor processor, const PhysicalSpace& space, const SwitchRecord& record,
                               const ExecutorOptions& options) {
    return execute(processor, space, record, record.routine.address, options);
}

ExecutionReport runLoader(Processor processor, const PhysicalSpace& space, std::uint32_t loader,
                          const std::array<std::uint32_t, 3>& registers, const ExecutorOptions& options) {
    SwitchRecord record{};
    record.args = {registers[0], registers[1], registers[2], loader};
    record.processor.cpsr = systemMode | interruptMask;
    record.processor.cp15.control = 0x2030;
    return execute(processor, space, record, loader, options);
}

std::string describe(const ExecutionReport& report) {
    char text[160];
    switch (report.outcome) {
        case ExecutionReport::Outcome::kernelEntered:
        case ExecutionReport::Outcome::kernelExited: {
            const KernelEntry& k = *report.kernelEntry;
            std::snprintf(text, sizeof text,
                          "kernel entry 0x%08x r0=0x%08x r1=0x%08x r2=0x%08x sp=0x%08x after %llu loader instructions", k.entry,
                          k.r0, k.r1, k.r2, k.sp, static_cast<unsigned long long>(k.loaderInstructions));
            std::string line(text);
            if (report.semihosting.exitStatus) line += "; kernel exit status " + std::to_string(*report.semihosting.exitStatus);
            return line;
        }
        case ExecutionReport::Outcome::stopped: break;
    }
    return "stopped: " + report.detail;
}

}  // namespace sandbox
