// The loader for ELF32 little-endian ARM executables, with the kernel symbol block.
#pragma once

#include <cstdint>

#include "load/Elf.h"
#include "load/Loader.h"

class ElfLoader : public Loader {
public:
    ElfLoader(Console** console, MemoryManager** memoryManager);
    ~ElfLoader() override;

    /// Reads and checks the file header and reads both header tables; false, with
    /// the reason printed, when the file is not a kernel this loader can stage.
    bool setFile(FileManager*& fileManager) override;
    /// Bytes of pages for the segments' file parts, the symbol block and the tag
    /// slack; prepares the symbol block. Prints a summary line.
    std::uint32_t memorySize() override;
    /// Stages every loadable segment, then the symbol block behind the last one.
    bool load() override;
    /// e_entry as linked.
    std::uint32_t jumpAddress() override;

private:
    bool checkFileHeader(std::int32_t bytesRead);
    bool checkSectionInformation();
    /// Reads both header tables, sections first.
    bool readTables();
    /// A heap copy of `count` entries at `offset`, or null after the fitting message.
    std::uint8_t* readTable(std::uint32_t count, std::uint32_t entrySize, std::uint32_t offset, const char16_t* noRoom,
                            const char16_t* readError);
    /// Name offsets and sizes of the section table that the symbol block relies on.
    bool checkSections();
    bool hasLoadableContent() const;
    elf::ProgramHeader programHeader(std::uint32_t index) const;
    elf::SectionHeader sectionHeader(std::uint32_t index) const;
    void releaseTables();

    // The symbol block.

    /// Prepares the block; its size in bytes, or 0 when the kernel gets none.
    std::uint32_t prepareSymbolBlock();
    /// Stages the prepared block at `address`.
    void stageSymbolBlock(std::uint64_t address);
    /// Forgets the prepared block and frees its header part.
    void discardSymbolBlock();
    /// No block: tells the user when the Safety Message setting asks for it.
    std::uint32_t withoutSymbols();

    elf::FileHeader header{};
    std::uint8_t* programHeaders = nullptr;
    std::uint8_t* sectionHeaders = nullptr;

    bool hasSymbolBlock = false;
    std::uint8_t* symbolBlockHeader = nullptr;
    std::uint32_t symbolBlockHeaderSize = 0;
    std::uint8_t* stringTableEntry = nullptr;
    std::uint32_t stringTableFileOffset = 0;
    std::uint8_t* symbolTableEntry = nullptr;
    std::uint32_t symbolTableFileOffset = 0;
    /// Why the file's symbol tables cannot be staged; load fails with it.
    const char16_t* symbolBlockFault = nullptr;
};
