// The header of an HTTP reply: where it ends, its status and its Content-Length.
#pragma once

#include <cstdint>

class Console;

/// What a reply's header says about the reply.
struct HttpReplyHeader {
    /// Bytes of the header, the blank line that ends it included.
    std::uint32_t length = 0;
    /// The status code of the status line.
    std::uint32_t status = 0;
    bool hasContentLength = false;
    std::uint32_t contentLength = 0;
    /// The status line, cut to fit and made printable, for messages.
    char statusLine[80] = {};

    bool succeeded() const { return status >= 200 && status <= 299; }
};

/// The bytes of `data` up to and including the blank line that ends a header (CR LF
/// or a bare LF), or 0 while `data` holds no such line.
std::uint32_t httpHeaderEnd(const char* data, std::uint32_t size);

/// Reads the status line and the Content-Length of the `length` header bytes at
/// `data` into `header`; above `debugLevel` 2 traces each token. Prints the reason
/// and returns false when the status line or the Content-Length is malformed.
bool parseHttpHeader(const char* data, std::uint32_t length, HttpReplyHeader& header, Console** console,
                     std::int32_t debugLevel);
