// The chain-building machinery of the loader base.
#include <cstring>

#include "file/FileManager.h"
#include "load/Loader.h"
#include "tests/load/ElfBuilder.h"
#include "tests/load/LoadTest.h"

namespace {

/// The base with its staging steps opened up.
class SegmentLoader : public Loader {
public:
    using Loader::Loader;
    std::uint32_t memorySize() override { return 0; }
    bool load() override { return false; }
    std::uint32_t jumpAddress() override { return 0; }
    using Loader::loadBuffer;
    using Loader::loadSegment;
    using Loader::startChain;
    std::uint32_t end() const { return imageEnd; }
};

class LoaderTest : public LoadTest {
protected:
    LoaderTest() {
        file.bytes = patternBytes(0x40000);
        EXPECT_TRUE(loader.setFile(fileManager));
    }
    /// A pool for `bytes` of staging, with the Console emptied.
    void pool(std::uint32_t bytes = 0x40000) {
        ASSERT_TRUE(allocateFor(bytes));
        takeText();
    }

    SegmentLoader loader{&console, &memoryManager};
};

TEST_F(LoaderTest, WorkedExampleThroughThePhysicalView) {
    pool();
    loader.startChain();
    loader.loadSegment(0xC0200000, 0x3000, 0, 0x2000);
    loader.loadEnd();
    EXPECT_EQ(takeText(), "\t->load 0xc0200000+0x00003000=0xc0203000 ofs=0x00000000+0x2000\n"
                          "\t->zero 0xc0202000+0x00001000=0xc0203000\n"
                          "load link 3, zero clear link 1\n");
    EXPECT_EQ(loader.end(), 0xC0203000u);

    std::uint32_t t0 = loader.tagChainStart();
    ChainWalk chain = walk(t0);
    ASSERT_TRUE(chain.sound);
    ASSERT_EQ(linksOf(chain), (std::vector<Link>{{false, 0xC0200000, 0xFF0},
                                                 {false, 0xC0200FF0, 0xFF0},
                                                 {false, 0xC0201FE0, 0x20},
                                                 {true, 0xC0202000, 0x1000}}));
    // T0 describes P1's payload; the slot of Pk describes Pk+1's; the zero link sits
    // in the slot of P3, the last page taken.
    EXPECT_EQ(chain.ranges[0].tagPhysical, t0);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(chain.ranges[k].tag.next, chain.ranges[k].tag.src - 16);
    EXPECT_EQ(chain.ranges[3].tag.next, PageTag::endOfChain);
    EXPECT_EQ(stagedBytes(chain, 0xC0200000, 0x2000), std::vector<std::uint8_t>(file.bytes.begin(), file.bytes.begin() + 0x2000));
    EXPECT_EQ(stagedBytes(chain, 0xC0202000, 0x1000), std::vector<std::uint8_t>(0x1000, 0));

    // T1, the slot after T0, stays prepared: all zeros and linked from nowhere.
    PageTag t1{};
    ASSERT_TRUE(machine.memory.read(t0 + 16, &t1, sizeof t1));
    EXPECT_EQ(t1.next | t1.src | t1.dst | t1.len, 0u);
}

TEST_F(LoaderTest, SegmentShapes) {
    struct Case {
        std::uint32_t fileSize;
        std::uint32_t memorySize;
        std::vector<Link> links;
        const char* text;
    };
    const Case cases[] = {
        {4080, 4080, {{false, 0xC0100000, 4080}}, "\t->load 0xc0100000+0x00000ff0=0xc0100ff0 ofs=0x00000100+0xff0\n"},
        {4081, 4081, {{false, 0xC0100000, 4080}, {false, 0xC0100FF0, 1}},
         "\t->load 0xc0100000+0x00000ff1=0xc0100ff1 ofs=0x00000100+0xff1\n"},
        {0, 0x1000, {{true, 0xC0100000, 0x1000}},
         "\t->load 0xc0100000+0x00001000=0xc0101000 ofs=0x00000100+0x0\n"
         "\t->zero 0xc0100000+0x00001000=0xc0101000\n"},
        {0x10, 0x20, {{false, 0xC0100000, 0x10}, {true, 0xC0100010, 0x10}},
         "\t->load 0xc0100000+0x00000020=0xc0100020 ofs=0x00000100+0x10\n"
         "\t->zero 0xc0100010+0x00000010=0xc0100020\n"},
        // More file than memory: the whole file part, and nothing to clear.
        {0x30, 0x20, {{false, 0xC0100000, 0x30}}, "\t->load 0xc0100000+0x00000020=0xc0100020 ofs=0x00000100+0x30\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileSize);
        makeManager();
        pool();
        loader.startChain();
        loader.loadSegment(0xC0100000, c.memorySize, 0x100, c.fileSize);
        EXPECT_EQ(takeText(), c.text);
        loader.loadEnd();
        ChainWalk chain = walk(loader.tagChainStart());
        ASSERT_TRUE(chain.sound);
        EXPECT_EQ(linksOf(chain), c.links);
        EXPECT_EQ(stagedBytes(chain, 0xC0100000, std::min(c.fileSize, 0x30u)),
                  std::vector<std::uint8_t>(file.bytes.begin() + 0x100, file.bytes.begin() + 0x100 + std::min(c.fileSize, 0x30u)));
    }
}

TEST_F(LoaderTest, AZeroLinkFillsThePreparedTagAndTheNextFreeSlotBecomesPrepared) {
    pool();
    loader.startChain();
    std::uint32_t t0 = loader.tagChainStart();
    loader.loadSegment(0xC0100000, 0x1000, 0, 0);
    loader.loadSegment(0xC0200000, 0x2000, 0, 0);
    loader.loadEnd();
    ChainWalk chain = walk(t0);
    ASSERT_EQ(chain.ranges.size(), 2u);
    EXPECT_EQ(chain.ranges[0].tagPhysical, t0);
    EXPECT_EQ(chain.ranges[1].tagPhysical, t0 + 16);
    EXPECT_EQ(chain.ranges[1].tag.next, PageTag::endOfChain);
}

TEST_F(LoaderTest, TwoSegmentsAndABufferAreVisitedInStagingOrder) {
    pool();
    const char symbols[] = "buffered bytes";
    loader.startChain();
    loader.loadSegment(0xC0200000, 0x2100, 0x1000, 0x2000);
    loader.loadBuffer(0xC0300000, sizeof symbols, symbols);
    loader.loadSegment(0xC0100000, 0x800, 0x4000, 0x700);
    takeText();
    loader.loadEnd();
    EXPECT_EQ(takeText(), "load link 5, zero clear link 2\n");
    ChainWalk chain = walk(loader.tagChainStart());
    ASSERT_TRUE(chain.sound);
    EXPECT_EQ(linksOf(chain), (std::vector<Link>{{false, 0xC0200000, 0xFF0},
                                                 {false, 0xC0200FF0, 0xFF0},
                                                 {false, 0xC0201FE0, 0x20},
                                                 {true, 0xC0202000, 0x100},
                                                 {false, 0xC0300000, sizeof symbols},
                                                 {false, 0xC0100000, 0x700},
                                                 {true, 0xC0100700, 0x100}}));
    EXPECT_EQ(std::memcmp(chain.ranges[4].payload.data(), symbols, sizeof symbols), 0);
    EXPECT_EQ(chain.ranges.back().tag.next, PageTag::endOfChain);
    EXPECT_EQ(loader.end(), 0xC0100800u);
}

TEST_F(LoaderTest, FileSystemImageGoesOnTheNext4KiBBoundary) {
    pool();
    loader.startChain();
    loader.loadSegment(0xC0300000, 0x45678, 0, 0x10);
    std::vector<std::uint8_t> image = patternBytes(0x1800, 9);
    file.bytes = image;
    takeText();
    EXPECT_TRUE(loader.loadFileSystemImage());
    EXPECT_EQ(takeText(), "[file system image]\n\t->load 0xc0346000+0x00001800=0xc0347800 ofs=0x00000000+0x1800\n");
    loader.loadEnd();
    ChainWalk chain = walk(loader.tagChainStart());
    EXPECT_EQ(stagedBytes(chain, 0xC0346000, 0x1800), image);
}

TEST_F(LoaderTest, ImageThatIsCutShortOrDamagedFailsTheLoad) {
    pool();
    loader.startChain();
    loader.loadSegment(0xC0300000, 0x1000, 0, 0x1000);
    file.bytes = patternBytes(0x1800, 9);
    file.reportedRealSize = 0x2000;
    takeText();
    EXPECT_FALSE(loader.loadFileSystemImage());
    EXPECT_EQ(takeText(), "[file system image]\n\t->load 0xc0301000+0x00002000=0xc0303000 ofs=0x00000000+0x2000\n"
                          "can't read 0xff0 bytes at offset 0xff0 (got 2064).\n");

    // A stream whose end is damaged delivers every byte and fails after them.
    makeManager();
    pool();
    loader.startChain();
    file.reportedRealSize.reset();
    file.failAt = 0x1800;
    EXPECT_FALSE(loader.loadFileSystemImage());
    EXPECT_NE(takeText().find("file system image is damaged.\n"), std::string::npos);

    file.reportedRealSize = 0xFFFFFFFF;
    EXPECT_FALSE(loader.loadFileSystemImage());
    EXPECT_EQ(takeText(), "[file system image]\ncan't learn the file system image size.\n");
}

TEST_F(LoaderTest, ShortReadFailsTheLoadOnceAndStagesNothingMore) {
    pool();
    file.failAt = 0x1800;
    loader.startChain();
    loader.loadSegment(0xC0200000, 0x4000, 0, 0x4000);
    EXPECT_FALSE(loader.succeeded());
    EXPECT_EQ(takeText(), "\t->load 0xc0200000+0x00004000=0xc0204000 ofs=0x00000000+0x4000\n"
                          "can't read 0xff0 bytes at offset 0xff0 (got 2064).\n");
    loader.loadSegment(0xC0300000, 0x1000, 0, 0x10);
    EXPECT_EQ(takeText(), "\t->load 0xc0300000+0x00001000=0xc0301000 ofs=0x00000000+0x10\n");
}

TEST_F(LoaderTest, RunningOutOfPagesFailsTheLoad) {
    ASSERT_TRUE(memoryManager->allocatePages(0x10000));
    takeText();
    loader.startChain();
    loader.loadSegment(0xC0200000, 0x20000, 0, 0x20000);
    EXPECT_FALSE(loader.succeeded());
    std::string text = takeText();
    EXPECT_EQ(text.find("page insufficient.\n"), text.rfind("page insufficient.\n"));
    EXPECT_NE(text.find("page insufficient.\n"), std::string::npos);

    // Without even a tag page nothing is staged and nothing is written.
    makeManager();
    loader.startChain();
    loader.loadBuffer(0xC0200000, 4, "abc");
    EXPECT_FALSE(loader.succeeded());
}

TEST_F(LoaderTest, RangesMustEndBelowFourGigabytes) {
    pool();
    loader.startChain();
    loader.loadSegment(0xFFFFF000, 0x2000, 0, 0x10);
    EXPECT_FALSE(loader.succeeded());
    EXPECT_EQ(takeText(), "\t->load 0xfffff000+0x00002000=0x00001000 ofs=0x00000000+0x10\n"
                          "range 0xfffff000+0x00002000 runs past the end of the address space.\n");
    loader.startChain();
    loader.loadBuffer(0xFFFFFFF0, 0x20, patternBytes(0x20).data());
    EXPECT_FALSE(loader.succeeded());
}

TEST_F(LoaderTest, FileOffsetsBeyondWhatTheFileInterfaceAddressesAreReadErrors) {
    pool();
    loader.startChain();
    loader.loadSegment(0xC0200000, 0x100, 0x7FFFFFF0, 0x100);
    EXPECT_FALSE(loader.succeeded());
    EXPECT_NE(takeText().find("can't read 0x100 bytes at offset 0x7ffffff0 (got -1).\n"), std::string::npos);
}

TEST_F(LoaderTest, ZeroLinksBeyondTheTagPageAreRefused) {
    // 256-byte pages have 16 tag slots: slot 0 and 15 zero-clear links.
    makeManager(256);
    pool(0x10000);
    loader.startChain();
    for (std::uint32_t i = 0; i < 15; ++i) loader.loadSegment(0xC0200000 + i * 0x1000, 0x100, 0, 0);
    EXPECT_TRUE(loader.succeeded());
    takeText();
    loader.loadSegment(0xC0300000, 0x100, 0, 0);
    EXPECT_FALSE(loader.succeeded());
    EXPECT_EQ(takeText(), "\t->load 0xc0300000+0x00000100=0xc0300100 ofs=0x00000000+0x0\n"
                          "too many zero clear links for the tag page.\n");
}

TEST_F(LoaderTest, EndingAChainWithNothingStagedOnlyPrintsTheCounts) {
    pool();
    loader.startChain();
    loader.loadEnd();
    EXPECT_EQ(takeText(), "load link 0, zero clear link 0\n");
}

TEST(ObjectFormat, RecognisesTheElfMagicInAWholeHeader) {
    Console* console = nullptr;
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::int32_t format;
    };
    std::vector<std::uint8_t> elf = ElfBuilder().segment(0xC0200000, {1, 2, 3, 4}, 4).build();
    std::vector<std::uint8_t> ele = elf;
    ele[3] = 'E';
    const Case cases[] = {
        {elf, Loader::elfFormat},
        {ele, Loader::unknownFormat},
        {{0x7F, 'E', 'L', 'F'}, Loader::unknownFormat},  // a short read
        {{}, Loader::unknownFormat},
    };
    for (const Case& c : cases) {
        MemoryFileManager file(&console, c.bytes);
        EXPECT_EQ(Loader::objectFormat(file), c.format);
    }
}

}  // namespace
