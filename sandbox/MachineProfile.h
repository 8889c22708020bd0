// The simulated handhelds: one profile per selectable platform.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "memory/DestinationRule.h"

namespace sandbox {

enum class Processor { sa1100, sa1110, pxa250, pxa270 };

struct DramBank {
    std::uint32_t start;
    std::uint32_t size;
};

struct MachineProfile {
    const char* key;        // short name used by the front end, e.g. "ipaq-h3600"
    const char16_t* name;   // the platform table's name for this machine
    std::uint32_t cpuCode;
    std::uint32_t machineCode;
    Processor processor;
    std::array<DramBank, 4> banks;  // the banks the back end registers
    std::uint32_t ramSize;          // populated bytes, from the first bank's start on
    std::int32_t displayWidth;
    std::int32_t displayHeight;
    std::int32_t displayDepth;
    std::int32_t displayDpi;
    std::uint32_t codePage;         // 932 or 1252
};

std::span<const MachineProfile> machineProfiles();
/// The profile with this key, or null.
const MachineProfile* findProfile(std::string_view key);
/// True for the StrongARM profiles.
bool isStrongArm(const MachineProfile& profile);
/// Where the second-stage loader of the machine's family writes a range.
DestinationRule destinationRule(const MachineProfile& profile);

}  // namespace sandbox
