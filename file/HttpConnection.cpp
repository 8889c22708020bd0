#include "file/HttpConnection.h"

#include <algorithm>

#include "console/Console.h"

namespace {
// The most one receive is asked for, so that the count fits its signed result.
constexpr std::uint32_t largestReceive = 0x40000000;
}  // namespace

HttpConnection::HttpConnection(const platform::SocketAddress& server, Console** console, std::int32_t debugLevel)
    : server(server),
      socket(platform::openSocket(platform::addressFamilyInet, platform::socketStream, 0)),
      console(console),
      debugLevel(debugLevel) {}

HttpConnection::~HttpConnection() {
    if (opened()) platform::closeSocket(socket);
}

void HttpConnection::reportFailure(const char16_t* operation) {
    std::int32_t cause = platform::socketLastError();
    if (cause == platform::errorTimedOut) {
        (*console)->print(u"%s timed out.\n", operation);
    } else {
        (*console)->print(u"%s failed. cause=%d\n", operation, cause);
    }
}

bool HttpConnection::connect() {
    if (platform::connectSocket(socket, &server) == 0) return true;
    reportFailure(u"connect");
    return false;
}

bool HttpConnection::send(const char* data, std::uint32_t length) {
    while (length > 0) {
        std::int32_t sent = platform::sendSocket(socket, data, static_cast<std::int32_t>(length), 0);
        if (sent <= 0) {
            reportFailure(u"send");
            return false;
        }
        data += sent;
        length -= static_cast<std::uint32_t>(sent);
    }
    return true;
}

std::uint32_t HttpConnection::receiveFully(char* buffer, std::uint32_t wanted) {
    std::uint32_t total = 0;
    while (total < wanted) {
        std::uint32_t room = std::min(wanted - total, largestReceive);
        std::int32_t received = platform::receiveSocket(socket, buffer + total, static_cast<std::int32_t>(room), 0);
        if (received < 0) {
            receiveFailed = true;
            reportFailure(u"receive");
            break;
        }
        total += static_cast<std::uint32_t>(received);
        if (debugLevel > 2) (*console)->print(u"size %d readed %d byte(+%d)\n", wanted, total, received);
        if (received == 0) break;
    }
    if (debugLevel > 1) (*console)->print(u"total read %d byte\n", total);
    return total;
}
