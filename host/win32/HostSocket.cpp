#include "host/HostSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cerrno>

namespace host {

namespace {

/// Starts WinSock once for the process; it stays up until the process ends.
bool winsockReady() {
    static const bool ready = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

/// The errno value a POSIX host would give for a WinSock error.
int errnoOf(int error) {
    switch (error) {
        case WSAETIMEDOUT: return ETIMEDOUT;
        case WSAECONNREFUSED: return ECONNREFUSED;
        case WSAECONNRESET:
        case WSAECONNABORTED: return ECONNRESET;
        case WSAENETUNREACH: return ENETUNREACH;
        case WSAEHOSTUNREACH: return EHOSTUNREACH;
        case WSAENOTCONN: return ENOTCONN;
        case WSAEMFILE: return EMFILE;
        default: return EIO;
    }
}

SOCKET socketOf(SocketHandle::Value value) { return static_cast<SOCKET>(value); }

}  // namespace

SocketHandle::~SocketHandle() {
    if (isOpen()) closesocket(socketOf(socket_));
}

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept {
    if (this != &other) {
        if (isOpen()) closesocket(socketOf(socket_));
        socket_ = other.socket_;
        other.socket_ = none;
    }
    return *this;
}

TcpSocket TcpSocket::open() {
    if (!winsockReady()) return TcpSocket(SocketHandle::none, EIO);
    SOCKET s = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    return TcpSocket(static_cast<SocketHandle::Value>(s), s == INVALID_SOCKET ? errnoOf(WSAGetLastError()) : 0);
}

bool TcpSocket::fail(int error) {
    error_ = error;
    return false;
}

// Waits until the socket is writable (connected) or readable; false with ETIMEDOUT
// when `timeoutMs` runs out.
bool TcpSocket::waitFor(short events, int timeoutMs) {
    WSAPOLLFD entry{socketOf(fd_.get()), events, 0};
    int ready = WSAPoll(&entry, 1, timeoutMs);
    if (ready > 0) return true;
    return fail(ready == 0 ? ETIMEDOUT : errnoOf(WSAGetLastError()));
}

bool TcpSocket::connect(std::uint32_t address, std::uint16_t port, int timeoutMs) {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = port;
    target.sin_addr.s_addr = address;
    SOCKET s = socketOf(fd_.get());
    // Connect without blocking so that the wait can be bounded.
    u_long nonBlocking = 1;
    if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) return fail(errnoOf(WSAGetLastError()));
    bool done = ::connect(s, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0;
    if (!done && WSAGetLastError() != WSAEWOULDBLOCK) {
        int error = errnoOf(WSAGetLastError());
        u_long blocking = 0;
        ioctlsocket(s, FIONBIO, &blocking);
        return fail(error);
    }
    if (!done && waitFor(POLLWRNORM, timeoutMs)) {
        int error = 0;
        int length = sizeof error;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
            error = WSAGetLastError();
        }
        if (error == 0) done = true;
        else error_ = errnoOf(error);
    }
    u_long blocking = 0;
    ioctlsocket(s, FIONBIO, &blocking);
    return done;
}

std::int64_t TcpSocket::send(const void* data, std::size_t length) {
    int chunk = length > 0x40000000 ? 0x40000000 : static_cast<int>(length);
    int sent = ::send(socketOf(fd_.get()), static_cast<const char*>(data), chunk, 0);
    if (sent >= 0) return sent;
    error_ = errnoOf(WSAGetLastError());
    return -1;
}

std::int64_t TcpSocket::receive(void* buffer, std::size_t length, int timeoutMs) {
    if (!waitFor(POLLRDNORM, timeoutMs)) return -1;
    int chunk = length > 0x40000000 ? 0x40000000 : static_cast<int>(length);
    int received = ::recv(socketOf(fd_.get()), static_cast<char*>(buffer), chunk, 0);
    if (received >= 0) return received;
    error_ = errnoOf(WSAGetLastError());
    return -1;
}

std::vector<std::uint32_t> resolveIPv4(const std::string& name) {
    std::vector<std::uint32_t> addresses;
    if (!winsockReady()) return addresses;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return addresses;
    for (addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET) continue;
        std::uint32_t address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
        bool seen = false;
        for (std::uint32_t known : addresses) seen = seen || known == address;
        if (!seen) addresses.push_back(address);
    }
    freeaddrinfo(found);
    return addresses;
}

}  // namespace host
