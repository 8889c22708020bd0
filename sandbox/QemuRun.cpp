#include "sandbox/QemuRun.h"

#include "host/posix/Process.h"

namespace sandbox {

QemuMachine qemuMachineFor(const MachineProfile& profile) {
    if (isStrongArm(profile)) return {"collie", 0xC0000000, 0x20000000, {"null", "null"}};
    return {"mainstone", 0xA0000000, 0x04000000, {}};
}

std::vector<std::string> qemuCommand(const MachineProfile& profile, const std::filesystem::path& snapshot) {
    QemuMachine model = qemuMachineFor(profile);
    std::vector<std::string> command = {"qemu-system-arm", "-M", model.name, "-display", "none", "-monitor", "none"};
    for (const char* serial : model.serialsBeforeUart) {
        command.insert(command.end(), {"-serial", serial});
    }
    command.insert(command.end(), {"-serial", "stdio", "-semihosting-config", "enable=on,target=native", "-no-reboot",
                                   "-device", "loader,file=" + snapshot.string() + ",cpu-num=0"});
    return command;
}

QemuReport runSnapshotInQemu(const MachineProfile& profile, const SnapshotInfo& info,
                             const std::filesystem::path& snapshot, std::chrono::milliseconds timeout) {
    QemuReport report;
    QemuMachine model = qemuMachineFor(profile);
    std::uint64_t ramEnd = std::uint64_t{info.ramStart} + info.ramSize;
    if (info.ramStart < model.ramStart || ramEnd > std::uint64_t{model.ramStart} + model.ramSize) {
        report.detail = std::string("the machine's RAM does not fit QEMU's ") + model.name + " model";
        return report;
    }
    host::ProcessResult run = host::runProcess(qemuCommand(profile, snapshot), timeout);
    report.ran = run.started;
    report.exitStatus = run.exitStatus;
    report.serialOutput = run.output;
    if (!run.started) {
        report.detail = run.error;
    } else if (run.timedOut) {
        report.detail = "qemu-system-arm did not end in time";
    } else if (!run.errorOutput.empty()) {
        report.detail = run.errorOutput;
    }
    return report;
}

std::optional<std::string> findQemu() { return host::findProgram("qemu-system-arm"); }

}  // namespace sandbox
