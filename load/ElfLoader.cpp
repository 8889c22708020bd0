#include "load/ElfLoader.h"

#include "console/Console.h"
#include "load/SymbolBlockLayout.h"
#include "memory/MemoryManager.h"
#include "platform/memory.h"

namespace {

constexpr std::uint16_t maxProgramHeaders = 16;

std::uint32_t saturatingAdd(std::uint32_t a, std::uint32_t b) { return a > 0xFFFFFFFFu - b ? 0xFFFFFFFFu : a + b; }

}  // namespace

ElfLoader::ElfLoader(Console** console, MemoryManager** memoryManager) : Loader(console, memoryManager) {
    (*console)->print(u"Loader: ELF\n");
}

ElfLoader::~ElfLoader() {
    discardSymbolBlock();
    releaseTables();
}

void ElfLoader::releaseTables() {
    platform::heapFree(programHeaders);
    platform::heapFree(sectionHeaders);
    programHeaders = nullptr;
    sectionHeaders = nullptr;
}

bool ElfLoader::setFile(FileManager*& fileManager) {
    Loader::setFile(fileManager);
    // A second file replaces the tables of the first.
    releaseTables();
    discardSymbolBlock();
    symbolBlockFault = nullptr;
    header = {};
    std::int32_t got = readAt(&header, sizeof header, 0);
    bool usable = checkFileHeader(got) && checkSectionInformation() && readTables() && checkSections() &&
                  hasLoadableContent();
    // Nothing of a refused file is kept for a later memorySize or load.
    if (!usable) releaseTables();
    return usable;
}

bool ElfLoader::checkFileHeader(std::int32_t bytesRead) {
    if (std::memcmp(header.ident, elf::magic, sizeof elf::magic) != 0) {
        (*console)->print(u"not a ELF file.\n");
        return false;
    }
    if (bytesRead != static_cast<std::int32_t>(sizeof header)) {
        (*console)->print(u"file header read error.\n");
        return false;
    }
    if (header.ident[4] != elf::class32 || header.ident[5] != elf::littleEndian) {
        (*console)->print(u"invalid class/data(%d/%d)\n", header.ident[4], header.ident[5]);
        return false;
    }
    if (header.machine != elf::machineArm) {
        (*console)->print(u"not a native architecture. machine = %d\n", header.machine);
        return false;
    }
    if (header.type != elf::typeExecutable) {
        (*console)->print(u"not a executable file. type = %d\n", header.type);
        return false;
    }
    if (header.phoff == 0 || header.phnum < 1 || header.phnum > maxProgramHeaders ||
        header.phentsize != elf::programHeaderBytes) {
        (*console)->print(u"invalid program header information.\n");
        return false;
    }
    return true;
}

bool ElfLoader::checkSectionInformation() {
    if (header.shnum == 0) return true;
    // Every entry is read as a whole ELF32 section header.
    if (header.shentsize < elf::sectionHeaderBytes) {
        (*console)->print(u"invalid section header information.\n");
        return false;
    }
    if (header.shstrndx >= header.shnum) {
        (*console)->print(u"invalid section name table index %d.\n", header.shstrndx);
        return false;
    }
    return true;
}

std::uint8_t* ElfLoader::readTable(std::uint32_t count, std::uint32_t entrySize, std::uint32_t offset,
                                   const char16_t* noRoom, const char16_t* readError) {
    std::uint32_t bytes = count * entrySize;
    auto* table = static_cast<std::uint8_t*>(platform::heapAlloc(bytes));
    if (table == nullptr) {
        (*console)->print(u"%s", noRoom);
        return nullptr;
    }
    if (bytes != 0 && readAt(table, bytes, offset) != static_cast<std::int32_t>(bytes)) {
        (*console)->print(u"%s", readError);
        platform::heapFree(table);
        return nullptr;
    }
    return table;
}

bool ElfLoader::readTables() {
    sectionHeaders = readTable(header.shnum, header.shentsize, header.shoff, u"can't allocate section header table.\n",
                               u"section header read error.\n");
    if (sectionHeaders == nullptr) return false;
    programHeaders = readTable(header.phnum, header.phentsize, header.phoff, u"can't allocate program header table.\n",
                               u"program header read error.\n");
    return programHeaders != nullptr;
}

bool ElfLoader::checkSections() {
    if (header.shnum == 0) return true;
    std::uint32_t namesSize = sectionHeader(header.shstrndx).size;
    SymbolBlockLayout layout{std::uint32_t{header.shnum} * header.shentsize, namesSize, 0, 0};
    if (layout.headerBytes() > 0xFFFFFFFFu) {
        (*console)->print(u"section name table too large (0x%x bytes).\n", namesSize);
        return false;
    }
    for (std::uint32_t i = 0; i < header.shnum; ++i) {
        std::uint32_t name = sectionHeader(i).name;
        if (name != 0 && name >= namesSize) {
            (*console)->print(u"section %d name offset 0x%x beyond the section name table.\n", i, name);
            return false;
        }
    }
    return true;
}

bool ElfLoader::hasLoadableContent() const {
    for (std::uint32_t i = 0; i < header.phnum; ++i) {
        elf::ProgramHeader segment = programHeader(i);
        if (segment.type == elf::segmentLoad && (segment.filesz != 0 || segment.memsz != 0)) return true;
    }
    (*console)->print(u"no loadable segment.\n");
    return false;
}

elf::ProgramHeader ElfLoader::programHeader(std::uint32_t index) const {
    return elf::recordAt<elf::ProgramHeader>(programHeaders + index * header.phentsize);
}

elf::SectionHeader ElfLoader::sectionHeader(std::uint32_t index) const {
    return elf::recordAt<elf::SectionHeader>(sectionHeaders + index * header.shentsize);
}

std::uint32_t ElfLoader::memorySize() {
    MemoryManager& pages = **memoryManager;
    std::uint32_t total = 0;
    std::uint32_t extra = 0;
    (*console)->print(u"file size: ");
    for (std::uint32_t i = 0; programHeaders != nullptr && i < header.phnum; ++i) {
        elf::ProgramHeader segment = programHeader(i);
        if (segment.type != elf::segmentLoad) continue;
        (*console)->print(u"%s0x%x", total == 0 ? u"" : u"+", segment.filesz);
        total = saturatingAdd(total, pages.roundUp(segment.filesz));
        // Slack for the part-filled page a segment ends in, and once more for a
        // segment with a part to clear.
        extra += pages.payloadPerPage();
        if (segment.filesz < segment.memsz) extra += pages.payloadPerPage();
    }
    std::uint32_t symbols = prepareSymbolBlock();
    if (symbols != 0) {
        total = saturatingAdd(total, symbols);
        (*console)->print(u" = 0x%x]", symbols);
        extra += 2 * pages.payloadPerPage();
    }
    total = saturatingAdd(total, extra);
    (*console)->print(u"+[extra: 0x%x]", extra);
    (*console)->print(u" = 0x%x bytes\n", total);
    return total;
}

bool ElfLoader::load() {
    if (programHeaders == nullptr) {
        (*console)->print(u"no kernel headers to load from.\n");
        return false;
    }
    if (symbolBlockFault != nullptr) {
        (*console)->print(u"%s", symbolBlockFault);
        return false;
    }
    startChain();
    std::uint64_t symbolAddress = 0;
    for (std::uint32_t i = 0; i < header.phnum; ++i) {
        elf::ProgramHeader segment = programHeader(i);
        if (segment.type != elf::segmentLoad) continue;
        (*console)->print(u"seg[%d] vaddr 0x%08x file size 0x%x mem size 0x%x\n", i, segment.vaddr, segment.filesz,
                          segment.memsz);
        loadSegment(segment.vaddr, segment.memsz, segment.offset, segment.filesz);
        symbolAddress = std::uint64_t{segment.vaddr} + SymbolBlockLayout::roundUpToWord(segment.memsz);
    }
    stageSymbolBlock(symbolAddress);
    return succeeded();
}

std::uint32_t ElfLoader::jumpAddress() {
    (*console)->print(u"kernel entry address: 0x%08x\n", header.entry);
    return header.entry;
}
