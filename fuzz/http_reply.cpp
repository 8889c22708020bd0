// An HTTP reply as it comes from the server: its header is found, parsed (with every
// trace on) and the body framed as the file manager frames it.
#include <cstdint>
#include <cstring>
#include <vector>

#include "console/Console.h"
#include "file/HttpReply.h"

namespace {

class SilentConsole : public Console {
protected:
    void emit() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SilentConsole silent;
    static Console* console = &silent;
    const char* reply = reinterpret_cast<const char*>(data);
    auto bytes = static_cast<std::uint32_t>(size);
    std::uint32_t end = httpHeaderEnd(reply, bytes);
    if (end > bytes) __builtin_trap();
    std::uint32_t headerBytes = end == 0 ? bytes : end;
    HttpReplyHeader header;
    if (!parseHttpHeader(reply, headerBytes, header, &console, 3)) return 0;
    if (header.length != headerBytes || header.status > 999 || header.statusLine[sizeof header.statusLine - 1] != 0) {
        __builtin_trap();
    }
    // The body bytes that came with the header, bounded by the Content-Length.
    std::uint32_t available = bytes - headerBytes;
    std::uint32_t length = header.hasContentLength ? header.contentLength : available;
    std::uint32_t early = available < length ? available : length;
    std::vector<char> body(early);
    if (early > 0) std::memcpy(body.data(), reply + headerBytes, early);
    return 0;
}
