// One TCP connection to the HTTP server, for the length of one request.
#pragma once

#include <cstdint>

#include "platform/sockets.h"

class Console;

class HttpConnection {
public:
    /// Creates the stream socket; check opened(). Nothing is sent yet.
    HttpConnection(const platform::SocketAddress& server, Console** console, std::int32_t debugLevel);
    /// Closes the socket, if one was created.
    virtual ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    bool opened() const { return socket != platform::invalidSocket; }
    /// Connects to the server address as it is now. Prints the reason on failure.
    bool connect();
    /// Sends all `length` bytes. Prints the reason on failure.
    bool send(const char* data, std::uint32_t length);
    /// Receives into `buffer` until `wanted` bytes have come, the server closes the
    /// connection or a receive fails (see failed()). Returns the bytes received.
    std::uint32_t receiveFully(char* buffer, std::uint32_t wanted);
    /// True once a receive has failed or timed out; the reason has been printed.
    bool failed() const { return receiveFailed; }

private:
    void reportFailure(const char16_t* operation);

    const platform::SocketAddress& server;
    platform::Socket socket;
    Console** console;
    std::int32_t debugLevel;
    bool receiveFailed = false;
};
