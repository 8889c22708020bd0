// Cross-built kernels whose ranges would destroy each other, or land where no memory
// is, are refused before the jump with the failure box; one that only just fits in
// the first bank's window still leaves the platform.
#include <gtest/gtest.h>

#include "boot/BootMenu.h"
#include "tests/arch/StagedBoot.h"
#include "tests/support/MemoryFileManager.h"

namespace {

struct Layout {
    const char* name;
    const char* profile;
    const char* kernel;       // built in the loader kernels' folder
    std::uint32_t imageBytes;  // a memory-disk image behind the kernel; 0 for none
    std::vector<const char*> refusal;  // what the Console shows, in order; empty when it boots
    friend void PrintTo(const Layout& l, std::ostream* out) { *out << l.name; }
};

class PlacementRefusal : public StagedBoot, public ::testing::WithParamInterface<Layout> {
protected:
    PlacementRefusal() : StagedBoot(GetParam().profile) {
        files[u"korvel"] = readHostFile(std::string(TEMBREL_LOADER_KERNELS) + "/" + GetParam().kernel);
        Preferences& p = BootMenu::instance()->preferences;
        p.rootDevice = GetParam().imageBytes != 0 ? Preferences::rootMd : 0;
        std::vector<std::uint8_t> image(GetParam().imageBytes);
        for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + (i >> 12));
        files[u"miniroot.fs"] = std::move(image);
    }
};

TEST_P(PlacementRefusal, KernelLayouts) {
    std::optional<sandbox::SwitchRecord> left = boot();
    std::string text = transcript();
    if (GetParam().refusal.empty()) {
        EXPECT_TRUE(left) << text;
        return;
    }
    EXPECT_FALSE(left);
    EXPECT_FALSE(machine.platformLeft);
    std::size_t at = 0;
    for (const char* part : GetParam().refusal) {
        at = text.find(part, at);
        ASSERT_NE(at, std::string::npos) << part << "\n" << text;
    }
    ASSERT_FALSE(machine.boxes.empty());
    EXPECT_EQ(machine.boxes.back().text, u"Can't jump to the kernel.\n");
    EXPECT_EQ(machine.boxes.back().caption, u"BOOT FAILED");
}

INSTANTIATE_TEST_SUITE_P(
    Kernels, PlacementRefusal,
    ::testing::Values(
        Layout{"OverlappingSegments", "jornada720", "overlap.elf", 0,
               {"range 1 (0xc0200ff0+0xff0) overlaps range 3 (0xc0201000+0x4).\n"}},
        Layout{"LinkedWhereNoDramLies", "jornada720", "outside.elf", 0,
               {"range 0 (0x30200000+0xff0) lies in no DRAM bank (0xc0000000+0x08000000, "}},
        // 8 MiB of kernel at 0xA0200000 and a 10 MB image run past the 16 MiB the
        // first bank's rule keeps: the image's tail would land on the kernel.
        Layout{"ImageFoldedOntoTheKernel", "ws003sh", "large.elf", 10000000,
               {"range 0 (0xa0200000+0xff0) overlaps range ", ", written to 0xa01f"}},
        Layout{"ImageWithinTheWindow", "ws003sh", "large.elf", 4000000, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
