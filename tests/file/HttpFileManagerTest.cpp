// HttpFileManager against a scripted server: the requests it sends, how it frames the
// replies, and how each misbehaviour ends.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "file/GzipFileManager.h"
#include "tests/file/HttpTest.h"
#include "tests/file/ScriptedHttpServer.h"

namespace {

const std::string agentLine = "User-Agent: TEMBREL/ZERO(1st impact; Windows CE; ARM)\r\n";

/// The bytes 0, 1, ... 255, 0, 1, ... of a file of `size` bytes.
std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 256);
    return bytes;
}

/// A server that serves `body` as a well-behaved HTTP/1.0 server would.
ScriptedHttpServer::Script serving(const std::string& body) {
    return [body](const std::string& request) {
        std::string fields = "Content-Length: " + std::to_string(body.size()) + "\r\n";
        bool head = request.starts_with("HEAD ");
        return ScriptedReply{{httpReply("200 OK", fields, head ? "" : body)}};
    };
}

class HttpFileManagerTest : public HttpTest {};

TEST_F(HttpFileManagerTest, AnnouncesItselfAndIsReadOnly) {
    HttpFileManager other(&console);
    EXPECT_EQ(output(), "FileManager: HTTP\n");
    EXPECT_EQ(other.write("x", 1, 0), 0);
    EXPECT_EQ(other.close(), 1);
    EXPECT_EQ(other.close(), 1);
}

TEST_F(HttpFileManagerTest, SetRootProvesTheConnection) {
    ScriptedHttpServer server(serving(""));
    connect(server.port());
    EXPECT_EQ(output(), "127.0.0.1 (127.0.0.1) connected.\n");
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(HttpFileManagerTest, SendsTheRequestsByteForByte) {
    ScriptedHttpServer server(serving(pattern(300)));
    connect(server.port());
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    EXPECT_TRUE(server.requests().empty()) << "open sends nothing";
    char buffer[10];
    ASSERT_EQ(manager.read(buffer, sizeof buffer, 0), 10);
    const std::string tail = " HTTP/1.0\r\nHOST: 127.0.0.1\r\n" + agentLine + "\r\n";
    ASSERT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(server.requests()[0], "HEAD /korvel.gz" + tail);
    EXPECT_EQ(server.requests()[1], "GET /korvel.gz" + tail);
    EXPECT_NE(output().find("open http://127.0.0.1/korvel.gz - header 40 byte contents 300 byte\n"), std::string::npos)
        << output();
}

TEST_F(HttpFileManagerTest, SizeTakesContentLengthInAnyLetterCase) {
    for (const char* name : {"Content-Length", "content-length", "CONTENT-LENGTH", "cOnTeNt-LeNgTh"}) {
        ScriptedHttpServer server([name](const std::string&) {
            return ScriptedReply{{httpReply("200 OK", std::string("Server: scripted\r\n") + name + ": 1234\r\n")}};
        });
        connect(server.port());
        ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
        EXPECT_EQ(manager.size(), 1234u) << name;
        EXPECT_EQ(manager.realSize(), 1234u) << name;
        EXPECT_EQ(server.count("HEAD"), 2) << "each size costs one HEAD request";
    }
}

// The header is read in chunks of 255 bytes: wherever the field falls across the
// chunk boundary, it is found.
TEST_F(HttpFileManagerTest, ContentLengthSplitAcrossReceiveChunks) {
    const std::string field = "Content-Length: 1234\r\n";
    for (std::size_t split = 1; split < field.size(); ++split) {
        std::string before = "HTTP/1.0 200 OK\r\nX-Padding: ";
        before += std::string(255 - before.size() - split - 2, 'p') + "\r\n";
        ASSERT_EQ(before.size() + split, 255u);
        std::string reply = before + field + "\r\n";
        ScriptedHttpServer server([reply](const std::string&) { return ScriptedReply{{reply}}; });
        connect(server.port());
        ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
        EXPECT_EQ(manager.size(), 1234u) << "split after " << split << " bytes of the field";
    }
}

// Without a length the file cannot be told from an empty one: it fails, until the
// next open asks again.
TEST_F(HttpFileManagerTest, ReplyWithoutContentLengthFails) {
    ScriptedHttpServer server([](const std::string& request) {
        return ScriptedReply{{httpReply("200 OK", "Server: scripted\r\n", request.starts_with("GET") ? "data" : "")}};
    });
    connect(server.port());
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    clearOutput();
    EXPECT_EQ(manager.size(), 0u);
    EXPECT_EQ(output(), "No Content-Length.\n");
    EXPECT_TRUE(manager.failed());
    char buffer[4];
    EXPECT_EQ(manager.read(buffer, sizeof buffer, 0), 0);
    EXPECT_EQ(server.count("HEAD"), 1) << "a failed file is not asked for again";
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    EXPECT_FALSE(manager.failed());
    EXPECT_EQ(manager.read(buffer, sizeof buffer, 0), 0);
    EXPECT_TRUE(manager.failed());
    EXPECT_EQ(server.count("HEAD"), 2);
    EXPECT_EQ(server.count("GET"), 0);
}

TEST_F(HttpFileManagerTest, ReadsFollowThePositionFromOneGet) {
    const std::string file = pattern(250);
    ScriptedHttpServer server(serving(file));
    connect(server.port());
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    char buffer[100];
    ASSERT_EQ(manager.read(buffer, 100, -1), 100);
    EXPECT_EQ(std::string(buffer, 100), file.substr(0, 100));
    ASSERT_EQ(manager.read(buffer, 100, -1), 100);
    EXPECT_EQ(std::string(buffer, 100), file.substr(100, 100));
    EXPECT_EQ(manager.read(buffer, 100, -1), 50) << "the rest of the file";
    EXPECT_EQ(std::string(buffer, 50), file.substr(200));
    EXPECT_EQ(manager.read(buffer, 100, -1), 0) << "at the end";
    EXPECT_EQ(manager.read(buffer, 100, 250), 0) << "at the content length";
    EXPECT_EQ(manager.read(buffer, 100, 251), 0) << "beyond it";
    EXPECT_TRUE(manager.seek(20));
    ASSERT_EQ(manager.read(buffer, 10, -1), 10);
    EXPECT_EQ(std::string(buffer, 10), file.substr(20, 10));
    ASSERT_EQ(manager.read(buffer, 10, 5), 10) << "an explicit offset leaves the position";
    ASSERT_EQ(manager.read(buffer, 10, -1), 10);
    EXPECT_EQ(std::string(buffer, 10), file.substr(30, 10));
    EXPECT_EQ(server.count("HEAD"), 1);
    EXPECT_EQ(server.count("GET"), 1);
}

TEST_F(HttpFileManagerTest, OpenStartsAFreshFetch) {
    ScriptedHttpServer server([](const std::string& request) {
        std::string body = request.find("/a ") != std::string::npos ? "first" : "second file";
        std::string fields = "Content-Length: " + std::to_string(body.size()) + "\r\n";
        return ScriptedReply{{httpReply("200 OK", fields, request.starts_with("GET") ? body : "")}};
    });
    connect(server.port());
    EXPECT_EQ(fetch(u"/a", 100), "first");
    EXPECT_EQ(fetch(u"/b", 100), "second file");
    EXPECT_EQ(server.count("GET"), 2);
}

// A GET reply is framed by its own header, however long the HEAD reply's was.
TEST_F(HttpFileManagerTest, GetHeaderOfAnotherLengthThanHeads) {
    const std::string file = pattern(1000);
    for (const char* extra : {"", "Date: Thu, 01 Jan 2037 00:00:00 GMT\r\nContent-Type: application/gzip\r\n"}) {
        ScriptedHttpServer server([&](const std::string& request) {
            std::string fields = "Content-Length: 1000\r\n";
            if (request.starts_with("HEAD")) return ScriptedReply{{httpReply("200 OK", fields + "X-Head-Only: " + std::string(300, 'h') + "\r\n")}};
            return ScriptedReply{{httpReply("200 OK", extra + fields, file)}};
        });
        connect(server.port());
        EXPECT_EQ(fetch(u"/korvel.gz", 1000), file);
    }
}

TEST_F(HttpFileManagerTest, BodyArrivingInPiecesIsJoined) {
    const std::string file = pattern(5000);
    ScriptedHttpServer server([&](const std::string& request) {
        if (request.starts_with("HEAD")) return serving(file)(request);
        std::string reply = httpReply("200 OK", "Content-Length: 5000\r\n", file);
        return ScriptedReply{{reply.substr(0, 7), reply.substr(7, 30), reply.substr(37, 1000), reply.substr(1037)}};
    });
    connect(server.port());
    EXPECT_EQ(fetch(u"/korvel.gz", 5000), file);
}

TEST_F(HttpFileManagerTest, TracesByDebugLevel) {
    ScriptedHttpServer server(serving("abc"));
    connect(server.port());
    ASSERT_TRUE(manager.open(u"/k", 3));
    manager.debugLevel = 3;
    clearOutput();
    EXPECT_EQ(manager.size(), 3u);
    EXPECT_NE(output().find("size 255 readed 38 byte(+38)\nsize 255 readed 38 byte(+0)\ntotal read 38 byte\n"),
              std::string::npos)
        << output();
    EXPECT_NE(output().find("+token: HTTP/1.0\n+token: 200\n+token: OK\n"
                            "+token: Content-Length\n*token: Content-Length\n*content-length=3\n+token: 3\n"),
              std::string::npos)
        << output();
    manager.debugLevel = 2;
    clearOutput();
    EXPECT_EQ(manager.size(), 3u);
    EXPECT_NE(output().find("total read 38 byte\n"), std::string::npos);
    EXPECT_EQ(output().find("token"), std::string::npos);
    EXPECT_EQ(output().find("readed"), std::string::npos);
    manager.debugLevel = 1;
    clearOutput();
    EXPECT_EQ(manager.size(), 3u);
    EXPECT_EQ(output(), "open http://127.0.0.1/k - header 38 byte contents 3 byte\n");
}

/// A misbehaving server and how the read of its file must end.
struct FaultCase {
    const char* name;
    ScriptedHttpServer::Script script;
    const char* message;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class HttpFaultTest : public HttpTest, public ::testing::WithParamInterface<FaultCase> {};

// Each ends within the time-out, says why once, and leaves the file failed: a later
// read neither asks the server again nor waits again.
TEST_P(HttpFaultTest, FailsTheReadWithItsReason) {
    machine.network.timeoutMilliseconds = 400;
    ScriptedHttpServer server(GetParam().script);
    connect(server.port());
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    clearOutput();
    char buffer[64];
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(manager.read(buffer, sizeof buffer, 0), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_TRUE(manager.failed());
    std::size_t requests = server.requests().size();
    std::string said = output();
    EXPECT_EQ(manager.read(buffer, sizeof buffer, 0), 0);
    EXPECT_EQ(server.requests().size(), requests);
    EXPECT_EQ(output(), said);
    const std::string message = GetParam().message;
    ASSERT_NE(said.find(message), std::string::npos) << said;
    EXPECT_EQ(said.find(message, said.find(message) + 1), std::string::npos) << said;
}

ScriptedHttpServer::Script onGet(ScriptedReply get, std::string headFields = "Content-Length: 100\r\n") {
    return [get, headFields](const std::string& request) {
        return request.starts_with("HEAD") ? ScriptedReply{{httpReply("200 OK", headFields)}} : get;
    };
}

ScriptedHttpServer::Script always(ScriptedReply reply) {
    return [reply](const std::string&) { return reply; };
}

const FaultCase faultCases[] = {
    {"NotFound", always({{httpReply("404 Not Found", "Content-Length: 9\r\n", "not found")}}),
     "server replied \"HTTP/1.0 404 Not Found\".\n"},
    {"Redirect", always({{httpReply("301 Moved Permanently", "Location: http://127.0.0.1/elsewhere\r\n")}}),
     "server replied \"HTTP/1.0 301 Moved Permanently\".\n"},
    {"ErrorOnGetOnly", onGet({{httpReply("500 Internal Server Error", "")}}),
     "server replied \"HTTP/1.0 500 Internal Server Error\".\n"},
    {"BodyShorterThanContentLength", onGet({{httpReply("200 OK", "Content-Length: 100\r\n", std::string(60, 'x'))}}),
     "short reply: 60 of 100 content byte.\n"},
    {"BodyLongerThanContentLength", onGet({{httpReply("200 OK", "Content-Length: 100\r\n", std::string(150, 'x'))}}),
     "long reply: more than 100 content byte.\n"},
    {"MoreAfterTheBody",
     onGet({{httpReply("200 OK", "Content-Length: 100\r\n", std::string(100, 'x')), std::string(5000, 'y')}}),
     "long reply: more than 100 content byte.\n"},
    {"OpenAfterTheBody", onGet({{httpReply("200 OK", "Content-Length: 100\r\n", std::string(100, 'x'))}, true}),
     "receive timed out.\n"},
    {"ResetMidBody", onGet({{httpReply("200 OK", "Content-Length: 100\r\n", std::string(60, 'x'))}, false, true}),
     "receive failed. cause=10054\n"},
    {"SilentOnHead", always({{}, true}), "receive timed out.\n"},
    {"StallInTheHeader", always({{"HTTP/1.0 200 OK\r\nContent-Le"}, true}), "receive timed out.\n"},
    {"ClosedInTheHeader", always({{"HTTP/1.0 200 OK\r\nContent-Le"}}), "No Content-Length.\n"},
    {"SilentMidBody", onGet({{httpReply("200 OK", "Content-Length: 100\r\n", std::string(60, 'x'))}, true}),
     "receive timed out.\n"},
    {"ClosesAtOnce", always({}), "empty reply.\n"},
    {"NotHttp", always({{"SSH-2.0-OpenSSH\r\n\r\n"}}), "bad reply \"SSH-2.0-OpenSSH\".\n"},
    {"NoStatusCode", always({{"HTTP/1.0 OK\r\nContent-Length: 5\r\n\r\n"}}), "bad reply \"HTTP/1.0 OK\".\n"},
    {"ControlBytesForAStatusLine", always({{std::string("\x16\x03\x01\x00\x05\x01\r\n\r\n", 10)}}),
     "bad reply \"??????\".\n"},
    {"BadContentLength", always({{httpReply("200 OK", "Content-Length: 0x100\r\n")}}),
     "bad Content-Length \"0x100\".\n"},
    {"EndlessHeader", always({{"HTTP/1.0 200 OK\r\nX-Long: " + std::string(9000, 'a')}}), "reply header too long.\n"},
    {"LargerThanMemory", always({{httpReply("200 OK", "Content-Length: 4000000000\r\n")}}),
     "can't allocate 4000000000 byte for the contents.\n"},
};

INSTANTIATE_TEST_SUITE_P(Faults, HttpFaultTest, ::testing::ValuesIn(faultCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HttpFileManagerTest, ServerGoneAfterSetRoot) {
    std::uint16_t port;
    {
        ScriptedHttpServer server(serving("abc"));
        port = server.port();
        connect(port);
    }
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    clearOutput();
    EXPECT_EQ(manager.size(), 0u);
    EXPECT_EQ(output(), "connect failed. cause=10061\n");
}

// Through the gzip reader that a boot holds, a fetch that fails fails the open, and a
// size that cannot be learned is unknown, not 0: an image of 0 bytes would boot.
TEST_F(HttpFileManagerTest, GzipReaderOverFailingRequests) {
    GzipFileManager reader(&console, std::make_unique<HttpFileManager>(&console));
    {
        ScriptedHttpServer server(always({{httpReply("404 Not Found", "Content-Length: 9\r\n", "not found")}}));
        ASSERT_TRUE(reader.setRoot(rootFor(server.port()).c_str())) << output();
        EXPECT_FALSE(reader.open(u"/miniroot.fs", 3));
        EXPECT_TRUE(reader.failed());
    }
    std::uint16_t port;
    {
        ScriptedHttpServer server(serving("plain image"));
        port = server.port();
        ASSERT_TRUE(reader.setRoot(rootFor(port).c_str())) << output();
        ASSERT_TRUE(reader.open(u"/miniroot.fs", 3));
        EXPECT_EQ(reader.realSize(), 11u);
        EXPECT_FALSE(reader.failed());
    }
    clearOutput();
    EXPECT_EQ(reader.realSize(), 0xFFFFFFFFu) << "the server is gone";
    EXPECT_EQ(output(), "connect failed. cause=10061\n");
    EXPECT_TRUE(reader.failed());
    char buffer[4];
    EXPECT_EQ(reader.read(buffer, sizeof buffer, 0), -1);
}

TEST_F(HttpFileManagerTest, RequestMustFitItsBuffer) {
    ScriptedHttpServer server(serving("abc"));
    connect(server.port());
    // 81 bytes of fixed text with "HEAD ", the 9 of the host and the terminator.
    std::u16string fits = u"/" + std::u16string(259 - 81 - 9 - 1, u'a');
    EXPECT_TRUE(manager.open(fits.c_str(), 3)) << output();
    EXPECT_EQ(manager.size(), 3u);
    clearOutput();
    std::u16string tooLong = fits + u"a";
    EXPECT_FALSE(manager.open(tooLong.c_str(), 3));
    EXPECT_EQ(output(), "request too long: 261 > 260 byte.\n");
    clearOutput();
    EXPECT_FALSE(manager.open(std::u16string(300, u'a').c_str(), 3));
    EXPECT_EQ(output(), "buffer insufficeint. 301 > 260\n");
}

TEST_F(HttpFileManagerTest, LongHostNameShortensTheNames) {
    ScriptedHttpServer server(serving("abc"));
    const std::string host(150, 'h');
    machine.network.hostNames = {{{host, {0x0100007F}}}};
    ASSERT_TRUE(manager.setRoot(rootFor(server.port(), host).c_str())) << output();
    clearOutput();
    EXPECT_TRUE(manager.open((u"/" + std::u16string(259 - 81 - 150 - 1, u'a')).c_str(), 3));
    EXPECT_FALSE(manager.open((u"/" + std::u16string(259 - 81 - 150, u'a')).c_str(), 3));
    EXPECT_EQ(output(), "request too long: 261 > 260 byte.\n");
}

TEST_F(HttpFileManagerTest, HeapExhaustedForTheReceiveBuffer) {
    ScriptedHttpServer server(serving("abc"));
    connect(server.port());
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    clearOutput();
    machine.heapExhausted = true;
    EXPECT_EQ(manager.size(), 0u);
    EXPECT_EQ(output(), "can't allocate receive buffer.\n");
}

TEST_F(HttpFileManagerTest, SocketsUsedUp) {
    ScriptedHttpServer server(serving("abc"));
    machine.network.socketsExhausted = true;
    EXPECT_FALSE(manager.setRoot(rootFor(server.port()).c_str()));
    EXPECT_EQ(output(), "can't open socket. cause=10024\n");
    machine.network.socketsExhausted = false;
    connect(server.port());
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    machine.network.socketsExhausted = true;
    clearOutput();
    EXPECT_EQ(manager.size(), 0u);
    EXPECT_EQ(output(), "can't open socket.\n");
    EXPECT_TRUE(manager.failed());
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    clearOutput();
    char buffer[4];
    EXPECT_EQ(manager.read(buffer, 4, 0), 0);
    EXPECT_EQ(output(), "can't open socket.\n");
    EXPECT_TRUE(manager.failed());
}

}  // namespace
