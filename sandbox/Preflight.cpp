#include "sandbox/Preflight.h"

#include <cstdio>

#include "boot/PlatformTable.h"
#include "host/CodePage.h"
#include "memory/DestinationRule.h"
#include "sandbox/ChainWalk.h"

namespace sandbox {

namespace {

struct ProcessorName {
    std::uint32_t cpuCode;
    const char* name;
};

constexpr ProcessorName processorNames[] = {
    {0x0C104000, "an SA-1100"},
    {0x0C108000, "an SA-1110"},
    {0x0C204000, "a PXA250"},
    {0x0C208000, "a PXA270"},
};

std::string processorName(std::uint32_t cpuCode) {
    for (const ProcessorName& p : processorNames) {
        if (p.cpuCode == cpuCode) return p.name;
    }
    char text[40];
    std::snprintf(text, sizeof text, "the processor 0x%08x", cpuCode);
    return text;
}

/// An address as eight hexadecimal digits, or a length as few as it needs.
std::string hex(std::uint64_t value, bool address = true) {
    char text[24];
    std::snprintf(text, sizeof text, address ? "0x%08llx" : "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

std::string platformWarning(const MachineProfile& profile, std::u16string_view platformName, std::uint32_t cpuCode) {
    if (matchPlatform({profile.cpuCode, 0}, {cpuCode, 0})) return "";
    return "warning: the platform \"" + host::toUtf8(std::u16string(platformName)) + "\" has " +
           processorName(cpuCode) + " processor, but the simulated " + host::toUtf8(profile.name) + " has " +
           processorName(profile.cpuCode) + ": its back end will not find the hardware it expects.\n";
}

std::string installedRamWarning(Machine& machine, const SwitchRecord& record) {
    const MachineProfile& profile = machine.profile;
    DestinationRule rule = destinationRule(profile);
    std::uint64_t ramStart = profile.banks[0].start;
    std::uint64_t ramEnd = ramStart + profile.ramSize;
    ChainWalk walk = walkChain(machine.memory, record.tagChain());
    std::size_t beyond = 0;
    std::string first;
    std::uint32_t lastEnd = record.loader();
    for (std::size_t i = 0; i < walk.ranges.size(); ++i) {
        const PageTag& tag = walk.ranges[i].tag;
        std::uint64_t start = walkDestination(rule, tag.dst);
        lastEnd = static_cast<std::uint32_t>(start + tag.len);
        if (start >= ramStart && start + tag.len <= ramEnd) continue;
        if (beyond++ == 0) first = "range " + std::to_string(i) + " (" + hex(start) + "+" + hex(tag.len, false) + ")";
    }
    std::uint32_t stackTop = kernelStackTop(lastEnd);
    bool stackBeyond = stackTop - 0x1000u < ramStart || stackTop > ramEnd;
    if (beyond == 0 && !stackBeyond) return "";
    std::string what = beyond == 0 ? "the kernel's stack page " + hex(stackTop - 0x1000u)
                                   : std::to_string(beyond) + (beyond == 1 ? " range" : " ranges") + ", from " + first;
    return "warning: " + what + ", beyond the " + std::to_string(profile.ramSize >> 20) + " MiB of RAM at " +
           hex(ramStart) + " that the simulated " + host::toUtf8(profile.name) +
           " has: the device's boot would go on, and so does this one.\n";
}

}  // namespace sandbox
