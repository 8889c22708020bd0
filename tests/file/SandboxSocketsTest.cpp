// The sandbox's sockets role: address parsing, the name service and the time-outs.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "platform/sockets.h"
#include "tests/support/SandboxTest.h"

namespace {

class SandboxSocketsTest : public SandboxTest {};

TEST_F(SandboxSocketsTest, ParsesDottedAddressesOnly) {
    struct {
        const char* text;
        std::uint32_t address;
    } cases[] = {
        {"127.0.0.1", 0x0100007F}, {"10.1.2.3", 0x0302010A}, {"255.255.255.254", 0xFEFFFFFF},
        {"0.0.0.0", 0},            {"1.2.3", platform::noAddress}, {"1.2.3.4.5", platform::noAddress},
        {"256.1.1.1", platform::noAddress}, {"1.2.3.4 ", platform::noAddress}, {"1..2.3", platform::noAddress},
        {"0001.2.3.4", platform::noAddress}, {"srv", platform::noAddress}, {"", platform::noAddress},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::parseInetAddress(c.text), c.address) << c.text;
    EXPECT_EQ(platform::hostToNetworkShort(8080), 0x901F);
}

TEST_F(SandboxSocketsTest, NameServiceTableListsAddressesInOrder) {
    machine.network.hostNames = {{{"srv", {0x0100007F, 0x0200007F}}}};
    const platform::HostEntry* entry = platform::hostByName("srv");
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->name, "srv");
    EXPECT_EQ(entry->addressLength, 4);
    ASSERT_NE(entry->addresses[0], nullptr);
    ASSERT_NE(entry->addresses[1], nullptr);
    EXPECT_EQ(entry->addresses[2], nullptr);
    EXPECT_EQ(std::string(entry->addresses[1], 4), std::string("\x7F\0\0\x02", 4));
    EXPECT_EQ(platform::hostByName("other"), nullptr);
}

// A listener whose queue is full takes no more connections, so a connect to it waits:
// the machine's time-out must end that wait.
TEST_F(SandboxSocketsTest, ConnectGivesUpAfterTheTimeOut) {
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    machine.network.timeoutMilliseconds = 300;
    platform::SocketAddress target{platform::addressFamilyInet, address.sin_port, address.sin_addr.s_addr};
    std::vector<platform::Socket> sockets;
    bool timedOut = false;
    for (int i = 0; i < 8 && !timedOut; ++i) {
        platform::Socket socket = platform::openSocket(platform::addressFamilyInet, platform::socketStream, 0);
        sockets.push_back(socket);
        auto start = std::chrono::steady_clock::now();
        if (platform::connectSocket(socket, &target) == platform::socketError) {
            EXPECT_EQ(platform::socketLastError(), platform::errorTimedOut);
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
            timedOut = true;
        }
    }
    EXPECT_TRUE(timedOut) << "the queue never filled";
    for (platform::Socket socket : sockets) EXPECT_EQ(platform::closeSocket(socket), 0);
    EXPECT_EQ(platform::closeSocket(sockets.front()), platform::socketError);
    ::close(listener);
}

TEST_F(SandboxSocketsTest, ReceiveGivesUpAfterTheTimeOut) {
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    machine.network.timeoutMilliseconds = 200;
    platform::SocketAddress target{platform::addressFamilyInet, address.sin_port, address.sin_addr.s_addr};
    platform::Socket socket = platform::openSocket(platform::addressFamilyInet, platform::socketStream, 0);
    ASSERT_EQ(platform::connectSocket(socket, &target), 0);
    char buffer[8];
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(platform::receiveSocket(socket, buffer, sizeof buffer, 0), platform::socketError);
    EXPECT_EQ(platform::socketLastError(), platform::errorTimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    platform::closeSocket(socket);
    ::close(listener);
}

}  // namespace
