// The UFS reader over hand-made file systems: every level of the block map, holes, the
// index cache, old directories, and fields that a damaged card could carry.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "file/IoResult.h"
#include "file/UfsFile.h"
#include "file/Winblk.h"
#include "sandbox/BlockDevice.h"
#include "tests/file/DiskImages.h"
#include "tests/file/UfsBuilder.h"
#include "tests/file/SameBytes.h"
#include "tests/support/SandboxTest.h"

using ::testing::HasSubstr;

namespace {

constexpr std::uint32_t blockSize = 4096;
constexpr std::uint16_t fileMode = 0x81A4;
constexpr std::uint32_t sb = UfsBuilder::superblockOffset;

// With 64 addresses per indirect block the triple-indirect range, and its end, lie
// within reach of 32-bit positions.
constexpr std::uint32_t single = 12;
constexpr std::uint32_t doubleStart = single + 64;
constexpr std::uint32_t tripleStart = doubleStart + 64 * 64;
constexpr std::uint32_t beyondTriple = tripleStart + 64 * 64 * 64;

std::string blockOf(char tag) { return patternBytes(blockSize, static_cast<std::uint32_t>(tag)); }

class UfsReader : public SandboxTest {
protected:
    explicit UfsReader(UfsBuilder::Options options = {}) : builder(options) {}

    /// A root holding "file" (inode 4, 10000 bytes in direct blocks) and `more`.
    void buildRoot(std::vector<std::pair<std::string, std::uint32_t>> more = {}) {
        builder.addFile(4, patternBytes(10000, 4));
        more.insert(more.begin(), {"file", 4});
        builder.addDirectory(2, 2, more);
    }

    void attach() { disk = &sandbox::attachDisk(1, builder.image()); }

    std::int32_t open(const char* path) {
        if (!file.deviceData && winblkOpen(file, "DSK", 1, 0) != io::ok) return -1;
        return ufsOpen(file, path);
    }

    std::string readAt(std::uint32_t position, std::uint32_t count, std::int32_t* result = nullptr) {
        std::string buffer(count, '\0');
        std::uint32_t remaining = 0;
        ufsSeek(file, position, 0);
        std::int32_t r = ufsRead(file, buffer.data(), count, &remaining);
        if (result != nullptr) *result = r;
        buffer.resize(count - remaining);
        return buffer;
    }

    /// Read requests the disk answers while `step` runs.
    std::uint32_t requestsFor(const std::function<void()>& step) {
        std::uint32_t before = disk->readRequests;
        step();
        return disk->readRequests - before;
    }

    std::string log() const { return utf8(machine.debugLog); }

    UfsBuilder builder;
    sandbox::DiskSettings* disk = nullptr;
    OpenFile file;
};

/// "sparse" (inode 3): data blocks at every level of the map with holes between them.
class UfsSparse : public UfsReader {
protected:
    UfsSparse() : UfsReader({.addressesPerBlock = 64}) {
        UfsBuilder& b = builder;
        std::uint32_t d0 = b.addBlock(blockOf('a'));
        std::uint32_t s3 = b.addBlock(blockOf('b'));
        std::uint32_t d27 = b.addBlock(blockOf('c'));
        std::uint32_t t5 = b.addBlock(blockOf('d'));
        std::uint32_t t6 = b.addBlock(blockOf('e'));
        std::uint32_t singleBlock = b.addIndirect({{3, s3}});
        std::uint32_t doubleBlock = b.addIndirect({{2, b.addIndirect({{7, d27}})}});
        tripleSecond = b.addIndirect({{0, b.addIndirect({{5, t5}, {6, t6}})}});
        std::uint32_t tripleBlock = b.addIndirect({{0, tripleSecond}});
        b.setInode(3, fileMode, std::uint64_t{tripleStart + 2 * 64 * 64} * blockSize, {d0}, {singleBlock, doubleBlock, tripleBlock});
        b.setInode(5, fileMode, std::uint64_t{beyondTriple + 1} * blockSize, {}, {});
        buildRoot({{"sparse", 3}, {"huge", 5}});
        attach();
    }

    std::uint32_t tripleSecond = 0;
};

TEST_F(UfsSparse, BlocksAtEveryLevelOfTheMapAndHolesBetweenThem) {
    ASSERT_EQ(open("/sparse"), io::ok);
    const std::string zeros(blockSize, '\0');
    struct Case {
        std::uint32_t block;
        std::string bytes;
    } cases[] = {
        {0, blockOf('a')},
        {1, zeros},                                // direct hole
        {single + 3, blockOf('b')},                // single indirect
        {single + 4, zeros},                       // hole in the single-indirect block
        {0, blockOf('a')},                         // back to a block the buffer held before
        {doubleStart + 2 * 64 + 7, blockOf('c')},  // double indirect
        {doubleStart + 5, zeros},                  // missing second-level block
        {tripleStart + 5, blockOf('d')},           // triple indirect
        {tripleStart + 6, blockOf('e')},
        {tripleStart + 64 * 64 + 1, zeros},        // missing second-level block of the triple
        {tripleStart + 2 * 64 * 64 - 1, zeros},    // the last block
    };
    for (const Case& c : cases) EXPECT_TRUE(sameBytes(readAt(c.block * blockSize, blockSize), c.bytes)) << "block " << c.block;
}

TEST_F(UfsSparse, IndexCacheSavesIndirectReadsWithinItsGroup) {
    ASSERT_EQ(open("/sparse"), io::ok);
    EXPECT_EQ(requestsFor([&] { readAt((tripleStart + 5) * blockSize, blockSize); }), 4u);  // three levels and the data
    EXPECT_EQ(requestsFor([&] { readAt((tripleStart + 6) * blockSize, blockSize); }), 1u);
    EXPECT_EQ(requestsFor([&] { readAt((tripleStart + 7) * blockSize, blockSize); }), 0u);  // a hole
    EXPECT_EQ(requestsFor([&] { readAt((tripleStart + 7) * blockSize + 100, 100); }), 0u);  // the buffered block
    // The next group: two levels, then a hole.
    EXPECT_EQ(requestsFor([&] { readAt((tripleStart + 64) * blockSize, blockSize); }), 2u);
}

TEST_F(UfsSparse, AFailedIndirectReadLeavesNoStaleBlockBehind) {
    ASSERT_EQ(open("/sparse"), io::ok);
    ASSERT_TRUE(sameBytes(readAt(0, blockSize), blockOf('a')));
    disk->readStatus[tripleSecond] = 30;
    std::int32_t result = io::ok;
    EXPECT_EQ(readAt((tripleStart + 5) * blockSize, blockSize, &result), "");
    EXPECT_EQ(result, io::ioError);
    disk->readStatus.clear();
    EXPECT_TRUE(sameBytes(readAt(0, blockSize), blockOf('a')));
}

TEST_F(UfsSparse, BlocksBeyondTheTripleIndirectRangeAreRefused) {
    ASSERT_EQ(open("/huge"), io::ok);
    std::int32_t result = io::ok;
    EXPECT_EQ(readAt(beyondTriple * blockSize, 10, &result), "");
    EXPECT_EQ(result, io::fileTooBig);
    EXPECT_THAT(log(), HasSubstr("ufs: file block 266316 is beyond the indirect blocks\n"));
}

class UfsOldDirectories : public UfsReader {
protected:
    UfsOldDirectories() : UfsReader({.maxSymlinkLength = 0}) {}
};

TEST_F(UfsOldDirectories, NamesCarrySixteenBitLengths) {
    builder.addFile(3, "old kernel");
    builder.addDirectory(5, 2, {{"inner", 3}});
    buildRoot({{"dir", 5}});
    attach();
    ASSERT_EQ(open("/dir/inner"), io::ok);
    EXPECT_EQ(readAt(0, 100), "old kernel");
    EXPECT_EQ(open("/file"), io::ok);
}

struct Damage {
    const char* name;
    std::function<void(UfsBuilder&)> apply;
    std::int32_t result;
    const char* message;
    const char* path = "/file";
};

void PrintTo(const Damage& c, std::ostream* out) { *out << c.name; }

class UfsDamage : public UfsReader, public ::testing::WithParamInterface<Damage> {};

TEST_P(UfsDamage, OpenFailsWithTheReason) {
    builder.addSymlink(6, std::string(100, 'x'));
    buildRoot({{"link", 6}});
    GetParam().apply(builder);
    attach();
    EXPECT_EQ(open(GetParam().path), GetParam().result);
    EXPECT_THAT(log(), HasSubstr(GetParam().message));
    EXPECT_FALSE(file.fileSystemData);
}

/// Sets the 32-bit field at `offset` of the superblock.
auto field(std::uint32_t offset, std::uint32_t value) {
    return [=](UfsBuilder& b) { b.put32(sb + offset, value); };
}

/// The offset of the root directory's entry `index` (".", "..", "file", "link").
std::uint32_t rootEntry(UfsBuilder& b, int index) {
    static constexpr std::uint32_t offsets[] = {0, 12, 24, 40};
    return b.fragmentOffset(b.get32(b.inodeOffset(2) + 40)) + offsets[index];
}

auto entry16(int index, std::uint32_t at, std::uint16_t value) {
    return [=](UfsBuilder& b) { b.put16(rootEntry(b, index) + at, value); };
}

INSTANTIATE_TEST_SUITE_P(
    Superblock, UfsDamage,
    ::testing::Values(
        Damage{"Magic", field(1372, 0x11955), io::invalid, "ufs: no file system (magic 0x11955)\n"},
        Damage{"BlockSizeBelowTheSuperblock", field(48, 512), io::invalid, "bad superblock: block size\n"},
        Damage{"BlockSizeAbove64K", field(48, 131072), io::invalid, "bad superblock: block size\n"},
        Damage{"BlockShiftOutOfRange", field(80, 40), io::invalid, "bad superblock: block shift\n"},
        Damage{"BlockShiftNotTheSize", field(80, 13), io::invalid, "bad superblock: block shift\n"},
        Damage{"FragmentShiftOutOfRange", field(96, 33), io::invalid, "bad superblock: fragment shift\n"},
        Damage{"FragmentsBelowASector", field(96, 4), io::invalid, "bad superblock: fragment shift\n"},
        Damage{"SectorShiftOutOfRange", field(100, 32), io::invalid, "bad superblock: fragment-to-sector shift\n"},
        Damage{"BlockOffsetMask", field(1336, 0xFFFF), io::invalid, "bad superblock: block offset mask\n"},
        Damage{"FragmentMask", field(76, 0), io::invalid, "bad superblock: fragment masks\n"},
        Damage{"NoAddressesPerIndirectBlock", field(116, 0), io::invalid, "addresses per indirect block\n"},
        Damage{"AddressesNotAPowerOfTwo", field(116, 1000), io::invalid, "addresses per indirect block\n"},
        Damage{"AddressesBelowTheIndexCache", field(116, 32), io::invalid, "addresses per indirect block\n"},
        Damage{"AddressesBeyondTheBlock", field(116, 2048), io::invalid, "addresses per indirect block\n"},
        Damage{"NoInodesPerBlock", field(120, 0), io::invalid, "bad superblock: inodes per block\n"},
        Damage{"InodesBeyondTheBlock", field(120, 64), io::invalid, "bad superblock: inodes per block\n"},
        Damage{"NoInodesPerGroup", field(184, 0), io::invalid, "bad superblock: inodes per group\n"},
        Damage{"SectorsBeyond32Bits", field(100, 31), io::invalid, "ufs: fragment 32 is beyond the file system"},
        Damage{"InodeTableBeyondTheFileSystem", field(36, 35), io::invalid, "ufs: fragment 32 is beyond the file system"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Directory, UfsDamage,
    ::testing::Values(
        Damage{"RecordLengthZeroInTheMiddle", entry16(1, 4, 0), io::invalid, "ufs: corrupt directory entry in the block at 0\n"},
        Damage{"RecordShorterThanItsHeader", entry16(2, 4, 4), io::invalid, "corrupt directory entry"},
        Damage{"RecordPastTheBlock", entry16(2, 4, 1000), io::invalid, "corrupt directory entry"},
        Damage{"HeaderPastTheBlock", entry16(0, 4, 508), io::invalid, "corrupt directory entry"},
        Damage{"NamePastTheRecord", [](UfsBuilder& b) { b.put16(rootEntry(b, 1) + 6, 0xFF04); }, io::invalid,
               "corrupt directory entry"},
        Damage{"EmptyBlock", entry16(0, 4, 0), io::noSuchFile, ""},
        Damage{"InodeBeyondTheFileSystem", [](UfsBuilder& b) { b.put32(rootEntry(b, 2), 1000); }, io::invalid,
               "ufs: inode 1000 is beyond the file system\n"},
        Damage{"SizeBeyond32Bits", [](UfsBuilder& b) { b.put64(b.inodeOffset(4) + 8, 0x100000005); }, io::fileTooBig,
               "ufs: inode 4 is too big\n"}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Symlink, UfsDamage,
    ::testing::Values(
        Damage{"LinkLongerThanItsInodeHolds", field(1320, 200), io::invalid,
               "ufs: symbolic link of 100 bytes cannot be held in its inode\n", "/link/x"},
        Damage{"LinkAndPathBeyondTheNameBuffer", [](UfsBuilder& b) { b.put64(b.inodeOffset(6) + 8, 1022); },
               io::noSuchFile, "", "/link/x"},
        Damage{"LinkSizeBeyond32Bits", [](UfsBuilder& b) { b.put64(b.inodeOffset(6) + 8, ~std::uint64_t{0}); },
               io::fileTooBig, "ufs: inode 6 is too big\n", "/link/x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UfsReader, ReadsOfBlocksBeyondTheFileSystemFail) {
    buildRoot();
    builder.put32(builder.inodeOffset(4) + 40 + 4, 0x7FFFFFF0);  // the second block
    attach();
    ASSERT_EQ(open("/file"), io::ok);
    std::int32_t result = io::ok;
    EXPECT_TRUE(sameBytes(readAt(0, 10000, &result), patternBytes(10000, 4).substr(0, blockSize)));
    EXPECT_EQ(result, io::invalid);
    EXPECT_THAT(log(), HasSubstr("ufs: fragment 2147483632 is beyond the file system"));
}

TEST_F(UfsReader, DeviceAndHeapFailuresEndTheOpen) {
    buildRoot();
    attach();
    disk->readStatus[16] = 30;
    EXPECT_EQ(open("/file"), io::ioError);
    disk->readStatus.clear();
    machine.heapExhausted = true;
    EXPECT_EQ(open("/file"), io::outOfMemory);
    machine.heapExhausted = false;
    EXPECT_EQ(open("/file"), io::ok);
}

TEST_F(UfsReader, SeekOrigins) {
    buildRoot();
    attach();
    EXPECT_EQ(ufsSeek(file, 0, 0), -1);  // nothing open
    ASSERT_EQ(open("/file"), io::ok);
    struct Case {
        std::int64_t offset;
        std::int32_t origin;
        std::int64_t position;
    } cases[] = {{100, 0, 100}, {50, 1, 150}, {-200, 1, -1}, {10, 2, 9990}, {0, 3, -1},
                 {0xFFFFFFFF, 0, 0xFFFFFFFF}, {1, 1, -1}, {0x100000000, 0, -1}};
    for (const Case& c : cases) EXPECT_EQ(ufsSeek(file, c.offset, c.origin), c.position) << c.offset << "/" << c.origin;
}

}  // namespace
