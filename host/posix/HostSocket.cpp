#include "host/HostSocket.h"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace host {

TcpSocket TcpSocket::open() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    return TcpSocket(fd, fd < 0 ? errno : 0);
}

bool TcpSocket::fail(int error) {
    error_ = error;
    return false;
}

// Waits until `events` are ready; false with ETIMEDOUT when `timeoutMs` runs out.
bool TcpSocket::waitFor(short events, int timeoutMs) {
    pollfd entry{fd_.get(), events, 0};
    for (;;) {
        int ready = ::poll(&entry, 1, timeoutMs);
        if (ready > 0) return true;
        if (ready == 0) return fail(ETIMEDOUT);
        if (errno != EINTR) return fail(errno);
    }
}

bool TcpSocket::connect(std::uint32_t address, std::uint16_t port, int timeoutMs) {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = port;
    target.sin_addr.s_addr = address;
    int flags = ::fcntl(fd_.get(), F_GETFL);
    // Connect without blocking so that the wait can be bounded.
    if (flags < 0 || ::fcntl(fd_.get(), F_SETFL, flags | O_NONBLOCK) < 0) return fail(errno);
    bool done = ::connect(fd_.get(), reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0;
    if (!done && errno != EINPROGRESS) {
        int error = errno;
        ::fcntl(fd_.get(), F_SETFL, flags);
        return fail(error);
    }
    if (!done && waitFor(POLLOUT, timeoutMs)) {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &error, &length) < 0) error = errno;
        if (error == 0) done = true;
        else error_ = error;
    }
    ::fcntl(fd_.get(), F_SETFL, flags);
    return done;
}

std::int64_t TcpSocket::send(const void* data, std::size_t length) {
    for (;;) {
        ssize_t sent = ::send(fd_.get(), data, length, MSG_NOSIGNAL);
        if (sent >= 0) return sent;
        if (errno != EINTR) break;
    }
    error_ = errno;
    return -1;
}

std::int64_t TcpSocket::receive(void* buffer, std::size_t length, int timeoutMs) {
    if (!waitFor(POLLIN, timeoutMs)) return -1;
    for (;;) {
        ssize_t received = ::recv(fd_.get(), buffer, length, 0);
        if (received >= 0) return received;
        if (errno != EINTR) break;
    }
    error_ = errno;
    return -1;
}

std::vector<std::uint32_t> resolveIPv4(const std::string& name) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::vector<std::uint32_t> addresses;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return addresses;
    for (addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET) continue;
        std::uint32_t address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
        bool seen = false;
        for (std::uint32_t known : addresses) seen = seen || known == address;
        if (!seen) addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    return addresses;
}

}  // namespace host
