// The HTTP/1.0 file source: a HEAD request for the size, one GET for the contents.
#pragma once

#include <cstdint>

#include "file/FileManager.h"
#include "file/HeapRecord.h"
#include "platform/sockets.h"

class HttpConnection;
struct HttpReplyHeader;

/// Fetches files from the server that the root "http://host[:port]" names. The name
/// given to open() is the request target as it stands, so it must be the absolute
/// path on the server ("/korvel.gz"). The first read fetches the whole file into
/// memory; later reads copy from there.
class HttpFileManager : public FileManager {
public:
    /// The largest reply header accepted.
    static constexpr std::uint32_t headerCapacity = 8192;

    explicit HttpFileManager(Console** console);
    ~HttpFileManager() override;

    /// Parses the root, starts the socket library, resolves the host and proves that
    /// a connection can be made.
    bool setRoot(const char16_t* root) override;
    /// Takes `name` as the request target; no traffic. False when the request for it
    /// would not fit.
    bool open(const char16_t* name, std::uint32_t flags) override;
    /// The Content-Length of a HEAD reply; 0, and the file failed, when the request
    /// fails or the reply has none.
    std::uint32_t size() override;
    std::int32_t close() override;
    /// Copies from the file's contents, fetched whole on the first read. Returns the
    /// count, 0 past the end or when the fetch failed. A failed fetch is not tried
    /// again until the next open(), so that a dead server costs one time-out.
    std::int32_t read(void* buffer, std::uint32_t length, std::int32_t offset) override;
    /// The server's files are read-only: returns 0.
    std::int32_t write(const void* buffer, std::uint32_t length, std::int32_t offset) override;
    bool seek(std::uint32_t offset) override;

private:
    using StartupCall = std::int32_t (*)(std::uint16_t version, platform::SocketData* data);
    using CleanupCall = std::int32_t (*)();

    void resetFile();
    bool startSockets();
    bool connectToHost();
    bool tryAddress(std::uint32_t address, bool& noSocket);
    bool buildRequest(const char* method);
    bool sendRequest(HttpConnection& connection, const char* method);
    bool receiveHeader(HttpConnection& connection, char* buffer, std::uint32_t& filled, HttpReplyHeader& header);
    /// Sends the request with `method` and receives the reply's header into `buffer`
    /// (`filled` bytes came, body bytes included). Prints the reason on failure.
    bool exchange(HttpConnection& connection, const char* method, HeapBlock& buffer, std::uint32_t& filled,
                  HttpReplyHeader& header);
    /// The HEAD reply's header; false, after a message, when the request fails or the
    /// reply names no Content-Length.
    bool headRequest(HttpReplyHeader& header);
    /// The GET reply's body, which must be exactly as long as its Content-Length.
    bool fetchContent();
    /// Reports a body longer than the `length` its header named; returns false.
    bool longReply(std::uint32_t length);
    /// Marks the file failed; returns 0, what a failed read returns.
    std::int32_t fail();
    std::int32_t copyOut(void* buffer, std::uint32_t length, std::uint32_t start) const;

    StartupCall startup;
    CleanupCall cleanup;
    platform::SocketData startupRecord{};
    bool started = false;
    platform::SocketAddress server{};
    char hostName[nameCapacity] = {};
    char request[nameCapacity] = {};
    std::uint32_t headerLength = 0;  // of the HEAD reply; 0 until it has been asked
    bool contentLoaded = false;
    HeapBlock content;
    std::uint32_t contentLength = 0;
    std::uint32_t position = 0;
};
