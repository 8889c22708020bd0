// Turns an executable read through a FileManager into a PageTag chain.
#pragma once

#include <cstdint>

class Console;
class FileManager;
class MemoryManager;

class Loader {
public:
    Loader(Console** console, MemoryManager** memoryManager) : console(console), memoryManager(memoryManager) {}
    virtual ~Loader() = default;
    Loader(const Loader&) = delete;
    Loader& operator=(const Loader&) = delete;

    /// Attaches the opened image. `file` is the owner's member, so the loader follows
    /// whatever file manager it holds. Variants also read and check the headers.
    virtual bool setFile(FileManager*& fileManager) {
        file = &fileManager;
        return true;
    }
    /// Bytes of pages the image needs.
    virtual std::uint32_t memorySize() = 0;
    /// Stages the whole image.
    virtual bool load() = 0;
    /// The kernel entry address.
    virtual std::uint32_t jumpAddress() = 0;

    // Chain operations of the base. Virtual so that a boot can be driven with a
    // stand-in loader.

    /// Stages the currently opened file as one range behind the kernel.
    virtual bool loadFileSystemImage() = 0;
    /// Ends the chain.
    virtual void loadEnd() = 0;
    /// The physical address of the first PageTag.
    virtual std::uint32_t tagChainStart() = 0;

protected:
    Console** console;
    MemoryManager** memoryManager;
    FileManager** file = nullptr;
};
