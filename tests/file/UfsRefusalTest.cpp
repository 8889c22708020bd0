// Cards that the UFS source refuses, made with makefs, sfdisk and fdisk as a user
// would make them: at the default verbosity the Console says why the card was
// refused, not only that the open failed.
#include <gtest/gtest.h>

#include <functional>

#include "console/Console.h"
#include "file/UfsFileManager.h"
#include "sandbox/BlockDevice.h"
#include "tests/file/DiskImages.h"
#include "tests/support/SandboxTest.h"
#include "tests/support/TempFolder.h"

namespace {

/// A UFS image, in the makefs `format`, of a tree that holds /d/big.bin and enough
/// padding that a labelled partition spans more than one cylinder.
std::filesystem::path ufsImage(const TempFolder& folder, const std::string& format = "-o version=1 -B le") {
    std::filesystem::path tree = folder.path() / "tree";
    writeFile(tree / "d" / "big.bin", patternBytes(100000, 3));
    writeFile(tree / "padding", patternBytes(1 << 20, 5));
    std::filesystem::path image = folder.path() / "fs.ufs";
    makeUfs(tree, image, format);
    return image;
}

std::uint32_t sectorsOf(const std::filesystem::path& image) {
    return static_cast<std::uint32_t>(std::filesystem::file_size(image) / 512);
}

/// A card whose MBR holds one partition of `type` at sector 63, `gap` sectors longer
/// than the image, which lies `gap` sectors into it.
void partitionedCard(const std::filesystem::path& card, const std::filesystem::path& image, std::uint8_t type,
                     std::uint32_t gap = 0) {
    std::uint32_t sectors = sectorsOf(image) + gap;
    makeMbrDisk(card, 63 + sectors + 1, {{1, 63, sectors, type}});
    placeAt(card, image, 63 + gap);
}

struct Refusal {
    const char* name;
    std::function<void(const TempFolder& folder, const std::filesystem::path& card)> make;
    /// What the Console shows after the failed open; null when the card is good.
    const char* reason;
};

void PrintTo(const Refusal& c, std::ostream* out) { *out << c.name; }

const Refusal refusals[] = {
    {"LittleEndianVersion1", [](const TempFolder& f, const auto& card) { makeLabelledCard(card, ufsImage(f)); },
     nullptr},
    {"Version2", [](const TempFolder& f, const auto& card) { makeLabelledCard(card, ufsImage(f, "-o version=2 -B le")); },
     "ufs: a UFS version 2 file system; only little-endian UFS version 1 can be read.\n"},
    {"BigEndian", [](const TempFolder& f, const auto& card) { makeLabelledCard(card, ufsImage(f, "-o version=1 -B be")); },
     "ufs: a big-endian UFS version 1 file system; only little-endian UFS version 1 can be read.\n"},
    {"BigEndianVersion2",
     [](const TempFolder& f, const auto& card) { makeLabelledCard(card, ufsImage(f, "-o version=2 -B be")); },
     "ufs: a big-endian UFS version 2 file system; only little-endian UFS version 1 can be read.\n"},
    {"NoPartitionOfOurType", [](const TempFolder& f, const auto& card) { partitionedCard(card, ufsImage(f), 0x83); },
     "ufs: no file system (magic 0x0)\nthe disk has no partition of type 0xA9 or 0xA5; it was read from sector 0.\n"},
    {"EmptyLabelPartition",
     [](const TempFolder& f, const auto& card) {
         partitionedCard(card, ufsImage(f), 0xA5);
         labelWithoutPartitions(card);
     },
     "winblk.strategy: sectors 0x10-0x1f beyond the partition of 0x0 sectors\npartition a of the disk label is empty.\n"},
    {"FileSystemAwayFromAnUnlabelledPartitionsStart",
     [](const TempFolder& f, const auto& card) { partitionedCard(card, ufsImage(f), 0xA5, 64); },
     "ufs: no file system (magic 0x0)\nthe partition at sector 0x3f has no valid disk label.\n"},
};

class UfsRefusal : public SandboxTest, public ::testing::WithParamInterface<Refusal> {
protected:
    /// The window console, recording into the Console page from the start.
    Console* windowConsole() {
        attachWindow();
        return Console::instance();
    }

    Console* console = windowConsole();
    TempFolder folder;
};

TEST_P(UfsRefusal, TheConsoleSaysWhy) {
    std::filesystem::path card = folder.path() / "card";
    GetParam().make(folder, card);
    sandbox::attachDisk(2, card);
    UfsFileManager manager(&console);
    ASSERT_TRUE(manager.setRoot(u"2:/")) << utf8(consolePage.text);
    bool good = GetParam().reason == nullptr;
    EXPECT_EQ(manager.open(u"/d/big.bin", 3), good);
    std::string opened = good ? "(100000 byte).\n" : std::string("failed.\n") + GetParam().reason;
    EXPECT_EQ(utf8(consolePage.text), "FileManager: UFS\nopen file \"/d/big.bin\" " + opened);
}

INSTANTIATE_TEST_SUITE_P(Cards, UfsRefusal, ::testing::ValuesIn(refusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UfsRefusal, ADiskThatIsNotThereIsNamed) {
    UfsFileManager manager(&console);
    EXPECT_FALSE(manager.setRoot(u"3:/"));
    EXPECT_EQ(utf8(consolePage.text), "FileManager: UFS\ncan't open DSK3:.\n");
}

}  // namespace
