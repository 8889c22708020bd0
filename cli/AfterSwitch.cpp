#include "cli/AfterSwitch.h"

#include <cstdio>

#include <chrono>

#include "sandbox/MachineExecution.h"
#include "sandbox/Preflight.h"
#include "sandbox/QemuRun.h"
#include "sandbox/Snapshot.h"

namespace {

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", value);
    return text;
}

void showSwitch(const sandbox::SwitchRecord& record, Terminal& terminal) {
    terminal.show("left the platform: hand-over " + hex(record.handoverBlock()) + ", tag chain " +
                  hex(record.tagChain()) + ", stack " + hex(record.stackPointer()) + ", loader " +
                  hex(record.loader()) + "\n");
}

void showKernelEntry(const sandbox::KernelEntry& entry, Terminal& terminal) {
    terminal.show("kernel entered at " + hex(entry.entry) + ": r0 " + hex(entry.r0) + ", r1 " + hex(entry.r1) +
                  ", r2 " + hex(entry.r2) + ", sp " + hex(entry.sp) + " (" +
                  std::to_string(entry.loaderInstructions) + " loader instructions)\n");
}

/// Boots the snapshot in QEMU's model of the machine; the exit code as afterSwitch's.
int runInQemu(const sandbox::SnapshotInfo& info, const std::string& snapshot, Terminal& terminal) {
    sandbox::QemuReport report =
        sandbox::runSnapshotInQemu(sandbox::machine().profile, info, snapshot, std::chrono::seconds(60));
    if (!report.ran) {
        terminal.show("QEMU did not run: " + report.detail + "\n");
        return 1;
    }
    if (!report.serialOutput.empty()) terminal.show("--- kernel UART (QEMU) ---\n" + report.serialOutput + "\n---\n");
    if (!report.exitStatus) {
        terminal.show("QEMU stopped without the kernel's status: " + report.detail + "\n");
        return 1;
    }
    terminal.show("kernel exited with status " + std::to_string(*report.exitStatus) + "\n");
    return *report.exitStatus;
}

}  // namespace

int afterSwitch(const sandbox::SwitchRecord& record, const AfterSwitchChoice& choice, Terminal& terminal) {
    showSwitch(record, terminal);
    sandbox::Machine& machine = sandbox::machine();
    terminal.show(sandbox::installedRamWarning(machine, record));
    std::string snapshot = choice.snapshot;
    if (snapshot.empty() && choice.qemu) snapshot = (machine.storageRoot / "snapshot.elf").string();
    sandbox::SnapshotInfo info{};
    if (!snapshot.empty()) {
        std::string error;
        if (!sandbox::writeSnapshot(machine, record, snapshot, info, error)) {
            terminal.show("can't write the snapshot: " + error + "\n");
            return 1;
        }
        terminal.show("snapshot written to " + snapshot + "\n");
    }
    if (choice.qemu) return runInQemu(info, snapshot, terminal);
    if (choice.executor == "none") return 0;

    std::size_t uartBefore = machine.peripherals.serialOutput.size();
    sandbox::ExecutorOptions options;
    options.runKernel = true;
    options.instructionLimit = choice.instructionLimit;
    sandbox::ExecutionReport report = sandbox::runAfterSwitch(machine, record, options);
    if (report.kernelEntry) showKernelEntry(*report.kernelEntry, terminal);
    std::string uart = machine.peripherals.serialOutput.substr(uartBefore);
    if (!uart.empty()) terminal.show("--- kernel UART ---\n" + uart + (uart.back() == '\n' ? "" : "\n") + "---\n");
    if (!report.semihosting.output.empty()) terminal.show(report.semihosting.output);
    switch (report.outcome) {
        case sandbox::ExecutionReport::Outcome::kernelExited: {
            int status = report.semihosting.exitStatus.value_or(0);
            terminal.show("kernel exited with status " + std::to_string(status) + "\n");
            return status;
        }
        case sandbox::ExecutionReport::Outcome::kernelEntered: return 0;
        case sandbox::ExecutionReport::Outcome::stopped: break;
    }
    terminal.show("the run stopped: " + report.detail + "\n");
    return 1;
}
