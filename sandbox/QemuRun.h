// Running a snapshot on a full machine model: qemu-system-arm's collie (SA-1110) or
// mainstone (PXA270), with the kernel's UART on standard output and semihosting on,
// so that the kernel's exit ends the emulator with its status.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sandbox/MachineProfile.h"
#include "sandbox/Snapshot.h"

namespace sandbox {

/// The QEMU machine model that stands for a profile's processor family.
struct QemuMachine {
    const char* name;           // "collie" or "mainstone"
    std::uint32_t ramStart;     // the model's RAM
    std::uint32_t ramSize;
    /// Serial devices in QEMU's order, up to the one the kernel's UART is: the
    /// SA-1110's serial port 3 is collie's third, the PXA270's FFUART mainstone's
    /// first.
    std::vector<const char*> serialsBeforeUart;
};

QemuMachine qemuMachineFor(const MachineProfile& profile);

/// The command line that boots `snapshot` on the model of `profile`.
std::vector<std::string> qemuCommand(const MachineProfile& profile, const std::filesystem::path& snapshot);

struct QemuReport {
    bool ran = false;               // false: `detail` says why it did not run
    std::optional<int> exitStatus;  // the kernel's semihosting status
    std::string serialOutput;
    std::string detail;
};

/// Boots the snapshot described by `info` in qemu-system-arm, waiting at most
/// `timeout`. The snapshot's RAM must lie inside the model's.
QemuReport runSnapshotInQemu(const MachineProfile& profile, const SnapshotInfo& info,
                             const std::filesystem::path& snapshot, std::chrono::milliseconds timeout);

/// The qemu-system-arm on PATH, or nothing.
std::optional<std::string> findQemu();

}  // namespace sandbox
