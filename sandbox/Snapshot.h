// A snapshot of the machine at the switch: its physical memory as the boot loader
// left it, with an entry shim that enters the boot loader's real switch routine
// with its four arguments, as an ELF executable. qemu-system-arm loads it with
// "-device loader,file=...,cpu-num=0" on the machine model of the profile's
// processor family and starts at the shim.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "sandbox/Machine.h"

namespace sandbox {

struct SnapshotInfo {
    std::uint32_t entry;     // the shim, in a page of RAM the boot loader left free
    std::uint32_t ramStart;
    std::uint32_t ramSize;
};

/// Writes the snapshot of `machine` at `record` to `path`. RAM the boot loader never
/// touched holds the machine's fill pattern, so that a range the second-stage loader
/// should clear and does not shows up. Take it before anything runs after the
/// switch: that changes the memory. False, with `error` set, when no page is free for
/// the shim or the file cannot be written.
bool writeSnapshot(Machine& machine, const SwitchRecord& record, const std::filesystem::path& path, SnapshotInfo& info,
                   std::string& error);

}  // namespace sandbox
