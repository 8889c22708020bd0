#include "file/UfsFileManager.h"

#include "console/Console.h"
#include "file/FailureNote.h"
#include "file/IoResult.h"
#include "file/UfsFile.h"
#include "platform/files.h"

namespace {

/// The reason for a result code whose failure left no note of its own.
const char16_t* reasonOf(std::int32_t result) {
    switch (result) {
        case io::noSuchFile: return u"ufs: no such file or directory\n";
        case io::notDirectory: return u"ufs: a component of the path is not a directory\n";
        case io::ioError: return u"ufs: read error\n";
        case io::outOfMemory: return u"ufs: out of memory\n";
        case io::noSuchDevice: return u"ufs: no disk is open\n";
        case io::fileTooBig: return u"ufs: file too big\n";
        default: return u"ufs: invalid file system\n";
    }
}

}  // namespace

UfsFileManager::UfsFileManager(Console** console) : FileManager(console) {
    debugLevel = 1;
    (*console)->print(u"FileManager: UFS\n");
}

void UfsFileManager::printReason(std::int32_t result) {
    const char16_t* note = failureNote();
    (*console)->print(u"%s", note[0] != 0 ? note : reasonOf(result));
}

bool UfsFileManager::setRoot(const char16_t* root) {
    char text[nameCapacity];
    if (!toNarrow(text, root, nameCapacity)) return false;
    std::int32_t unit = text[0] >= '1' && text[0] <= '9' && text[1] == ':' ? text[0] - '0' : 1;
    clearFailureNote();
    std::int32_t result = openFile.deviceSwitch->open(openFile, "DSK", unit, 0);
    if (result != io::ok) printReason(result);
    return result == io::ok;
}

bool UfsFileManager::open(const char16_t* name, std::uint32_t) {
    failure = false;
    if (!toNarrow(fileName, name, nameCapacity)) return false;
    clearFailureNote();
    std::int32_t result = ufsOpen(openFile, fileName);
    (*console)->print(u"open file \"%s\" ", name);
    if (result != 0) {
        (*console)->print(u"failed.\n");
        printReason(result);
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
    if (!openFile.fileSystemData) return 0;
    if (offset != -1) ufsSeek(openFile, static_cast<std::uint32_t>(offset), 0);
    std::uint32_t remaining = length;
    clearFailureNote();
    std::int32_t result = ufsRead(openFile, buffer, length, &remaining);
    if (result != io::ok) {
        (*console)->print(u"can't read \"%S\" at %u.\n", static_cast<const char*>(fileName),
                          openFile.fileSystemData->seekPosition);
        printReason(result);
        failure = true;
    }
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
