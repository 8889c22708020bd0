#include "file/HttpFileManager.h"

#include <cstring>

#include "console/Console.h"
#include "file/HttpConnection.h"
#include "file/HttpReply.h"
#include "platform/queries.h"

namespace {

/// Stands in for the start-up call of platform versions whose socket library has
/// none: reports the version asked for and succeeds.
std::int32_t startupSubstitute(std::uint16_t version, platform::SocketData* data) {
    *data = platform::SocketData{};
    data->version = version;
    data->highVersion = version;
    data->maxSockets = 10;
    data->maxDatagram = 0;
    data->vendorInfo = nullptr;
    return 0;
}

std::int32_t cleanupSubstitute() { return 0; }

/// The library's own calls exist from platform version 3.11 on.
bool hasOwnStartup() {
    platform::VersionRecord version{};
    if (!platform::getVersion(&version)) return false;
    return version.majorVersion > 3 || (version.majorVersion == 3 && version.minorVersion >= 11);
}

}  // namespace

HttpFileManager::HttpFileManager(Console** console) : FileManager(console) {
    debugLevel = 1;
    resetFile();
    (*console)->print(u"FileManager: HTTP\n");
    bool own = hasOwnStartup();
    startup = own ? platform::socketStartup : startupSubstitute;
    cleanup = own ? platform::socketCleanup : cleanupSubstitute;
}

HttpFileManager::~HttpFileManager() {
    if (started) cleanup();
}

void HttpFileManager::resetFile() {
    fileName[0] = 0;
    contentLoaded = false;
    content.reset();
    contentLength = 0;
    headerLength = 0;
    position = 0;
    failure = false;
}

bool HttpFileManager::open(const char16_t* name, std::uint32_t) {
    resetFile();
    // HEAD is the longer method, so a name that fits it fits every request.
    return toNarrow(fileName, name, nameCapacity) && buildRequest("HEAD ");
}

std::uint32_t HttpFileManager::size() {
    HttpReplyHeader header;
    if (!failure && headRequest(header)) return header.contentLength;
    failure = true;
    return 0;
}

std::int32_t HttpFileManager::fail() {
    failure = true;
    return 0;
}

std::int32_t HttpFileManager::close() { return 1; }

std::int32_t HttpFileManager::read(void* buffer, std::uint32_t length, std::int32_t offset) {
    std::uint32_t start = offset == -1 ? position : static_cast<std::uint32_t>(offset);
    // The position moves by what was asked for, whatever is delivered.
    if (offset == -1) position += length;
    if (failure) return 0;
    if (!contentLoaded) {
        if (headerLength == 0) {
            HttpReplyHeader header;
            if (!headRequest(header)) return fail();
            headerLength = header.length;
            contentLength = header.contentLength;
        }
        if (!fetchContent()) return fail();
    }
    return copyOut(buffer, length, start);
}

std::int32_t HttpFileManager::copyOut(void* buffer, std::uint32_t length, std::uint32_t start) const {
    if (start >= contentLength) return 0;
    std::uint32_t count = length < contentLength - start ? length : contentLength - start;
    std::memcpy(buffer, content.get() + start, count);
    return static_cast<std::int32_t>(count);
}

std::int32_t HttpFileManager::write(const void*, std::uint32_t, std::int32_t) { return 0; }

bool HttpFileManager::seek(std::uint32_t offset) {
    position = offset;
    return true;
}
