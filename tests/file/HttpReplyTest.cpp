// Where a reply's header ends, and what its status line and Content-Length say.
#include <gtest/gtest.h>

#include <string>

#include "console/Console.h"
#include "file/HttpReply.h"
#include "tests/support/SandboxTest.h"

namespace {

struct HeaderCase {
    const char* name;
    std::string header;
    bool parses;
    std::uint32_t status;
    bool hasLength;
    std::uint32_t length;
    const char* message;  // printed when it does not parse
};

class HttpReplyTest : public SandboxTest, public ::testing::WithParamInterface<HeaderCase> {
protected:
    HttpReplyTest() { attachWindow(); }
    Console* console = Console::instance();
};

TEST_P(HttpReplyTest, ReadsStatusAndContentLength) {
    const HeaderCase& c = GetParam();
    HttpReplyHeader header;
    bool parsed = parseHttpHeader(c.header.data(), static_cast<std::uint32_t>(c.header.size()), header, &console, 1);
    ASSERT_EQ(parsed, c.parses) << utf8(consolePage.text);
    if (!parsed) {
        EXPECT_EQ(utf8(consolePage.text), c.message);
        return;
    }
    EXPECT_EQ(header.status, c.status);
    EXPECT_EQ(header.hasContentLength, c.hasLength);
    EXPECT_EQ(header.contentLength, c.length);
    EXPECT_EQ(header.length, c.header.size());
}

const HeaderCase headerCases[] = {
    {"Plain", "HTTP/1.0 200 OK\r\nContent-Length: 1234\r\n\r\n", true, 200, true, 1234, ""},
    {"NoReason", "HTTP/1.1 204\r\n\r\n", true, 204, false, 0, ""},
    {"BareLineFeeds", "HTTP/1.0 200 OK\nContent-Length: 7\n\n", true, 200, true, 7, ""},
    {"BlanksAroundValue", "HTTP/1.0 200 OK\r\ncontent-LENGTH:\t 99 \r\n\r\n", true, 200, true, 99, ""},
    {"LargestLength", "HTTP/1.0 200 OK\r\nContent-Length: 4294967295\r\n\r\n", true, 200, true, 0xFFFFFFFF, ""},
    {"SameLengthTwice", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Length: 5\r\n\r\n", true, 200, true, 5, ""},
    // The name inside another field's value is not the field.
    {"NameInAValue", "HTTP/1.0 200 OK\r\nX-Note: Content-Length: 5\r\n\r\n", true, 200, false, 0, ""},
    {"OtherField", "HTTP/1.0 200 OK\r\nContent-Length-Extra: 5\r\n\r\n", true, 200, false, 0, ""},
    {"NotFound", "HTTP/1.0 404 Not Found\r\n\r\n", true, 404, false, 0, ""},
    {"NoStatusLine", "Content-Length: 5\r\n\r\n", false, 0, false, 0, "bad reply \"Content-Length: 5\".\n"},
    {"ShortCode", "HTTP/1.0 20 OK\r\n\r\n", false, 0, false, 0, "bad reply \"HTTP/1.0 20 OK\".\n"},
    {"LongCode", "HTTP/1.0 2000 OK\r\n\r\n", false, 0, false, 0, "bad reply \"HTTP/1.0 2000 OK\".\n"},
    {"NoCode", "HTTP/1.0\r\n\r\n", false, 0, false, 0, "bad reply \"HTTP/1.0\".\n"},
    {"ControlBytesShown", std::string("HTTP/1.0 2\x01") + "0 OK\r\n\r\n", false, 0, false, 0, "bad reply \"HTTP/1.0 2?0 OK\".\n"},
    {"LengthWithLetters", "HTTP/1.0 200 OK\r\nContent-Length: 12abc\r\n\r\n", false, 0, false, 0,
     "bad Content-Length \"12abc\".\n"},
    {"NegativeLength", "HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n", false, 0, false, 0, "bad Content-Length \"-1\".\n"},
    {"EmptyLength", "HTTP/1.0 200 OK\r\nContent-Length:\r\n\r\n", false, 0, false, 0, "bad Content-Length \"\".\n"},
    {"LengthOver32Bits", "HTTP/1.0 200 OK\r\nContent-Length: 4294967296\r\n\r\n", false, 0, false, 0,
     "bad Content-Length \"4294967296\".\n"},
    {"ConflictingLengths", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n", false, 0, false, 0,
     "bad Content-Length \"6\".\n"},
};

INSTANTIATE_TEST_SUITE_P(Headers, HttpReplyTest, ::testing::ValuesIn(headerCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HttpHeaderEndTest, FindsTheBlankLineWhereverItIs) {
    struct {
        std::string data;
        std::uint32_t end;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\n\r\nbody", 19},
        {"HTTP/1.0 200 OK\n\nbody", 17},
        {"HTTP/1.0 200 OK\r\nA: b\r\n\r\n", 25},
        {"HTTP/1.0 200 OK\r\nA: b\r\n\r", 0},
        {"HTTP/1.0 200 OK\r\nA: b\r\n", 0},
        {"", 0},
        {"\n", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(httpHeaderEnd(c.data.data(), static_cast<std::uint32_t>(c.data.size())), c.end) << c.data;
    }
}

}  // namespace
