#include "load/Loader.h"

#include <cstring>

#include "console/Console.h"
#include "file/FileManager.h"
#include "memory/MemoryManager.h"
#include "memory/PageTag.h"

namespace {

constexpr std::uint32_t elfHeaderBytes = 52;
constexpr std::uint8_t elfMagic[4] = {0x7F, 'E', 'L', 'F'};
/// The image is placed on a 4 KiB boundary whatever the page size.
constexpr std::uint64_t imageAlignment = 4096;
/// The file interface takes signed 32-bit offsets, -1 meaning "where it stands".
constexpr std::uint64_t fileAddressLimit = 0x80000000u;

}  // namespace

std::int32_t Loader::objectFormat(FileManager& fileManager) {
    std::uint8_t header[elfHeaderBytes] = {};
    std::int32_t got = fileManager.read(header, elfHeaderBytes, 0);
    if (got != static_cast<std::int32_t>(elfHeaderBytes)) return unknownFormat;
    return std::memcmp(header, elfMagic, sizeof elfMagic) == 0 ? elfFormat : unknownFormat;
}

void Loader::startChain() {
    failed = false;
    loadCount = 0;
    zeroCount = 0;
    lastTag = nullptr;
    currentTag = nullptr;
    chunkSize = (*memoryManager)->payloadPerPage();
    StagingPage page{};
    if (!takePage(page)) return;
    // The tag page carries no payload; its slots past the first hold zero-clear links,
    // and the slot left prepared at the end stays all zeros.
    std::memset(page.payload, 0, chunkSize);
    currentTag = page.slot;
    chainStart = page.slotPhysical;
    freeSlot = page.slot + 1;
    freeSlotPhysical = page.slotPhysical + sizeof(PageTag);
    slotsLeft = (*memoryManager)->pageSize() / sizeof(PageTag) - 1;
}

void Loader::loadSegment(std::uint32_t destination, std::uint32_t memorySize, std::uint32_t fileOffset,
                         std::uint32_t fileSize) {
    (*console)->print(u"\t->load 0x%08x+0x%08x=0x%08x ofs=0x%08x+0x%x\n", destination, memorySize,
                      destination + memorySize, fileOffset, fileSize);
    if (!rangeFits(destination, fileSize > memorySize ? fileSize : memorySize)) return;
    imageEnd = destination + memorySize;
    for (std::uint32_t done = 0; done < fileSize && !failed; done += chunkSize) {
        std::uint32_t length = fileSize - done < chunkSize ? fileSize - done : chunkSize;
        PageTag* filled = currentTag;
        currentTag = loadChunk(destination + done, fileOffset + done, length, currentTag);
        if (failed) break;
        lastTag = filled;
        ++loadCount;
    }
    if (fileSize < memorySize) linkZeroRange(destination + fileSize, memorySize - fileSize);
}

PageTag* Loader::loadChunk(std::uint32_t destination, std::uint32_t fileOffset, std::uint32_t length, PageTag* tag) {
    StagingPage page{};
    if (!takePage(page)) return tag;
    // A kernel or image with bytes missing must not boot as if it were whole.
    std::int32_t got = readAt(page.payload, length, fileOffset);
    if (got != static_cast<std::int32_t>(length)) {
        (*console)->print(u"can't read 0x%x bytes at offset 0x%x (got %d).\n", length, fileOffset, got);
        failed = true;
        return tag;
    }
    *tag = {page.slotPhysical, page.payloadPhysical, destination, length};
    return page.slot;
}

void Loader::linkZeroRange(std::uint32_t destination, std::uint32_t length) {
    if (failed) return;
    if (slotsLeft == 0) {
        (*console)->print(u"too many zero clear links for the tag page.\n");
        failed = true;
        return;
    }
    *currentTag = {freeSlotPhysical, PageTag::zeroFill, destination, length};
    (*console)->print(u"\t->zero 0x%08x+0x%08x=0x%08x\n", destination, length, destination + length);
    lastTag = currentTag;
    currentTag = freeSlot;
    ++freeSlot;
    freeSlotPhysical += sizeof(PageTag);
    --slotsLeft;
    ++zeroCount;
}

void Loader::loadBuffer(std::uint32_t destination, std::uint32_t size, const void* source) {
    (*console)->print(u"\t->load 0x%08x+0x%08x=0x%08x\n", destination, size, destination + size);
    if (!rangeFits(destination, size)) return;
    const auto* from = static_cast<const std::uint8_t*>(source);
    for (std::uint32_t done = 0; done < size;) {
        StagingPage page{};
        if (!takePage(page)) return;
        std::uint32_t length = size - done < chunkSize ? size - done : chunkSize;
        std::memcpy(page.payload, from + done, length);
        *currentTag = {page.slotPhysical, page.payloadPhysical, destination + done, length};
        lastTag = currentTag;
        currentTag = page.slot;
        ++loadCount;
        done += length;
    }
    imageEnd = destination + size;
}

bool Loader::takePage(StagingPage& page) {
    if (failed) return false;
    if (!(*memoryManager)->takeTaggedPage(page.payload, page.payloadPhysical, page.slot, page.slotPhysical)) {
        failed = true;
        return false;
    }
    return true;
}

bool Loader::rangeFits(std::uint64_t destination, std::uint64_t size) {
    if (destination + size <= 0xFFFFFFFFu) return true;
    (*console)->print(u"range 0x%08x+0x%08x runs past the end of the address space.\n",
                      static_cast<std::uint32_t>(destination), static_cast<std::uint32_t>(size));
    failed = true;
    return false;
}

std::int32_t Loader::readAt(void* buffer, std::uint32_t length, std::uint32_t offset) {
    if (file == nullptr || *file == nullptr) return -1;
    if (std::uint64_t{offset} + length > fileAddressLimit) return -1;
    return (*file)->read(buffer, length, static_cast<std::int32_t>(offset));
}

void Loader::loadEnd() {
    // With nothing staged there is no link to end; the variants refuse such an image
    // before it gets here.
    if (lastTag != nullptr) lastTag->next = PageTag::endOfChain;
    (*console)->print(u"load link %d, zero clear link %d\n", loadCount, zeroCount);
}

bool Loader::loadFileSystemImage() {
    std::uint32_t size = file != nullptr && *file != nullptr ? (*file)->realSize() : 0xFFFFFFFF;
    std::uint64_t destination = (std::uint64_t{imageEnd} + imageAlignment - 1) & ~(imageAlignment - 1);
    (*console)->print(u"[file system image]\n");
    if (size == 0xFFFFFFFF) {
        (*console)->print(u"can't learn the file system image size.\n");
        return false;
    }
    if (!rangeFits(destination, size)) return false;
    loadSegment(static_cast<std::uint32_t>(destination), size, 0, size);
    // A damaged compressed stream ends early with an error; only a clean end of the
    // file after the last byte shows that the image is whole.
    std::uint8_t probe = 0;
    if (succeeded() && readAt(&probe, 1, size) < 0) {
        (*console)->print(u"file system image is damaged.\n");
        failed = true;
    }
    return succeeded();
}
