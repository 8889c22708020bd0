#include "sandbox/MachineProfile.h"

namespace sandbox {

namespace {

constexpr std::uint32_t MiB = 1024 * 1024;

constexpr std::array<DramBank, 4> strongArmBanks = {{
    {0xC0000000, 0x08000000}, {0xC8000000, 0x08000000}, {0xD0000000, 0x08000000}, {0xD8000000, 0x08000000}}};
constexpr std::array<DramBank, 4> xscaleBanks = {{
    {0xA0000000, 0x04000000}, {0xA4000000, 0x04000000}, {0xA8000000, 0x04000000}, {0xAC000000, 0x04000000}}};

constexpr std::uint32_t sa1100 = 0x0C104000;
constexpr std::uint32_t sa1110 = 0x0C108000;
constexpr std::uint32_t pxa250 = 0x0C204000;
constexpr std::uint32_t pxa270 = 0x0C208000;

constexpr MachineProfile profiles[] = {
    {"ws003sh", u"Sharp W-ZERO3 (WS003SH)", pxa270, 0x01040100, Processor::pxa270, xscaleBanks, 64 * MiB, 480, 640, 16, 192, 932},
    {"ws004sh", u"Sharp W-ZERO3 (WS004SH)", pxa270, 0x01040200, Processor::pxa270, xscaleBanks, 64 * MiB, 480, 640, 16, 192, 932},
    {"ws007sh", u"Sharp W-ZERO3[es] (WS007SH)", pxa270, 0x01040300, Processor::pxa270, xscaleBanks, 64 * MiB, 480, 640, 16, 192, 932},
    {"ws011sh", u"Sharp Advanced/W-ZERO3[es] (WS011SH)", pxa270, 0x01040400, Processor::pxa270, xscaleBanks, 128 * MiB, 480, 800, 16, 192, 932},
    {"ipaq-h3100", u"Compaq iPAQ H3100", sa1110, 0x01C40101, Processor::sa1110, strongArmBanks, 16 * MiB, 240, 320, 4, 96, 1252},
    {"ipaq-h3600", u"Compaq iPAQ H3600", sa1110, 0x01C40201, Processor::sa1110, strongArmBanks, 32 * MiB, 240, 320, 16, 96, 1252},
    {"ipaq-h3660", u"Compaq iPAQ H3660", sa1110, 0x01C40202, Processor::sa1110, strongArmBanks, 64 * MiB, 240, 320, 16, 96, 1252},
    {"ipaq-h3900", u"Compaq iPAQ H3900", pxa250, 0x01C40301, Processor::pxa250, xscaleBanks, 64 * MiB, 240, 320, 16, 96, 1252},
    {"jornada720", u"HP Jornada 720 (US/UK)", sa1110, 0x02C20201, Processor::sa1110, strongArmBanks, 32 * MiB, 640, 240, 16, 96, 1252},
    {"jornada720-jp", u"HP Jornada 720 (Japanese)", sa1110, 0x02C20202, Processor::sa1110, strongArmBanks, 32 * MiB, 640, 240, 16, 96, 932},
    {"jornada720-eu", u"HP Jornada 720 (European)", sa1110, 0x02C20203, Processor::sa1110, strongArmBanks, 32 * MiB, 640, 240, 16, 96, 1252},
    {"jornada720-de", u"HP Jornada 720 (German)", sa1110, 0x02C20204, Processor::sa1110, strongArmBanks, 32 * MiB, 640, 240, 16, 96, 1252},
    {"jornada720-fr", u"HP Jornada 720 (French)", sa1110, 0x02C20205, Processor::sa1110, strongArmBanks, 32 * MiB, 640, 240, 16, 96, 1252},
    {"jornada720-nordic", u"HP Jornada 720 (Scandinavian)", sa1110, 0x02C20206, Processor::sa1110, strongArmBanks, 32 * MiB, 640, 240, 16, 96, 1252},
    {"jornada720-es", u"HP Jornada 720 (Spanish)", sa1110, 0x02C20207, Processor::sa1110, strongArmBanks, 32 * MiB, 640, 240, 16, 96, 1252},
    {"jornada820", u"HP Jornada 820", sa1100, 0x02C20301, Processor::sa1100, strongArmBanks, 16 * MiB, 640, 480, 8, 96, 1252},
    {"jornada820-jp", u"HP Jornada 820 (Japanese)", sa1100, 0x02C20302, Processor::sa1100, strongArmBanks, 16 * MiB, 640, 480, 8, 96, 932},
};

}  // namespace

std::span<const MachineProfile> machineProfiles() { return profiles; }

const MachineProfile* findProfile(std::string_view key) {
    for (const MachineProfile& profile : profiles) {
        if (key == profile.key) return &profile;
    }
    return nullptr;
}

DestinationRule destinationRule(const MachineProfile& profile) {
    return isStrongArm(profile) ? DestinationRule::asLinked : DestinationRule::firstSdramBank;
}

bool isStrongArm(const MachineProfile& profile) {
    return profile.processor == Processor::sa1100 || profile.processor == Processor::sa1110;
}

}  // namespace sandbox
