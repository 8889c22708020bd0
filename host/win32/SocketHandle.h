// An open WinSock socket, closed when its owner goes.
#pragma once

#include <cstdint>

namespace host {

class SocketHandle {
public:
    using Value = std::uintptr_t;
    static constexpr Value none = ~Value{0};  // INVALID_SOCKET

    SocketHandle() = default;
    explicit SocketHandle(Value socket) : socket_(socket) {}
    ~SocketHandle();
    SocketHandle(SocketHandle&& other) noexcept : socket_(other.socket_) { other.socket_ = none; }
    SocketHandle& operator=(SocketHandle&& other) noexcept;
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;

    Value get() const { return socket_; }
    bool isOpen() const { return socket_ != none; }

private:
    Value socket_ = none;
};

}  // namespace host
