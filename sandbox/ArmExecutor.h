// What runs after the switch: the boot loader's switch routine and the copied
// second-stage loader on an emulated core over the machine's physical memory, with
// the MMU off, then optionally the kernel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sandbox/DeviceModel.h"
#include "sandbox/MachineProfile.h"
#include "sandbox/ProcessorState.h"
#include "sandbox/Semihosting.h"
#include "sandbox/SwitchRecord.h"

namespace sandbox {

/// The physical address space the core runs on: RAM backed by host memory, and
/// device register windows. Bases and sizes are whole pages; the memory and the
/// models outlive the run.
struct PhysicalSpace {
    struct Ram {
        std::uint32_t base;
        std::uint32_t size;
        std::uint8_t* host;
    };
    struct Device {
        std::uint32_t base;
        std::uint32_t size;
        DeviceModel* model;
    };
    std::vector<Ram> ram;
    std::vector<Device> devices;
};

struct ExecutorOptions {
    /// Go on into the kernel after its entry, until it exits through semihosting.
    bool runKernel = false;
    /// Bound on the instructions of each stage: up to the kernel entry, and the
    /// kernel's own.
    std::uint64_t instructionLimit = 100000000;
};

/// The state at the second-stage loader's first instruction.
struct LoaderEntry {
    std::uint32_t r0, r1, r2;
    std::uint32_t cpsr;
    std::uint32_t control;  // CP15 control register
    /// CP15 operations the switch carried out before it.
    std::vector<Cp15Operation> cp15Operations;
};

/// The state at the kernel's first instruction.
struct KernelEntry {
    std::uint32_t entry;
    std::uint32_t r0, r1, r2;
    std::uint32_t sp;
    /// Instructions the second-stage loader ran.
    std::uint64_t loaderInstructions;
};

struct ExecutionReport {
    enum class Outcome {
        kernelEntered,  // stopped at the kernel entry
        kernelExited,   // the kernel ran and exited through semihosting
        stopped,        // a fault, or the instruction bound; `detail` says which
    };
    Outcome outcome = Outcome::stopped;
    std::string detail;
    std::optional<LoaderEntry> loaderEntry;
    std::optional<KernelEntry> kernelEntry;
    SemihostingState semihosting;
};

/// Runs the switch of `record` and what follows on a core of `processor`.
ExecutionReport runAfterSwitch(Processor processor, const PhysicalSpace& space, const SwitchRecord& record,
                               const ExecutorOptions& options);

/// Enters the second-stage loader at `loader` directly, as the switch leaves the
/// core: r0-r2 as given, r3 = `loader`, System mode with interrupts masked.
ExecutionReport runLoader(Processor processor, const PhysicalSpace& space, std::uint32_t loader,
                          const std::array<std::uint32_t, 3>& registers, const ExecutorOptions& options);

/// A one-line description of a report, for messages.
std::string describe(const ExecutionReport& report);

}  // namespace sandbox
