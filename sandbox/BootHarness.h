// How control leaves a host program when the boot loader leaves the platform.
//
// On a handheld the jump never returns. In the sandbox the machine then belongs to
// what runs after the switch, so a caller that starts a boot gets the machine back
// here: the sandbox records the switch and unwinds the boot loader's frames to this
// call. The boot loader itself throws nothing; without this harness the switch
// simply returns to it, as a switch on a machine that is not as expected would.
#pragma once

#include <functional>
#include <optional>

#include "sandbox/SwitchRecord.h"

namespace sandbox {

/// Runs `boot` (the Boot command, or a back end's jump) on the current machine.
/// Returns the switch when the boot loader left the platform, or nothing when `boot`
/// returned without leaving it.
std::optional<SwitchRecord> runUntilSwitch(const std::function<void()>& boot);

}  // namespace sandbox
