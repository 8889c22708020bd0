// IPv4 stream sockets and name lookup of the host, for the sandbox's network.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#include "host/win32/SocketHandle.h"
#else
#include "host/Descriptor.h"
#endif

namespace host {

/// An IPv4 stream socket; closed when destroyed. Failures leave the host's error
/// number in `error()`; a wait that runs out leaves ETIMEDOUT.
class TcpSocket {
public:
    TcpSocket() = default;
    TcpSocket(TcpSocket&&) noexcept = default;
    TcpSocket& operator=(TcpSocket&&) noexcept = default;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    /// A new socket; check isOpen().
    static TcpSocket open();

    bool isOpen() const { return fd_.isOpen(); }
    /// Connects to `address`:`port` (both in network byte order), waiting at most
    /// `timeoutMs`. False on failure.
    bool connect(std::uint32_t address, std::uint16_t port, int timeoutMs);
    /// Bytes sent, or -1.
    std::int64_t send(const void* data, std::size_t length);
    /// Bytes received, 0 at the end of the stream, or -1; waits at most `timeoutMs`
    /// for the first byte.
    std::int64_t receive(void* buffer, std::size_t length, int timeoutMs);
    int error() const { return error_; }

private:
#ifdef _WIN32
    using Owner = SocketHandle;
#else
    using Owner = Descriptor;
#endif
    explicit TcpSocket(Owner::Value fd, int error) : fd_(fd), error_(error) {}
    bool fail(int error);
    bool waitFor(short events, int timeoutMs);
    Owner fd_;
    int error_ = 0;
};

/// The IPv4 addresses (network byte order) that the host's resolver knows for
/// `name`, in its order; empty when it knows none.
std::vector<std::uint32_t> resolveIPv4(const std::string& name);

}  // namespace host
