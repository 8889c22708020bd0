#include "file/UfsFileManager.h"

#include "console/Console.h"
#include "file/UfsFile.h"
#include "platform/files.h"

UfsFileManager::UfsFileManager(Console** console) : FileManager(console) {
    debugLevel = 1;
    (*console)->print(u"FileManager: UFS\n");
}

bool UfsFileManager::setRoot(const char16_t* root) {
    char text[nameCapacity];
    if (!toNarrow(text, root, nameCapacity)) return false;
    std::int32_t unit = text[0] >= '1' && text[0] <= '9' && text[1] == ':' ? text[0] - '0' : 1;
    return openFile.deviceSwitch->open(openFile, "DSK", unit, 0) == 0;
}

bool UfsFileManager::open(const char16_t* name, std::uint32_t) {
    if (!toNarrow(fileName, name, nameCapacity)) return false;
    std::int32_t result = ufsOpen(openFile, fileName);
    (*console)->print(u"open file \"%s\" ", name);
    if (result != 0) {
        (*console)->print(u"failed.\n");
        return false;
    }
    (*console)->print(u"(%d byte).\n", size());
    return true;
}

std::uint32_t UfsFileManager::size() {
    UfsStat status{};
    return ufsStat(openFile, &status) == 0 ? status.size : platform::invalidFileSize;
}

std::int32_t UfsFileManager::close() { return ufsClose(openFile); }

// Offsets other than -1 are positions from the start: read as unsigned, they reach the
// whole 32-bit range of a file.
std::int32_t UfsFileManager::read(void* buffer, std::uint32_t length, std::int32_t offset) {
    if (offset != -1) ufsSeek(openFile, static_cast<std::uint32_t>(offset), 0);
    std::uint32_t remaining = length;
    ufsRead(openFile, buffer, length, &remaining);
    return static_cast<std::int32_t>(length - remaining);
}

std::int32_t UfsFileManager::write(const void* buffer, std::uint32_t length, std::int32_t offset) {
    if (offset != -1) ufsSeek(openFile, static_cast<std::uint32_t>(offset), 0);
    std::uint32_t remaining = length;
    ufsWrite(openFile, buffer, length, &remaining);
    return 0;
}

bool UfsFileManager::seek(std::uint32_t offset) {
    ufsSeek(openFile, offset, 0);
    return true;
}
