// HttpFileManager's requests: the request text, the HEAD request and the GET request.
#include <algorithm>
#include <cstring>

#include "console/Console.h"
#include "file/HttpConnection.h"
#include "file/HttpFileManager.h"
#include "file/HttpReply.h"

namespace {

constexpr const char* versionText = " HTTP/1.0\r\nHOST: ";
constexpr const char* agentText = "\r\nUser-Agent: TEMBREL/ZERO(1st impact; Windows CE; ARM)\r\n\r\n";

/// The header is read in chunks of this many bytes.
constexpr std::uint32_t headerChunk = 255;

}  // namespace

bool HttpFileManager::buildRequest(const char* method) {
    const char* parts[] = {method, fileName, versionText, hostName, agentText};
    std::size_t needed = 1;
    for (const char* part : parts) needed += std::strlen(part);
    if (needed > sizeof request) {
        (*console)->print(u"request too long: %d > %d byte.\n", needed, sizeof request);
        return false;
    }
    request[0] = 0;
    for (const char* part : parts) std::strcat(request, part);
    return true;
}

bool HttpFileManager::sendRequest(HttpConnection& connection, const char* method) {
    return buildRequest(method) && connection.connect() &&
           connection.send(request, static_cast<std::uint32_t>(std::strlen(request)));
}

bool HttpFileManager::receiveHeader(HttpConnection& connection, char* buffer, std::uint32_t& filled,
                                    HttpReplyHeader& header) {
    filled = 0;
    std::uint32_t end = 0;
    bool closed = false;
    while (end == 0 && !closed) {
        if (filled == headerCapacity) {
            (*console)->print(u"reply header too long.\n");
            return false;
        }
        std::uint32_t wanted = std::min(headerChunk, headerCapacity - filled);
        std::uint32_t received = connection.receiveFully(buffer + filled, wanted);
        if (connection.failed()) return false;
        filled += received;
        closed = received < wanted;
        end = httpHeaderEnd(buffer, filled);
    }
    if (filled == 0) {
        (*console)->print(u"empty reply.\n");
        return false;
    }
    // A server may end a reply that has no body with its last header line.
    if (end == 0) end = filled;
    if (!parseHttpHeader(buffer, end, header, console, debugLevel)) return false;
    if (!header.succeeded()) {
        (*console)->print(u"server replied \"%S\".\n", static_cast<const char*>(header.statusLine));
        return false;
    }
    return true;
}

bool HttpFileManager::exchange(HttpConnection& connection, const char* method, HeapBlock& buffer,
                               std::uint32_t& filled, HttpReplyHeader& header) {
    if (!connection.opened()) {
        (*console)->print(u"can't open socket.\n");
        return false;
    }
    if (!sendRequest(connection, method)) return false;
    buffer = allocateHeapBlock(headerCapacity);
    if (!buffer) {
        (*console)->print(u"can't allocate receive buffer.\n");
        return false;
    }
    return receiveHeader(connection, buffer.get(), filled, header);
}

bool HttpFileManager::headRequest(HttpReplyHeader& header) {
    HttpConnection connection(server, console, debugLevel);
    HeapBlock buffer;
    std::uint32_t filled = 0;
    if (!exchange(connection, "HEAD ", buffer, filled, header)) return false;
    if (!header.hasContentLength) {
        (*console)->print(u"No Content-Length.\n");
        return false;
    }
    (*console)->print(u"open http://%S%S - header %d byte contents %d byte\n", static_cast<const char*>(hostName),
                      static_cast<const char*>(fileName), header.length, header.contentLength);
    return true;
}

// The GET reply is framed by its own header: its length, its status and its
// Content-Length (the HEAD reply's when it names none). An HTTP/1.0 reply ends where
// the server closes the connection, so a body that goes on past its length, like one
// that stops short, is not the file.
bool HttpFileManager::fetchContent() {
    HttpConnection connection(server, console, debugLevel);
    HeapBlock buffer;
    std::uint32_t filled = 0;
    HttpReplyHeader header;
    if (!exchange(connection, "GET ", buffer, filled, header)) return false;
    std::uint32_t length = header.hasContentLength ? header.contentLength : contentLength;
    std::uint32_t early = filled - header.length;
    if (early > length) return longReply(length);
    HeapBlock copy = allocateHeapBlock(length);
    if (!copy) {
        (*console)->print(u"can't allocate %u byte for the contents.\n", length);
        return false;
    }
    std::memcpy(copy.get(), buffer.get() + header.length, early);
    std::uint32_t received = early + connection.receiveFully(copy.get() + early, length - early);
    if (connection.failed()) return false;
    if (received < length) {
        (*console)->print(u"short reply: %u of %u content byte.\n", received, length);
        return false;
    }
    char beyond = 0;
    if (connection.receiveFully(&beyond, 1) != 0) return longReply(length);
    if (connection.failed()) return false;
    content = std::move(copy);
    contentLength = length;
    contentLoaded = true;
    return true;
}

bool HttpFileManager::longReply(std::uint32_t length) {
    (*console)->print(u"long reply: more than %u content byte.\n", length);
    return false;
}
