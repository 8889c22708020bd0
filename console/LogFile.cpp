#include "console/LogFile.h"

#include "boot/StorageDirectory.h"
#include "console/format.h"
#include "platform/files.h"

LogFile::~LogFile() {
    if (isOpen()) platform::closeHandle(handle_);
}

bool LogFile::open(const char16_t* name, ConsolePageLink& page) {
    char16_t card[storageNameUnits];
    if (!findStorageDirectory(card)) {
        page.print(u"couldn't find temporary directory.\n", true);
        return false;
    }
    char16_t path[2 * storageNameUnits + 2];
    console::format(path, std::size(path), u"\\%s\\%s", static_cast<const char16_t*>(card), name);
    handle_ = platform::createFile(path, platform::genericWrite, 0, platform::createAlways, platform::attributeNormal);
    if (!isOpen()) return false;
    char16_t line[std::size(path) + 16];
    console::format(line, std::size(line), u"log file is %s\n", static_cast<const char16_t*>(path));
    page.print(line, true);
    return true;
}

void LogFile::write(const char16_t* text) {
    for (const char16_t* c = text; *c != 0; ++c) {
        char byte = static_cast<char>(*c & 0x7F);
        std::uint32_t written = 0;
        platform::writeFile(handle_, &byte, 1, &written);
    }
    platform::flushFile(handle_);
}
