// The second-stage loader as C++: where it will enter the kernel, for a host that
// cannot run the loader's ARM code after the switch.
#pragma once

#include <cstdint>
#include <string>

#include "sandbox/Machine.h"
#include "sandbox/SwitchRecord.h"

namespace sandbox {

/// The registers at the kernel entry.
struct ModelledEntry {
    std::uint32_t entry;
    std::uint32_t r0, r1, r2;  // argc, argv, BootInfo
    std::uint32_t sp;
};

/// Walks the chain of `record` through `machine`'s memory as the second-stage loader
/// of the machine's family does, without changing the memory. False, with `error`
/// set, when a tag or payload lies outside the staged pages or the chain does not
/// end.
bool modelKernelEntry(Machine& machine, const SwitchRecord& record, ModelledEntry& entry, std::string& error);

}  // namespace sandbox
