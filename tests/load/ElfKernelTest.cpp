// The ELF loader on kernels built by the GNU ARM toolchain, checked against what
// readelf says of the same files.
#include <cstdio>
#include <cstring>
#include <string>

#include "boot/BootMenu.h"
#include "load/ElfLoader.h"
#include "load/SymbolBlockLayout.h"
#include "platform/ui.h"
#include "tests/load/ElfBuilder.h"
#include "tests/load/LoadTest.h"
#include "tests/load/ReadElfListing.h"

namespace {

std::string kernelPath(const std::string& name) { return std::string(TEMBREL_KERNELS_DIR) + "/" + name; }

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

std::uint32_t roundUpToPage(std::uint32_t bytes) { return (bytes + 0xFFF) & ~0xFFFu; }

class ElfKernelTest : public LoadTest {
protected:
    ElfKernelTest() { BootMenu::instance()->preferences.safetyMessage = 0; }

    void open(const std::string& name) {
        file.bytes = readHostFile(kernelPath(name + ".elf"));
        listing = readElfListing(kernelPath(name + ".readelf"));
        ASSERT_FALSE(file.bytes.empty());
        ASSERT_FALSE(listing.segments.empty());
    }

    /// setFile, memorySize, the pool, load and loadEnd; the staged chain.
    ChainWalk stage() {
        EXPECT_TRUE(loader.setFile(fileManager));
        EXPECT_TRUE(allocateFor(loader.memorySize()));
        EXPECT_TRUE(loader.load());
        loader.loadEnd();
        return walk(loader.tagChainStart());
    }

    std::vector<std::uint8_t> fileBytes(std::uint32_t offset, std::uint32_t size) const {
        return {file.bytes.begin() + offset, file.bytes.begin() + offset + size};
    }

    /// Every loadable segment readelf lists is staged whole, its cleared part as zeros.
    void expectSegmentsStaged(const ChainWalk& chain) const {
        for (const ListedSegment& s : listing.segments) {
            if (s.type != "LOAD") continue;
            EXPECT_EQ(stagedBytes(chain, s.vaddr, s.filesz), fileBytes(s.offset, s.filesz)) << hex(s.vaddr);
            EXPECT_EQ(stagedBytes(chain, s.vaddr + s.filesz, s.memsz - s.filesz),
                      std::vector<std::uint8_t>(s.memsz - s.filesz, 0));
        }
    }

    ReadElfListing listing;
    ElfLoader loader{&console, &memoryManager};
};

TEST_F(ElfKernelTest, HeaderVariantsThatAreWrongInOneWay) {
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        unsigned width;
        const char* message;
    };
    const Case cases[] = {
        {"magic", 3, 'E', 1, "not a ELF file.\n"},
        {"64-bit class", 4, 2, 1, "invalid class/data(2/1)\n"},
        {"big-endian data", 5, 2, 1, "invalid class/data(1/2)\n"},
        {"machine", 18, 3, 2, "not a native architecture. machine = 3\n"},
        {"relocatable type", 16, 1, 2, "not a executable file. type = 1\n"},
        {"17 program headers", 44, 17, 2, "invalid program header information.\n"},
        {"no program headers", 44, 0, 2, "invalid program header information.\n"},
        {"program header size 56", 42, 56, 2, "invalid program header information.\n"},
        {"no program header offset", 28, 0, 4, "invalid program header information.\n"},
    };
    open("segments");
    const std::vector<std::uint8_t> good = file.bytes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        file.bytes = good;
        patch(file.bytes, c.offset, c.value, c.width);
        takeText();
        EXPECT_FALSE(loader.setFile(fileManager));
        EXPECT_EQ(takeText(), c.message);
    }
}

TEST_F(ElfKernelTest, SegmentsAreStagedAsReadelfListsThem) {
    open("segments");
    ASSERT_TRUE(loader.setFile(fileManager));
    takeText();
    std::uint32_t size = loader.memorySize();

    const ListedSection& symtab = *listing.section(".symtab");
    const ListedSection& strtab = *listing.section(".strtab");
    const ListedSection& names = *listing.section(".shstrtab");
    SymbolBlockLayout layout{static_cast<std::uint32_t>(listing.sections.size()) * 40, names.size, symtab.size, strtab.size};
    std::string line = "file size: ";
    std::uint32_t total = 0;
    std::uint32_t extra = 0;
    for (const ListedSegment& s : listing.segments) {
        line += (total == 0 ? "" : "+") + hex(s.filesz);
        total += roundUpToPage(s.filesz);
        extra += s.filesz < s.memsz ? 2 * 4080 : 4080;
    }
    extra += 2 * 4080;
    total += static_cast<std::uint32_t>(layout.size()) + extra;
    line += "+[ksyms: header " + hex(static_cast<std::uint32_t>(layout.headerBytes())) + ", symtab " + hex(symtab.size) +
            ", strtab " + hex(strtab.size) + " = " + hex(static_cast<std::uint32_t>(layout.size())) + "]+[extra: " +
            hex(extra) + "] = " + hex(total) + " bytes\n";
    EXPECT_EQ(takeText(), line);
    EXPECT_EQ(size, total);

    ASSERT_TRUE(allocateFor(size));
    ASSERT_TRUE(loader.load());
    loader.loadEnd();
    std::string text = takeText();
    EXPECT_NE(text.find("seg[0] vaddr 0xc0200000 file size 0x64 mem size 0x64\n"), std::string::npos) << text;
    EXPECT_NE(text.find("seg[2] vaddr 0xc0220000 file size 0x4 mem size 0x2004\n"), std::string::npos) << text;
    ChainWalk chain = walk(loader.tagChainStart());
    ASSERT_TRUE(chain.sound);
    expectSegmentsStaged(chain);
    EXPECT_EQ(loader.jumpAddress(), 0xC0200000u);
    EXPECT_EQ(takeText(), "kernel entry address: 0xc0200000\n");
}

TEST_F(ElfKernelTest, SymbolBlockHoldsTheFilesTablesWithOffsetsInsideTheBlock) {
    open("segments");
    ChainWalk chain = stage();
    ASSERT_TRUE(chain.sound);
    const ListedSegment& last = listing.segments.back();
    const std::uint32_t a = last.vaddr + ((last.memsz + 3) & ~3u);
    const ListedSection& symtab = *listing.section(".symtab");
    const ListedSection& strtab = *listing.section(".strtab");
    const ListedSection& names = *listing.section(".shstrtab");
    const auto sections = static_cast<std::uint32_t>(listing.sections.size());
    SymbolBlockLayout layout{sections * 40, names.size, symtab.size, strtab.size};
    std::vector<std::uint8_t> block = stagedBytes(chain, a, static_cast<std::uint32_t>(layout.size()));

    EXPECT_EQ(std::memcmp(block.data() + layout.symbolTableOffset(), file.bytes.data() + symtab.offset, symtab.size), 0);
    EXPECT_EQ(std::memcmp(block.data() + layout.stringTableOffset(), file.bytes.data() + strtab.offset, strtab.size), 0);
    EXPECT_EQ(std::memcmp(block.data() + layout.nameTableOffset(), file.bytes.data() + names.offset, names.size), 0);

    elf::FileHeader header = elf::recordAt<elf::FileHeader>(block.data());
    EXPECT_EQ(header.shoff, 52u);
    EXPECT_EQ(header.phnum, 0u);
    EXPECT_EQ(header.phoff, 0u);
    EXPECT_EQ(header.entry, 0u);
    EXPECT_EQ(header.shnum, sections);
    std::uint32_t fileTable = elf::recordAt<elf::FileHeader>(file.bytes.data()).shoff;
    for (const ListedSection& s : listing.sections) {
        SCOPED_TRACE(s.name);
        elf::SectionHeader staged = elf::recordAt<elf::SectionHeader>(block.data() + 52 + s.index * 40);
        elf::SectionHeader original = elf::recordAt<elf::SectionHeader>(file.bytes.data() + fileTable + s.index * 40);
        std::uint64_t expected = s.name == ".symtab"    ? layout.symbolTableOffset()
                                 : s.name == ".strtab"  ? layout.stringTableOffset()
                                 : s.name == ".shstrtab" ? layout.nameTableOffset()
                                                         : 0;
        EXPECT_EQ(staged.offset, expected);
        EXPECT_EQ(original.offset, s.offset);
        staged.offset = original.offset;
        EXPECT_EQ(std::memcmp(&staged, &original, sizeof staged), 0);
    }
}

TEST_F(ElfKernelTest, NonLoadableHeaderBetweenLoadableOnesIsSkipped) {
    open("gap");
    ASSERT_EQ(listing.segments.size(), 3u);
    ASSERT_EQ(listing.segments[1].type, "NOTE");
    ChainWalk chain = stage();
    ASSERT_TRUE(chain.sound);
    std::string text = takeText();
    EXPECT_NE(text.find("seg[0] vaddr"), std::string::npos);
    EXPECT_EQ(text.find("seg[1]"), std::string::npos);
    EXPECT_NE(text.find("seg[2] vaddr 0xc0203000"), std::string::npos);
    expectSegmentsStaged(chain);
}

TEST_F(ElfKernelTest, StrippedKernelBootsWithoutABlock) {
    for (std::uint32_t safety : {0u, 1u}) {
        SCOPED_TRACE(safety);
        BootMenu::instance()->preferences.safetyMessage = safety;
        machine.boxes.clear();
        makeManager();
        open("stripped");
        ASSERT_EQ(listing.section(".symtab"), nullptr);
        ChainWalk chain = stage();
        ASSERT_TRUE(chain.sound);
        expectSegmentsStaged(chain);
        std::string text = takeText();
        EXPECT_EQ(text.find("ksyms"), std::string::npos);
        ASSERT_EQ(machine.boxes.size(), safety);
        if (safety != 0) {
            EXPECT_EQ(machine.boxes[0].caption, u"Information");
        }
    }
}

TEST_F(ElfKernelTest, KernelWithBytesMissingDoesNotLoad) {
    open("segments");
    // Cut off: the section table at the end is gone.
    std::vector<std::uint8_t> whole = file.bytes;
    file.bytes.resize(0x3000);
    EXPECT_FALSE(loader.setFile(fileManager));
    EXPECT_NE(takeText().find("section header read error.\n"), std::string::npos);

    // Damaged inside the read-only segment, as a broken compressed stream would be
    // after the headers were read.
    file.bytes = whole;
    ASSERT_TRUE(loader.setFile(fileManager));
    ASSERT_TRUE(allocateFor(loader.memorySize()));
    file.failAt = 0x2800;
    takeText();
    EXPECT_FALSE(loader.load());
    EXPECT_NE(takeText().find("can't read 0xff0 bytes at offset 0x2000 (got 2048).\n"), std::string::npos);
}

}  // namespace
