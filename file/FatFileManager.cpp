#include "file/FatFileManager.h"

#include <string_view>

#include "console/Console.h"
#include "platform/files.h"

FatFileManager::FatFileManager(Console** console) : FileManager(console), handle(platform::invalidHandle) {
    debugLevel = 1;
    (*console)->print(u"FileManager: FAT\n");
}

FatFileManager::~FatFileManager() { close(); }

bool FatFileManager::setRoot(const char16_t* text) {
    std::u16string_view given(text != nullptr ? text : u"");
    if (given.size() >= pathCapacity) {
        (*console)->print(u"root too long. %d > %d\n", given.size() + 1, pathCapacity);
        return false;
    }
    given.copy(root, given.size());
    root[given.size()] = 0;
    given.copy(path, given.size());
    path[given.size()] = 0;
    return true;
}

bool FatFileManager::open(const char16_t* name, std::uint32_t) {
    std::u16string_view directory(root);
    std::u16string_view leaf(name != nullptr ? name : u"");
    std::size_t units = directory.size() + leaf.size() + 1;
    if (units > pathCapacity) {
        (*console)->print(u"path too long. %d > %d\n", units, pathCapacity);
        return false;
    }
    directory.copy(path, directory.size());
    leaf.copy(path + directory.size(), leaf.size());
    path[units - 1] = 0;

    close();
    failure = false;
    handle = platform::createFile(path, platform::genericRead, 0, platform::openExisting, platform::attributeNormal);
    if (handle == platform::invalidHandle) {
        (*console)->print(u"can't open \"%s\". cause = %d\n", path, platform::getLastError());
        return false;
    }
    std::uint32_t bytes = size();
    if (bytes == platform::invalidFileSize) {
        (*console)->print(u"can't get file size.\n");
        close();
        return false;
    }
    (*console)->print(u"open file \"%s\"(%d byte).\n", path, bytes);
    return true;
}

std::uint32_t FatFileManager::size() { return platform::getFileSize(handle); }

std::int32_t FatFileManager::close() {
    if (handle == platform::invalidHandle) return 0;
    bool closed = platform::closeHandle(handle);
    handle = platform::invalidHandle;
    return closed ? 1 : 0;
}

bool FatFileManager::position(std::int32_t offset) {
    return offset == -1 || seek(static_cast<std::uint32_t>(offset));
}

std::int32_t FatFileManager::read(void* buffer, std::uint32_t length, std::int32_t offset) {
    std::uint32_t count = 0;
    // Reading where the position could not be set would hand back the wrong bytes.
    if (!position(offset) || !platform::readFile(handle, buffer, length, &count)) {
        (*console)->print(u"can't read \"%s\". cause = %d\n", path, platform::getLastError());
        failure = true;
        return 0;
    }
    return static_cast<std::int32_t>(count);
}

std::int32_t FatFileManager::write(const void* buffer, std::uint32_t length, std::int32_t offset) {
    std::uint32_t count = 0;
    if (!position(offset) || !platform::writeFile(handle, buffer, length, &count)) return 0;
    return static_cast<std::int32_t>(count);
}

bool FatFileManager::seek(std::uint32_t offset) {
    return platform::setFilePointer(handle, static_cast<std::int32_t>(offset), platform::fromBeginning) !=
           platform::invalidFileSize;
}
