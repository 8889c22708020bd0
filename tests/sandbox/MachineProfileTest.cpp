#include <gtest/gtest.h>

#include "boot/PlatformTable.h"
#include "sandbox/MachineProfile.h"
#include "tests/support/SandboxTest.h"

namespace {

TEST(MachineProfile, OneProfilePerSelectablePlatformInTableOrder) {
    auto profiles = sandbox::machineProfiles();
    ASSERT_EQ(profiles.size(), static_cast<std::size_t>(selectablePlatformCount));
    for (std::int32_t i = 0; i < selectablePlatformCount; ++i) {
        const PlatformEntry* entry = selectablePlatform(i);
        const sandbox::MachineProfile& profile = profiles[static_cast<std::size_t>(i)];
        EXPECT_EQ(utf8(profile.name), utf8(entry->name));
        EXPECT_EQ(profile.cpuCode, entry->id.cpuCode) << profile.key;
        EXPECT_EQ(profile.machineCode, entry->id.machineCode) << profile.key;
        EXPECT_EQ(sandbox::findProfile(profile.key), &profile);
    }
}

TEST(MachineProfile, JapaneseModelsAndTheWZero3FamilyUseCodePage932) {
    for (const sandbox::MachineProfile& profile : sandbox::machineProfiles()) {
        std::string name = utf8(profile.name);
        bool japanese = name.find("Japanese") != std::string::npos || name.find("W-ZERO3") != std::string::npos;
        EXPECT_EQ(profile.codePage, japanese ? 932u : 1252u) << name;
    }
}

TEST(MachineProfile, RamLiesInsideTheRegisteredBanks) {
    for (const sandbox::MachineProfile& profile : sandbox::machineProfiles()) {
        std::uint64_t banked = 0;
        for (const sandbox::DramBank& bank : profile.banks) banked += bank.size;
        EXPECT_LE(profile.ramSize, banked) << profile.key;
        EXPECT_EQ(profile.banks[0].start, sandbox::isStrongArm(profile) ? 0xC0000000u : 0xA0000000u) << profile.key;
    }
}

}  // namespace
