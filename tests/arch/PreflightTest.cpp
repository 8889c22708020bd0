// The sandbox's warnings about a boot that does not fit the simulated machine: the
// device would go on, so the boot goes on too.
#include <gtest/gtest.h>

#include "sandbox/Preflight.h"
#include "tests/arch/StagedBoot.h"
#include "tests/support/MemoryFileManager.h"

namespace {

class InstalledRam : public StagedBoot {
protected:
    InstalledRam() : StagedBoot("jornada720") {}
};

TEST_F(InstalledRam, KernelBeyondTheRamTheMachineHasIsStagedWithAWarning) {
    files[u"korvel"] = readHostFile(std::string(TEMBREL_LOADER_KERNELS) + "/beyond.elf");
    std::optional<sandbox::SwitchRecord> left = boot();
    ASSERT_TRUE(left) << transcript();
    EXPECT_EQ(sandbox::installedRamWarning(machine, *left),
              "warning: 13 ranges, from range 0 (0xc4200000+0xff0), beyond the 32 MiB of RAM at 0xc0000000 that "
              "the simulated HP Jornada 720 (US/UK) has: the device's boot would go on, and so does this one.\n");
}

TEST_F(InstalledRam, KernelWithinItGetsNoWarning) {
    std::optional<sandbox::SwitchRecord> left = boot();
    ASSERT_TRUE(left) << transcript();
    EXPECT_EQ(sandbox::installedRamWarning(machine, *left), "");
}

struct Choice {
    const char* machine;
    const char16_t* platform;
    std::uint32_t cpuCode;
    const char* warning;
};

TEST(PlatformWarning, NamesBothProcessorsWhenTheyDiffer) {
    const Choice choices[] = {
        {"jornada720", u"Sharp W-ZERO3 (WS003SH)", 0x0C208000,
         "warning: the platform \"Sharp W-ZERO3 (WS003SH)\" has a PXA270 processor, but the simulated HP Jornada 720 "
         "(US/UK) has an SA-1110: its back end will not find the hardware it expects.\n"},
        {"ws003sh", u"HP Jornada 820", 0x0C104000,
         "warning: the platform \"HP Jornada 820\" has an SA-1100 processor, but the simulated Sharp W-ZERO3 (WS003SH) "
         "has a PXA270: its back end will not find the hardware it expects.\n"},
        {"jornada720", u"Compaq iPAQ H3600", 0x0C108000, ""},
        // A row that names only the processor family matches every member of it.
        {"jornada720", u"ARM STRONGARM", 0x0C100000, ""},
    };
    for (const Choice& c : choices) {
        EXPECT_EQ(sandbox::platformWarning(*sandbox::findProfile(c.machine), c.platform, c.cpuCode), c.warning)
            << c.machine;
    }
}

}  // namespace
