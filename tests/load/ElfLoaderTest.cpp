// The ELF loader and the symbol block on kernels built to hit one rule each.
#include <cstring>
#include <functional>

#include "boot/BootMenu.h"
#include "load/ElfLoader.h"
#include "load/SymbolBlockLayout.h"
#include "platform/ui.h"
#include "tests/load/ElfBuilder.h"
#include "tests/load/LoadTest.h"

namespace {

constexpr std::size_t shoffField = 32;
constexpr std::size_t shentsizeField = 46;
constexpr std::size_t shstrndxField = 50;
constexpr std::size_t phoffField = 28;

std::size_t sectionField(const ElfBuilder& b, std::uint32_t index, std::size_t field) {
    return b.layout.sectionTableOffset + index * 40 + field;
}

/// One way to damage a built kernel, and what the loader says of it.
struct Damage {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&, const ElfBuilder&)> apply;
    const char* message;
};

class ElfLoaderTest : public LoadTest {
protected:
    ElfLoaderTest() { BootMenu::instance()->preferences.safetyMessage = 0; }

    /// The kernel with its symbol tables: one segment whose cleared part ends at
    /// 0xC0323455, a .symtab of 0x1231 bytes and a .strtab of 0xF01 bytes.
    ElfBuilder symbolKernel() {
        ElfBuilder b;
        b.segment(0xC0200000, patternBytes(0x10), 0x123455)
            .section(".note", patternBytes(0x21, 3))
            .section(".symtab", patternBytes(0x1231, 5))
            .section(".strtab", patternBytes(0xF01, 7));
        return b;
    }

    std::vector<std::uint8_t> damagedSymbolKernel(const Damage& damage) {
        ElfBuilder b = symbolKernel();
        std::vector<std::uint8_t> bytes = b.build();
        damage.apply(bytes, b);
        return bytes;
    }

    /// setFile, memorySize and a pool of that size; the Console emptied.
    bool prepare(std::vector<std::uint8_t> bytes) {
        file.bytes = std::move(bytes);
        if (!loader.setFile(fileManager)) return false;
        size = loader.memorySize();
        bool allocated = allocateFor(size);
        takeText();
        return allocated;
    }

    ElfLoader loader{&console, &memoryManager};
    std::uint32_t size = 0;
};

TEST_F(ElfLoaderTest, MemorySizeCountsFilePartsAndSlackButNotClearedMemory) {
    EXPECT_EQ(takeText(), "Loader: ELF\n");
    file.bytes = ElfBuilder()
                     .segment(0xC0200000, std::vector<std::uint8_t>(0x1f0000), 0x1f0000)
                     .segment(0xC03F0000, std::vector<std::uint8_t>(0x2a000), 0x80000)
                     .withoutSections()
                     .build();
    ASSERT_TRUE(loader.setFile(fileManager));
    EXPECT_EQ(loader.memorySize(), 0x21cfd0u);
    EXPECT_EQ(takeText(), "file size: 0x1f0000+0x2a000+[extra: 0x2fd0] = 0x21cfd0 bytes\n");
}

TEST_F(ElfLoaderTest, LayoutOfTheSymbolBlock) {
    SymbolBlockLayout twenty{20 * 40, 0xBD, 0x1230, 0x0F01};
    EXPECT_EQ(twenty.nameTableOffset(), 52u + 800);
    EXPECT_EQ(twenty.nameTableBytes(), 0xC0u);
    EXPECT_EQ(twenty.headerBytes(), 0x414u);
    EXPECT_EQ(twenty.stringTableOffset(), 0x414u + 0x1230);
    EXPECT_EQ(twenty.size(), 0x414u + 0x1230 + 0x0F01);
    SymbolBlockLayout whole{800, 0xBD, 0x1234, 1};
    EXPECT_EQ(whole.stringTableOffset(), 0x414u + 0x1234);
    SymbolBlockLayout padded{800, 0xBD, 0x1231, 1};
    EXPECT_EQ(padded.stringTableOffset(), 0x414u + 0x1234);
}

TEST_F(ElfLoaderTest, SymbolBlockIsStagedBehindTheLastSegment) {
    ElfBuilder b = symbolKernel();
    std::vector<std::uint8_t> bytes = b.build();
    ASSERT_TRUE(prepare(bytes));
    // Five sections of 40 bytes, and a name table of 0x21 bytes rounded to 0x24.
    const std::uint32_t h = 52 + 200 + 0x24;
    EXPECT_EQ(size, 0x1000u + (h + 0x1234 + 0xF01) + 4 * 4080);
    ASSERT_TRUE(loader.load());
    loader.loadEnd();
    std::string text = takeText();
    EXPECT_NE(text.find("ksyms\n\t->load 0xc0323458+0x00000120=0xc0323578\n"), std::string::npos) << text;

    ChainWalk chain = walk(loader.tagChainStart());
    ASSERT_TRUE(chain.sound);
    const std::uint32_t a = 0xC0323458;
    std::vector<std::uint8_t> block = stagedBytes(chain, a, h + 0x1234 + 0xF01);

    elf::FileHeader staged = elf::recordAt<elf::FileHeader>(block.data());
    elf::FileHeader original = elf::recordAt<elf::FileHeader>(bytes.data());
    EXPECT_EQ(staged.entry, 0u);
    EXPECT_EQ(staged.phoff, 0u);
    EXPECT_EQ(staged.phnum, 0u);
    EXPECT_EQ(staged.shoff, 52u);
    EXPECT_EQ(staged.shnum, original.shnum);
    EXPECT_EQ(staged.shstrndx, original.shstrndx);
    EXPECT_EQ(std::memcmp(staged.ident, original.ident, 16), 0);

    const std::uint32_t expectedOffsets[] = {0, 0, h, h + 0x1234, 52 + 200};
    for (std::uint32_t i = 0; i < 5; ++i) {
        elf::SectionHeader s = elf::recordAt<elf::SectionHeader>(block.data() + 52 + i * 40);
        elf::SectionHeader f = elf::recordAt<elf::SectionHeader>(bytes.data() + b.layout.sectionTableOffset + i * 40);
        EXPECT_EQ(s.offset, expectedOffsets[i]) << "section " << i;
        EXPECT_EQ(s.name, f.name);
        EXPECT_EQ(s.size, f.size);
    }
    EXPECT_EQ(std::memcmp(block.data() + 252, bytes.data() + b.layout.namesOffset, 0x21), 0);
    EXPECT_EQ(block[252 + 0x21], 0);  // the rounding is zeros
    EXPECT_EQ(std::memcmp(block.data() + h, bytes.data() + b.layout.sectionOffsets[1], 0x1231), 0);
    EXPECT_EQ(std::memcmp(block.data() + h + 0x1234, bytes.data() + b.layout.sectionOffsets[2], 0xF01), 0);
    for (const StagedRange& r : chain.ranges) {
        if (r.tag.dst >= a) {
            EXPECT_NE(r.tag.src, PageTag::zeroFill);
        }
    }

    // The image follows the string table on the next 4 KiB boundary.
    file.bytes = patternBytes(0x100);
    ASSERT_TRUE(loader.loadFileSystemImage());
    EXPECT_NE(takeText().find("\t->load 0xc0326000+"), std::string::npos);
}

TEST_F(ElfLoaderTest, KernelWithoutBothTablesGetsNoBlock) {
    std::vector<std::uint8_t> bytes = ElfBuilder()
                                          .segment(0xC0200000, patternBytes(0x100), 0x100)
                                          .section(".symtab", patternBytes(0x40))
                                          .build();
    BootMenu::instance()->preferences.safetyMessage = 1;
    ASSERT_TRUE(prepare(bytes));
    ASSERT_EQ(machine.boxes.size(), 1u);
    EXPECT_EQ(machine.boxes[0].text, u"No symbol and/or string table in binary.\n(not fatal)");
    EXPECT_EQ(machine.boxes[0].caption, u"Information");
    EXPECT_EQ(machine.boxes[0].style, platform::boxIconInformation);
    EXPECT_EQ(machine.windowUpdates, 1u);
    ASSERT_TRUE(loader.load());
    EXPECT_EQ(takeText().find("ksyms"), std::string::npos);
}

TEST_F(ElfLoaderTest, NoRoomForTheBlockHeaderIsAWarningAndTheBootGoesOn) {
    file.bytes = symbolKernel().build();
    ASSERT_TRUE(loader.setFile(fileManager));
    machine.heapExhausted = true;
    std::uint32_t bytes = loader.memorySize();
    machine.heapExhausted = false;
    EXPECT_EQ(bytes, 0x1000u + 4080 * 2);
    ASSERT_EQ(machine.boxes.size(), 1u);
    EXPECT_EQ(machine.boxes[0].text, u"Can't determine symbol block size.");
    EXPECT_EQ(machine.boxes[0].caption, u"WARNING");
    EXPECT_EQ(machine.boxes[0].style, platform::boxIconExclamation);
    EXPECT_EQ(machine.windowUpdates, 1u);
    ASSERT_TRUE(allocateFor(bytes));
    EXPECT_TRUE(loader.load());
}

TEST_F(ElfLoaderTest, HeadersThatWouldMisleadTheReadersAreRefused) {
    const Damage cases[] = {
        {"short header", [](auto& f, auto&) { f.resize(40); }, "file header read error.\n"},
        {"entries shorter than a section header", [](auto& f, auto&) { patch(f, shentsizeField, 32, 2); },
         "invalid section header information.\n"},
        {"name table index past the table", [](auto& f, auto&) { patch(f, shstrndxField, 5, 2); },
         "invalid section name table index 5.\n"},
        {"section table past the end", [](auto& f, auto&) { f.resize(f.size() - 1); }, "section header read error.\n"},
        {"section table beyond what a file can hold", [](auto& f, auto&) { patch(f, shoffField, 0xFFFFFF00, 4); },
         "section header read error.\n"},
        {"program headers past the end", [](auto& f, auto&) { patch(f, phoffField, static_cast<std::uint32_t>(f.size()) - 8, 4); },
         "program header read error.\n"},
        {"name beyond the name table", [](auto& f, auto& b) { patch(f, sectionField(b, 2, 0), 0x21, 4); },
         "section 2 name offset 0x21 beyond the section name table.\n"},
        {"name table too large to stage", [](auto& f, auto& b) { patch(f, sectionField(b, 4, 20), 0xFFFFFFF0, 4); },
         "section name table too large (0xfffffff0 bytes).\n"},
        {"no loadable segment", [](auto& f, auto&) { patch(f, 52, 4, 4); }, "no loadable segment.\n"},
        {"an empty loadable segment only", [](auto& f, auto&) { patch(f, 52 + 16, 0, 4); patch(f, 52 + 20, 0, 4); },
         "no loadable segment.\n"},
    };
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.what);
        file.bytes = damagedSymbolKernel(c);
        takeText();
        EXPECT_FALSE(loader.setFile(fileManager));
        EXPECT_EQ(takeText(), c.message);
    }
}

TEST_F(ElfLoaderTest, SymbolTablesThatCannotBeStagedFailTheLoad) {
    const Damage cases[] = {
        {"name table past the end of the file",
         [](auto& f, auto& b) { patch(f, sectionField(b, 4, 16), static_cast<std::uint32_t>(f.size()) - 0x10, 4); },
         "can't read the section name table.\n"},
        {"tables whose sizes overflow", [](auto& f, auto& b) { patch(f, sectionField(b, 2, 20), 0xFFFFF000, 4); },
         "symbol and string tables too large.\n"},
        {"symbol table past the end of the file",
         [](auto& f, auto& b) { patch(f, sectionField(b, 2, 16), static_cast<std::uint32_t>(f.size()) - 0x100, 4); },
         "can't read "},
    };
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.what);
        makeManager();
        ASSERT_TRUE(prepare(damagedSymbolKernel(c)));
        EXPECT_FALSE(loader.load());
        EXPECT_NE(takeText().find(c.message), std::string::npos);
    }
}

TEST_F(ElfLoaderTest, RangesPastFourGigabytesFailTheLoad) {
    // The segment itself, then a block that would run past the top.
    const std::uint32_t segmentEnds[] = {0xFFFFF000, 0xFFFFE000};
    const std::uint32_t memorySizes[] = {0x2000, 0x1000};
    for (int i = 0; i < 2; ++i) {
        ElfBuilder b;
        b.segment(segmentEnds[i], patternBytes(0x10), memorySizes[i])
            .section(".symtab", patternBytes(0x1000))
            .section(".strtab", patternBytes(0x800));
        makeManager();
        ASSERT_TRUE(prepare(b.build()));
        EXPECT_FALSE(loader.load());
        EXPECT_NE(takeText().find("runs past the end of the address space.\n"), std::string::npos);
    }
}

}  // namespace
