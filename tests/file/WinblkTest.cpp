// The block-device layer against disks with real sfdisk and fdisk records, and against
// hand-made records for what the tools never write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "file/IoResult.h"
#include "file/Winblk.h"
#include "platform/files.h"
#include "sandbox/BlockDevice.h"
#include "tests/file/DiskImages.h"
#include "tests/support/SandboxTest.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

constexpr std::uint32_t labelMagic = 0x82564557;

void put32(std::vector<std::uint8_t>& disk, std::size_t at, std::uint32_t value) { std::memcpy(&disk[at], &value, 4); }
void put16(std::vector<std::uint8_t>& disk, std::size_t at, std::uint16_t value) { std::memcpy(&disk[at], &value, 2); }

/// A disk of `sectors` whose MBR slot 0 is a 0xA5 partition at `start` of `count` sectors.
std::vector<std::uint8_t> mbrDisk(std::uint32_t sectors, std::uint32_t start, std::uint32_t count) {
    std::vector<std::uint8_t> disk(std::size_t{sectors} * 512);
    std::uint8_t* entry = &disk[446];
    entry[0] = 0x80;
    entry[1] = 1, entry[2] = 2, entry[3] = 3;
    entry[4] = 0xA5;
    entry[5] = 5, entry[6] = 6, entry[7] = 7;
    put32(disk, 446 + 8, start);
    put32(disk, 446 + 12, count);
    disk[510] = 0x55, disk[511] = 0xAA;
    return disk;
}

/// Writes a label of `partitions` entries (entry i starts at 100 + i) into `sector`,
/// with a checksum that makes it valid when it fits the sector.
void writeLabel(std::vector<std::uint8_t>& disk, std::uint32_t sector, std::uint16_t partitions) {
    std::size_t at = std::size_t{sector} * 512;
    put32(disk, at, labelMagic);
    put32(disk, at + 132, labelMagic);
    put16(disk, at + 138, partitions);
    for (std::uint32_t i = 0; i < partitions && 148 + 16 * i + 8 <= 512; ++i) {
        put32(disk, at + 148 + 16 * i, 50);
        put32(disk, at + 148 + 16 * i + 4, 100 + i);
    }
    std::uint16_t sum = 0;
    for (std::size_t offset = 0; offset < std::min<std::size_t>(148 + 16u * partitions, 512); offset += 2) {
        std::uint16_t word;
        std::memcpy(&word, &disk[at + offset], 2);
        sum ^= word;
    }
    put16(disk, at + 136, sum);
}

class Winblk : public SandboxTest {
protected:
    std::string log() const { return utf8(machine.debugLog); }

    /// A real card: the MBR made by sfdisk with `entries`, partitions filled with a pattern.
    sandbox::DiskSettings& attachCard(const std::vector<MbrEntry>& entries, bool labelled = false) {
        std::filesystem::path disk = storage.path() / "card.img";
        makeMbrDisk(disk, 1024, entries);
        std::filesystem::path fill = storage.path() / "fill.bin";
        writeFile(fill, patternBytes(400 * 512, 7));
        placeAt(disk, fill, 600);
        if (labelled) labelPartition(disk);
        image = readFile(disk);
        return sandbox::attachDisk(1, disk);
    }

    OpenFile file;
    std::string image;
};

TEST_F(Winblk, LabelledPartitionAtSector63) {
    attachCard({{1, 63, 900, 0xA5}}, true);
    ASSERT_EQ(winblkOpen(file, "DSK", 1, 0), io::ok);
    EXPECT_EQ(file.deviceData->startSector, 0x3Fu);
    EXPECT_EQ(file.deviceData->sectorCount, 900u);
    EXPECT_THAT(log(), HasSubstr("rawread(0x40, 1)=0\nstart sector=0x3f\n"));
}

struct Selection {
    const char* name;
    std::vector<MbrEntry> entries;
    std::uint32_t start;
    const char* message;
};

void PrintTo(const Selection& c, std::ostream* out) { *out << c.name; }

class WinblkSelection : public Winblk, public ::testing::WithParamInterface<Selection> {};

TEST_P(WinblkSelection, PicksThePartitionOfTheFileSystem) {
    attachCard(GetParam().entries);
    ASSERT_EQ(winblkOpen(file, "DSK", 1, 0), io::ok);
    EXPECT_EQ(file.deviceData->startSector, GetParam().start);
    EXPECT_THAT(log(), HasSubstr(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Mbr, WinblkSelection,
    ::testing::Values(
        Selection{"A9WinsOverAnEarlierA5", {{1, 63, 100, 0xA5}, {3, 300, 100, 0xA9}}, 300,
                  "invalid disklabel, start sector=0x12c\n"},
        Selection{"FirstA9WinsAtOnce", {{1, 63, 100, 0xA9}, {2, 300, 100, 0xA5}}, 63,
                  "invalid disklabel, start sector=0x3f\n"},
        Selection{"LastOfTwoA5", {{1, 63, 100, 0xA5}, {2, 300, 100, 0xA5}}, 300,
                  "invalid disklabel, start sector=0x12c\n"},
        Selection{"NoneUsesTheWholeDisk", {{1, 63, 100, 0x83}}, 0, "rawread(0x0, 1)=0\n"
                                                                      "0: type=131 63(100)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Winblk, WithoutOurPartitionNoLabelIsRead) {
    attachCard({{1, 63, 100, 0x83}});
    ASSERT_EQ(winblkOpen(file, "DSK", 1, 0), io::ok);
    EXPECT_THAT(log(), HasSubstr("no KVX partition, start sector=0x0\n"));
    EXPECT_THAT(log(), Not(HasSubstr("rawread(0x1,")));
    EXPECT_EQ(file.deviceData->sectorCount, 1024u);
}

TEST_F(Winblk, EveryStepIsReportedOnTheDebugOutput) {
    std::vector<std::uint8_t> disk = mbrDisk(16, 2, 10);
    writeLabel(disk, 3, 4);
    sandbox::DiskSettings& settings = sandbox::attachDisk(1, disk);
    settings.info = {16, 512, 7, 8, 9, platform::diskFlagMbr | platform::diskFlagPageable};
    ASSERT_EQ(winblkOpen(file, "dsk", 1, 2), io::ok);
    EXPECT_EQ(log(),
              "winblk.open: block device name is 'DSK1:'\n"
              "DISK_INFO: CHS=7:8:9  block size=512  flag=MBR PAGEABLE \n"
              "rawread(0x0, 1)=0\n"
              "0: type=165 2(10) (3:1:2 - 7:5:6) flag=0x80\n"
              "1: type=0 0(0) (0:0:0 - 0:0:0) flag=0x00\n"
              "2: type=0 0(0) (0:0:0 - 0:0:0) flag=0x00\n"
              "3: type=0 0(0) (0:0:0 - 0:0:0) flag=0x00\n"
              "rawread(0x3, 1)=0\n"
              "start sector=0x66\n");
}

TEST_F(Winblk, StrategyReadsAPartialSectorThroughTheSectorBuffer) {
    attachCard({{1, 600, 400, 0xA5}});
    ASSERT_EQ(winblkOpen(file, "DSK", 1, 0), io::ok);
    machine.debugLog.clear();
    std::string buffer(1100, '\x5A');
    std::uint32_t done = 0;
    ASSERT_EQ(winblkStrategy(file.deviceData.get(), deviceRead, 1, 1000, buffer.data(), &done), io::ok);
    EXPECT_EQ(done, 1000u);
    EXPECT_EQ(buffer.substr(0, 1000), image.substr(601 * 512, 1000));
    EXPECT_EQ(buffer.substr(1000), std::string(100, '\x5A'));  // nothing written past the count
    EXPECT_EQ(log(), "rawread(0x259, 1)=0\nrawread(0x25a, 1)=0\n");
}

TEST_F(Winblk, StrategyServesOnlyReadsInsideThePartition) {
    attachCard({{1, 600, 400, 0xA5}});
    ASSERT_EQ(winblkOpen(file, "DSK", 1, 0), io::ok);
    char buffer[1024];
    EXPECT_EQ(winblkStrategy(file.deviceData.get(), 2, 0, 512, buffer, nullptr), io::readOnly);
    EXPECT_EQ(winblkStrategy(file.deviceData.get(), deviceRead, 399, 512, buffer, nullptr), io::ok);
    EXPECT_EQ(winblkStrategy(file.deviceData.get(), deviceRead, 399, 513, buffer, nullptr), io::invalid);
    EXPECT_EQ(winblkStrategy(file.deviceData.get(), deviceRead, 0xFFFFFFFF, 512, buffer, nullptr), io::invalid);
    EXPECT_THAT(log(), HasSubstr("winblk.strategy: sectors 0x18f-0x190 beyond the partition of 0x190 sectors\n"));
    EXPECT_EQ(winblkStrategy(nullptr, deviceRead, 0, 512, buffer, nullptr), io::noSuchDevice);
}

TEST_F(Winblk, NamesThatCannotBeADeviceFailBeforeAnyOpen) {
    struct Case {
        const char* type;
        std::int32_t unit;
    } cases[] = {{"DSK", 10}, {"DSK", -1}, {"DS", 1}, {"DSKX", 1}, {nullptr, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(winblkOpen(file, c.type, c.unit, 0), io::noSuchDevice) << (c.type ? c.type : "null") << c.unit;
        EXPECT_FALSE(file.deviceData);
    }
    EXPECT_EQ(log(), "");
}

struct Fault {
    const char* name;
    std::function<void(sandbox::DiskSettings&)> inject;
    std::int32_t result;
    const char* message;
};

void PrintTo(const Fault& c, std::ostream* out) { *out << c.name; }

class WinblkFault : public Winblk, public ::testing::WithParamInterface<Fault> {};

TEST_P(WinblkFault, FailsWithItsCodeAndMessageAndKeepsNothingOpen) {
    sandbox::DiskSettings& settings = attachCard({{1, 63, 900, 0xA5}}, true);
    GetParam().inject(settings);
    EXPECT_EQ(winblkOpen(file, "DSK", 1, 0), GetParam().result);
    EXPECT_THAT(log(), HasSubstr(GetParam().message));
    EXPECT_FALSE(file.deviceData);
    EXPECT_TRUE(machine.handles.empty());
}

using platform::diskFlagMbr;

INSTANTIATE_TEST_SUITE_P(
    Disk, WinblkFault,
    ::testing::Values(
        Fault{"InfoRequestFails", [](auto& s) { s.infoError = platform::errorNotReady; }, io::ioError,
              "DeviceIoControl() failed.error=21\n"},
        Fault{"Unformatted", [](auto& s) { s.info.flags = diskFlagMbr | platform::diskFlagUnformatted; }, io::invalid,
              "flag=MBR UNFORMATTED \ninvalid flags\n"},
        Fault{"GeometryUncertain", [](auto& s) { s.info.flags = diskFlagMbr | platform::diskFlagChsUncertain; },
              io::invalid, "flag=MBR CHS_UNCERTAIN \ninvalid flags\n"},
        Fault{"NoMbr", [](auto& s) { s.info.flags = 0; }, io::invalid, "flag=\ninvalid flags\n"},
        Fault{"LargeSectors", [](auto& s) { s.info.bytesPerSector = 2048; }, io::invalid, "block size=2048"},
        Fault{"MbrReadStatus", [](auto& s) { s.readStatus[0] = 30; }, io::ioError,
              "rawread(0x0, 1)=30\nDeviceIoControl(READ): status=30\n"},
        Fault{"LabelReadStatus", [](auto& s) { s.readStatus[64] = 27; }, io::ioError,
              "rawread(0x40, 1)=27\nDeviceIoControl(READ): status=27\n"},
        Fault{"ReadRequestFails", [](auto& s) { s.readError = platform::errorNotReady; }, io::ioError,
              "rawread(0x0, 1)DeviceIoControl() failed.error=21\n"},
        Fault{"HeapExhausted", [](auto&) { sandbox::machine().heapExhausted = true; }, io::outOfMemory, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Winblk, MissingDevice) {
    EXPECT_EQ(winblkOpen(file, "DSK", 3, 0), io::noSuchDevice);
    EXPECT_THAT(log(), HasSubstr("can't open DSK3:.\n"));
}

struct Label {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    std::int32_t partition;
    std::int32_t result;
    std::uint32_t start;
};

void PrintTo(const Label& c, std::ostream* out) { *out << c.name; }

class WinblkLabel : public Winblk, public ::testing::WithParamInterface<Label> {};

TEST_P(WinblkLabel, OnlyAnIntactLabelMovesTheStart) {
    std::vector<std::uint8_t> disk = mbrDisk(16, 2, 10);
    GetParam().damage(disk);
    sandbox::attachDisk(1, disk);
    EXPECT_EQ(winblkOpen(file, "DSK", 1, GetParam().partition), GetParam().result);
    if (GetParam().result == io::ok) {
        EXPECT_EQ(file.deviceData->startSector, GetParam().start);
        EXPECT_THAT(log(), HasSubstr(GetParam().start == 2 ? "invalid disklabel, start sector=0x2\n" : "start sector="));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sector, WinblkLabel,
    ::testing::Values(
        Label{"Intact", [](auto& d) { writeLabel(d, 3, 8); }, 0, io::ok, 100},
        Label{"EntryBeyondTheFirst276Bytes", [](auto& d) { writeLabel(d, 3, 12); }, 9, io::ok, 109},
        Label{"LastEntryTheSectorHolds", [](auto& d) { writeLabel(d, 3, 22); }, 21, io::ok, 121},
        Label{"ChecksumWouldRunPastTheSector", [](auto& d) { writeLabel(d, 3, 23); }, 0, io::ok, 2},
        Label{"HugePartitionCount", [](auto& d) { writeLabel(d, 3, 0xFFFF); }, 0, io::ok, 2},
        Label{"WrongChecksum", [](auto& d) { writeLabel(d, 3, 8), d[3 * 512 + 150] ^= 1; }, 0, io::ok, 2},
        Label{"WrongSecondMagic", [](auto& d) { writeLabel(d, 3, 8), d[3 * 512 + 133] ^= 1; }, 0, io::ok, 2},
        Label{"NoLabel", [](auto&) {}, 0, io::ok, 2},
        Label{"IndexNotInTheLabel", [](auto& d) { writeLabel(d, 3, 8); }, 8, io::invalid, 0},
        Label{"NegativeIndex", [](auto& d) { writeLabel(d, 3, 8); }, -1, io::invalid, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Winblk, ClosingOrReopeningReleasesTheDevice) {
    attachCard({{1, 63, 900, 0xA5}}, true);
    ASSERT_EQ(winblkOpen(file, "DSK", 1, 0), io::ok);
    ASSERT_EQ(winblkOpen(file, "DSK", 1, 0), io::ok);
    EXPECT_EQ(machine.handles.size(), 1u);
    EXPECT_EQ(winblkClose(file), io::ok);
    EXPECT_FALSE(file.deviceData);
    EXPECT_TRUE(machine.handles.empty());
}

}  // namespace
