// The kernel symbol block: the kernel's .symtab and .strtab, with the headers that
// describe them, staged right behind the kernel's last loadable segment.
#include <cstring>

#include "boot/BootMenu.h"
#include "console/Console.h"
#include "load/ElfLoader.h"
#include "load/SymbolBlockLayout.h"
#include "platform/memory.h"
#include "platform/ui.h"

namespace {

/// True when the name at `offset` of the name table is `wanted`, terminator included,
/// and lies wholly inside the table.
template <std::size_t N>
bool nameIs(const std::uint8_t* names, std::uint64_t namesBytes, std::uint32_t offset, const char (&wanted)[N]) {
    return std::uint64_t{offset} + N <= namesBytes && std::memcmp(names + offset, wanted, N) == 0;
}

std::uint32_t sizeOf(const std::uint8_t* entry) { return elf::recordAt<elf::SectionHeader>(entry).size; }

void setOffset(std::uint8_t* entry, std::uint64_t offset) {
    elf::SectionHeader section = elf::recordAt<elf::SectionHeader>(entry);
    section.offset = static_cast<std::uint32_t>(offset);
    elf::storeRecord(entry, section);
}

}  // namespace

std::uint32_t ElfLoader::prepareSymbolBlock() {
    discardSymbolBlock();
    symbolBlockFault = nullptr;
    if (header.shnum == 0 || sectionHeaders == nullptr) return withoutSymbols();
    SymbolBlockLayout layout{std::uint32_t{header.shnum} * header.shentsize, sectionHeader(header.shstrndx).size, 0, 0};
    // setFile refused tables whose header part does not fit in 32 bits.
    auto headerBytes = static_cast<std::uint32_t>(layout.headerBytes());
    auto* block = static_cast<std::uint8_t*>(platform::heapAlloc(headerBytes));
    if (block == nullptr) {
        BootMenu* menu = BootMenu::instance();
        menu->messageBox(u"Can't determine symbol block size.", u"WARNING", platform::boxOk | platform::boxIconExclamation);
        menu->redraw();
        return 0;
    }
    symbolBlockHeader = block;
    symbolBlockHeaderSize = headerBytes;
    std::memset(block, 0, headerBytes);

    elf::FileHeader copy = header;
    copy.phoff = 0;
    copy.phnum = 0;
    copy.entry = 0;
    copy.shoff = static_cast<std::uint32_t>(layout.sectionTableOffset());
    elf::storeRecord(block, copy);
    std::memcpy(block + layout.sectionTableOffset(), sectionHeaders, layout.sectionTableBytes);

    std::uint8_t* names = block + layout.nameTableOffset();
    auto namesBytes = static_cast<std::uint32_t>(layout.nameTableBytes());
    // The rounding to a word may reach past the end of the file; only those bytes may
    // be missing.
    std::int32_t got = namesBytes == 0 ? 0 : readAt(names, namesBytes, sectionHeader(header.shstrndx).offset);
    if (got < static_cast<std::int32_t>(layout.nameTableSize)) {
        symbolBlockFault = u"can't read the section name table.\n";
        discardSymbolBlock();
        return 0;
    }

    for (std::uint32_t i = 0; i < header.shnum; ++i) {
        std::uint8_t* entry = block + layout.sectionTableOffset() + i * header.shentsize;
        elf::SectionHeader section = elf::recordAt<elf::SectionHeader>(entry);
        if (nameIs(names, namesBytes, section.name, ".strtab")) {
            stringTableEntry = entry;
            stringTableFileOffset = section.offset;
        } else if (nameIs(names, namesBytes, section.name, ".symtab")) {
            symbolTableEntry = entry;
            symbolTableFileOffset = section.offset;
        }
        setOffset(entry, i == header.shstrndx ? layout.nameTableOffset() : 0);
    }
    if (stringTableEntry == nullptr || symbolTableEntry == nullptr) return withoutSymbols();

    layout.symbolTableBytes = sizeOf(symbolTableEntry);
    layout.stringTableBytes = sizeOf(stringTableEntry);
    if (layout.size() > 0xFFFFFFFFu) {
        symbolBlockFault = u"symbol and string tables too large.\n";
        discardSymbolBlock();
        return 0;
    }
    setOffset(symbolTableEntry, layout.symbolTableOffset());
    setOffset(stringTableEntry, layout.stringTableOffset());
    hasSymbolBlock = true;
    (*console)->print(u"+[ksyms: header 0x%x, symtab 0x%x, strtab 0x%x", headerBytes, layout.symbolTableBytes,
                      layout.stringTableBytes);
    return static_cast<std::uint32_t>(layout.size());
}

std::uint32_t ElfLoader::withoutSymbols() {
    BootMenu* menu = BootMenu::instance();
    if (menu->preferences.safetyMessage != 0) {
        menu->messageBox(u"No symbol and/or string table in binary.\n(not fatal)", u"Information",
                         platform::boxOk | platform::boxIconInformation);
        menu->redraw();
    }
    discardSymbolBlock();
    return 0;
}

void ElfLoader::stageSymbolBlock(std::uint64_t address) {
    if (!hasSymbolBlock) return;
    (*console)->print(u"ksyms\n");
    SymbolBlockLayout layout{std::uint32_t{header.shnum} * header.shentsize, sectionHeader(header.shstrndx).size,
                             sizeOf(symbolTableEntry), sizeOf(stringTableEntry)};
    if (!rangeFits(address, layout.size())) return;
    auto at = static_cast<std::uint32_t>(address);
    loadBuffer(at, symbolBlockHeaderSize, symbolBlockHeader);
    loadSegment(at + symbolBlockHeaderSize, layout.symbolTableBytes, symbolTableFileOffset, layout.symbolTableBytes);
    loadSegment(at + static_cast<std::uint32_t>(layout.stringTableOffset()), layout.stringTableBytes,
                stringTableFileOffset, layout.stringTableBytes);
}

void ElfLoader::discardSymbolBlock() {
    platform::heapFree(symbolBlockHeader);
    hasSymbolBlock = false;
    symbolBlockHeader = nullptr;
    symbolBlockHeaderSize = 0;
    stringTableEntry = nullptr;
    stringTableFileOffset = 0;
    symbolTableEntry = nullptr;
    symbolTableFileOffset = 0;
}
