// Sockets role: a stream-socket interface of the WinSock 1.1 shape.
//
// connectSocket and receiveSocket never wait forever: each gives up after the
// platform's network time-out (30 s unless the platform is set otherwise), fails with
// socketError, and socketLastError() then answers errorTimedOut.
#pragma once

#include <cstdint>

namespace platform {

using Socket = std::intptr_t;
inline constexpr Socket invalidSocket = -1;
inline constexpr std::int32_t socketError = -1;

inline constexpr std::int32_t addressFamilyInet = 2;
inline constexpr std::int32_t socketStream = 1;
inline constexpr std::uint32_t noAddress = 0xFFFFFFFF;  // inetAddr's failure value

// Error codes of socketLastError().
inline constexpr std::int32_t errorTooManySockets = 10024;
inline constexpr std::int32_t errorNetworkDown = 10050;
inline constexpr std::int32_t errorNetworkUnreachable = 10051;
inline constexpr std::int32_t errorConnectionReset = 10054;
inline constexpr std::int32_t errorNotConnected = 10057;
inline constexpr std::int32_t errorTimedOut = 10060;
inline constexpr std::int32_t errorConnectionRefused = 10061;
inline constexpr std::int32_t errorHostUnreachable = 10065;
inline constexpr std::int32_t errorSystemNotReady = 10091;
inline constexpr std::int32_t errorVersionNotSupported = 10092;

/// The start-up record. Versions hold the major number in the low byte.
struct SocketData {
    std::uint16_t version;
    std::uint16_t highVersion;
    char description[257];
    char systemStatus[129];
    std::uint16_t maxSockets;
    std::uint16_t maxDatagram;
    char* vendorInfo;
};

/// An IPv4 address and port, both in network byte order.
struct SocketAddress {
    std::int16_t family;
    std::uint16_t port;
    std::uint32_t address;
};

struct HostEntry {
    const char* name;
    std::int16_t addressType;
    std::int16_t addressLength;
    const char* const* addresses;  // null-terminated list of `addressLength`-byte addresses
};

/// Starts the socket library; 0 on success, else an error code.
std::int32_t socketStartup(std::uint16_t version, SocketData* data);
std::int32_t socketCleanup();
/// The error code of the calling thread's last failed socket call.
std::int32_t socketLastError();
Socket openSocket(std::int32_t family, std::int32_t type, std::int32_t protocol);
/// 0 on success, socketError on failure.
std::int32_t connectSocket(Socket socket, const SocketAddress* address);
/// Bytes sent, or socketError.
std::int32_t sendSocket(Socket socket, const char* data, std::int32_t length, std::int32_t flags);
/// Bytes received, 0 at the end of the stream, or socketError.
std::int32_t receiveSocket(Socket socket, char* buffer, std::int32_t length, std::int32_t flags);
std::int32_t closeSocket(Socket socket);
/// The host's addresses, or null. The entry stays valid until the next lookup.
const HostEntry* hostByName(const char* name);
/// A dotted IPv4 address in network byte order, or `noAddress`.
std::uint32_t parseInetAddress(const char* text);
std::uint16_t hostToNetworkShort(std::uint16_t value);

}  // namespace platform
