// HttpFileManager::setRoot: the root's parts, the socket library's start-up, the
// name lookup and the test connection.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/file/HttpTest.h"
#include "tests/file/ScriptedHttpServer.h"

namespace {

constexpr std::uint32_t loopback1 = 0x0100007F;  // 127.0.0.1 as it lies in memory
constexpr std::uint32_t loopback2 = 0x0200007F;  // 127.0.0.2: nothing listens there

ScriptedHttpServer::Script nothing() {
    return [](const std::string&) { return ScriptedReply{}; };
}

class HttpSetRootTest : public HttpTest {};

TEST_F(HttpSetRootTest, RefusesRootsItCannotUse) {
    struct {
        std::u16string root;
        const char* message;
    } cases[] = {
        {u"ftp://127.0.0.1/", ""},
        {u"\\Storage Card\\", ""},
        {u"http://", "no host in \"http://\".\n"},
        {u"http://127.0.0.1:70000/", "bad port in \"http://127.0.0.1:70000/\".\n"},
        // The path is taken as the port, and port 0 takes no connection.
        {u"http://127.0.0.1/boot", "127.0.0.1 connect failed. cause=10061\ncan't connect server.\n"},
    };
    for (const auto& c : cases) {
        clearOutput();
        EXPECT_FALSE(manager.setRoot(c.root.c_str())) << utf8(c.root);
        EXPECT_EQ(output(), c.message) << utf8(c.root);
    }
}

TEST_F(HttpSetRootTest, TriesEachAddressOfTheNameInTurn) {
    ScriptedHttpServer server(nothing());
    machine.network.hostNames = {{{"bootserver", {loopback2, loopback1}}, {"deadend", {loopback2}}}};
    EXPECT_TRUE(manager.setRoot(rootFor(server.port(), "bootserver").c_str()));
    EXPECT_EQ(output(), "127.0.0.2 connect failed. cause=10061\n127.0.0.1 (bootserver) connected.\n");
    clearOutput();
    EXPECT_FALSE(manager.setRoot(rootFor(server.port(), "deadend").c_str()));
    EXPECT_EQ(output(), "127.0.0.2 connect failed. cause=10061\ncan't connect server.\n");
}

TEST_F(HttpSetRootTest, FallsBackToADottedAddress) {
    ScriptedHttpServer server(nothing());
    machine.network.hostNames.emplace();  // a name service that knows no names at all
    EXPECT_TRUE(manager.setRoot(rootFor(server.port()).c_str()));
    EXPECT_EQ(output(), "127.0.0.1 (127.0.0.1) connected.\n");
    clearOutput();
    EXPECT_FALSE(manager.setRoot(rootFor(server.port(), "bootserver").c_str()));
    EXPECT_EQ(output(), "can't get host by name.\n");
}

TEST_F(HttpSetRootTest, AskedNameServiceResolvesLocalhost) {
    ScriptedHttpServer server(nothing());
    EXPECT_TRUE(manager.setRoot(rootFor(server.port(), "localhost").c_str()));
    EXPECT_EQ(output(), "127.0.0.1 (localhost) connected.\n");
}

TEST_F(HttpSetRootTest, HostTextMustConvert) {
    std::u16string root = u"http://" + std::u16string(300, u'h') + u":80/";
    EXPECT_FALSE(manager.setRoot(root.c_str()));
    EXPECT_EQ(output(), "buffer insufficeint. 301 > 260\n");
}

// From platform version 3.11 on the socket library's own start-up call is used; before
// it, a built-in one that always agrees to version 1.1.
struct StartupCase {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint16_t libraryVersion;  // 0: the library's start-up fails
    const char* message;           // empty: setRoot succeeds
};

class HttpStartupTest : public HttpTest, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(HttpStartupTest, ChoosesTheStartupByPlatformVersion) {
    const StartupCase& c = GetParam();
    machine.version.majorVersion = c.major;
    machine.version.minorVersion = c.minor;
    machine.network.libraryVersion = c.libraryVersion;
    ScriptedHttpServer server(nothing());
    HttpFileManager fresh(&console);
    clearOutput();
    bool connected = fresh.setRoot(rootFor(server.port()).c_str());
    EXPECT_EQ(connected, std::string(c.message).empty());
    EXPECT_EQ(output(), connected ? "127.0.0.1 (127.0.0.1) connected.\n" : c.message);
}

INSTANTIATE_TEST_SUITE_P(Versions, HttpStartupTest,
                         ::testing::Values(StartupCase{4, 20, 0x0101, ""},
                                           StartupCase{4, 20, 0x0202, ""},
                                           StartupCase{4, 20, 0, "WinSock initialize failed.\n"},
                                           StartupCase{4, 20, 0x0001, "can't use WinSock DLL.\n"},
                                           StartupCase{3, 11, 0, "WinSock initialize failed.\n"},
                                           StartupCase{3, 10, 0, ""},
                                           StartupCase{2, 12, 0x0001, ""},
                                           StartupCase{0, 0, 0, ""}));

}  // namespace
