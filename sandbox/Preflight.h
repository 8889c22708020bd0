// What the sandbox can tell a user before a boot runs on, or leaves for, a machine it
// does not fit: the device itself cannot know these, so the boot goes on as the
// device's would and only a warning is given.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sandbox/Machine.h"
#include "sandbox/SwitchRecord.h"

namespace sandbox {

/// A warning line when the platform chosen for the boot (its name and processor
/// code) does not have the simulated machine's processor; empty when it does.
std::string platformWarning(const MachineProfile& profile, std::u16string_view platformName, std::uint32_t cpuCode);

/// A warning line when ranges of the chain the switch left, or the kernel's first
/// stack page, lie inside a bank but beyond the RAM the machine has; empty otherwise.
std::string installedRamWarning(Machine& machine, const SwitchRecord& record);

}  // namespace sandbox
