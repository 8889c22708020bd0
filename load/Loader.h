// Turns an executable read through a FileManager into a PageTag chain.
//
// Nothing is copied to its final address here. Every byte goes into the payload of a
// page from the MemoryManager, and each payload is described by the tag in the slot of
// the page taken before it; ranges to clear are described by tags in the slots of the
// first page taken (the tag page). The second-stage loader walks the chain after the
// platform is gone.
#pragma once

#include <cstdint>

struct PageTag;
class Console;
class FileManager;
class MemoryManager;

class Loader {
public:
    // objectFormat results.
    static constexpr std::int32_t unknownFormat = 0;
    static constexpr std::int32_t elfFormat = 1;

    /// 1 when the file opened on `fileManager` begins with the ELF magic, else 0.
    static std::int32_t objectFormat(FileManager& fileManager);

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

    /// Stages the currently opened file as one range on the next 4 KiB boundary
    /// behind the kernel.
    virtual bool loadFileSystemImage();
    /// Ends the chain at the link filled last and prints the link counts.
    virtual void loadEnd();
    /// The physical address of the first PageTag.
    virtual std::uint32_t tagChainStart() { return chainStart; }

    /// True unless a staging step failed.
    bool succeeded() const { return !failed; }

protected:
    /// Starts the chain: takes the tag page and resets the counts.
    void startChain();
    /// Stages `fileSize` bytes at `fileOffset` of the file to `destination`, then
    /// clears up to `memorySize` when the file part is shorter.
    void loadSegment(std::uint32_t destination, std::uint32_t memorySize, std::uint32_t fileOffset,
                     std::uint32_t fileSize);
    /// Stages `size` bytes that are already in program memory.
    void loadBuffer(std::uint32_t destination, std::uint32_t size, const void* source);
    /// Fails the load, with a message, unless [destination, destination + size) lies
    /// below 4 GiB.
    bool rangeFits(std::uint64_t destination, std::uint64_t size);
    /// Reads what the file has of `length` bytes at `offset`: the count, or -1 also
    /// when the range lies beyond what the file interface can address.
    std::int32_t readAt(void* buffer, std::uint32_t length, std::uint32_t offset);

    PageTag* currentTag = nullptr;
    PageTag* lastTag = nullptr;
    PageTag* freeSlot = nullptr;
    std::uint32_t freeSlotPhysical = 0;
    std::int32_t loadCount = 0;
    std::int32_t zeroCount = 0;
    std::uint32_t chunkSize = 0;
    bool failed = false;
    Console** console;
    MemoryManager** memoryManager;
    FileManager** file = nullptr;
    std::uint32_t chainStart = 0;
    std::uint32_t imageEnd = 0;

private:
    struct StagingPage {
        void* payload;
        std::uint32_t payloadPhysical;
        PageTag* slot;
        std::uint32_t slotPhysical;
    };

    /// Stages one page of file bytes into a new tagged page and fills `tag` with it;
    /// the new page's slot, or `tag` unchanged when the step failed.
    PageTag* loadChunk(std::uint32_t destination, std::uint32_t fileOffset, std::uint32_t length, PageTag* tag);
    /// Makes `currentTag` a zero-clear link and prepares the next free tag-page slot.
    void linkZeroRange(std::uint32_t destination, std::uint32_t length);
    /// A new tagged page; false, with the load failed, when none is left or an
    /// earlier step failed.
    bool takePage(StagingPage& page);

    /// Tag-page slots not yet used.
    std::uint32_t slotsLeft = 0;
};
