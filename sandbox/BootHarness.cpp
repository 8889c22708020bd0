#include "sandbox/BootHarness.h"

#include "sandbox/Machine.h"

namespace sandbox {

namespace {

/// Carries the machine from the switch back to runUntilSwitch.
struct LeftPlatform {};

}  // namespace

std::optional<SwitchRecord> runUntilSwitch(const std::function<void()>& boot) {
    Machine& m = machine();
    m.platformLeft.reset();
    std::function<void(const SwitchRecord&)> previous = std::move(m.onLeave);
    m.onLeave = [](const SwitchRecord&) { throw LeftPlatform{}; };
    std::optional<SwitchRecord> left;
    try {
        boot();
    } catch (const LeftPlatform&) {
        left = m.platformLeft;
    }
    m.onLeave = std::move(previous);
    return left;
}

}  // namespace sandbox
