// The sockets role over the host's IPv4 sockets, with the machine's time-out.
#include <cerrno>
#include <cstring>

#include "platform/sockets.h"
#include "sandbox/Machine.h"

namespace platform {

namespace {

sandbox::Network& network() { return sandbox::machine().network; }

std::int32_t fail(std::int32_t code) {
    network().lastError = code;
    return socketError;
}

std::int32_t socketCode(int error) {
    switch (error) {
        case ETIMEDOUT: return errorTimedOut;
        case ECONNREFUSED: return errorConnectionRefused;
        case ECONNRESET:
        case EPIPE: return errorConnectionReset;
        case ENETUNREACH: return errorNetworkUnreachable;
        case EHOSTUNREACH: return errorHostUnreachable;
        case ENOTCONN: return errorNotConnected;
        case EMFILE:
        case ENFILE: return errorTooManySockets;
        default: return errorNetworkDown;
    }
}

host::TcpSocket* find(Socket socket) {
    auto it = network().sockets.find(socket);
    return it == network().sockets.end() ? nullptr : &it->second;
}

int timeout() { return static_cast<int>(network().timeoutMilliseconds); }

// Bounds a 32-bit length, so that a negative one moves nothing.
std::size_t byteCount(std::int32_t length) { return length > 0 ? static_cast<std::size_t>(length) : 0; }

}  // namespace

std::int32_t socketStartup(std::uint16_t version, SocketData* data) {
    std::uint16_t offered = network().libraryVersion;
    if (offered == 0 || data == nullptr) return errorSystemNotReady;
    *data = SocketData{};
    // The library settles on the lower of the two versions, each compared major first.
    auto order = [](std::uint16_t v) { return ((v & 0xFF) << 8) | (v >> 8); };
    data->version = order(version) < order(offered) ? version : offered;
    data->highVersion = offered;
    std::strcpy(data->description, "sandbox sockets");
    std::strcpy(data->systemStatus, "Running");
    data->maxSockets = 100;
    return 0;
}

std::int32_t socketCleanup() { return 0; }

std::int32_t socketLastError() { return network().lastError; }

Socket openSocket(std::int32_t family, std::int32_t type, std::int32_t) {
    if (network().socketsExhausted) return fail(errorTooManySockets);
    if (family != addressFamilyInet || type != socketStream) return fail(errorNetworkDown);
    host::TcpSocket socket = host::TcpSocket::open();
    if (!socket.isOpen()) return fail(socketCode(socket.error()));
    Socket id = network().nextSocket++;
    network().sockets.emplace(id, std::move(socket));
    return id;
}

std::int32_t connectSocket(Socket socket, const SocketAddress* address) {
    host::TcpSocket* open = find(socket);
    if (open == nullptr || address == nullptr) return fail(errorNotConnected);
    if (address->family != addressFamilyInet) return fail(errorNetworkUnreachable);
    if (!open->connect(address->address, address->port, timeout())) return fail(socketCode(open->error()));
    return 0;
}

std::int32_t sendSocket(Socket socket, const char* data, std::int32_t length, std::int32_t) {
    host::TcpSocket* open = find(socket);
    if (open == nullptr) return fail(errorNotConnected);
    std::int64_t sent = open->send(data, byteCount(length));
    return sent < 0 ? fail(socketCode(open->error())) : static_cast<std::int32_t>(sent);
}

std::int32_t receiveSocket(Socket socket, char* buffer, std::int32_t length, std::int32_t) {
    host::TcpSocket* open = find(socket);
    if (open == nullptr) return fail(errorNotConnected);
    std::int64_t received = open->receive(buffer, byteCount(length), timeout());
    return received < 0 ? fail(socketCode(open->error())) : static_cast<std::int32_t>(received);
}

std::int32_t closeSocket(Socket socket) {
    if (network().sockets.erase(socket) == 0) return fail(errorNotConnected);
    return 0;
}

const HostEntry* hostByName(const char* name) {
    if (name == nullptr) return nullptr;
    sandbox::Network& net = network();
    std::vector<std::uint32_t> found;
    if (!net.hostNames) {
        found = host::resolveIPv4(name);
    } else if (auto it = net.hostNames->find(name); it != net.hostNames->end()) {
        found = it->second;
    }
    if (found.empty()) return nullptr;
    sandbox::Network::Lookup& lookup = net.lookup;
    lookup.name = name;
    lookup.addresses.assign(found.size(), {});
    lookup.list.clear();
    for (std::size_t i = 0; i < found.size(); ++i) {
        std::memcpy(lookup.addresses[i].data(), &found[i], 4);
        lookup.list.push_back(lookup.addresses[i].data());
    }
    lookup.list.push_back(nullptr);
    lookup.entry = HostEntry{lookup.name.c_str(), addressFamilyInet, 4, lookup.list.data()};
    return &lookup.entry;
}

std::uint32_t parseInetAddress(const char* text) {
    if (text == nullptr) return noAddress;
    std::uint32_t address = 0;
    const char* p = text;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && *p++ != '.') return noAddress;
        if (*p < '0' || *p > '9') return noAddress;
        std::uint32_t value = 0;
        for (int digits = 0; *p >= '0' && *p <= '9'; ++digits, ++p) {
            if (digits == 3) return noAddress;
            value = value * 10 + static_cast<std::uint32_t>(*p - '0');
        }
        if (value > 255) return noAddress;
        address |= value << (8 * part);  // little-endian: the first byte on the wire is the low one
    }
    return *p == 0 ? address : noAddress;
}

// The handheld, like the host, is little-endian.
std::uint16_t hostToNetworkShort(std::uint16_t value) {
    return static_cast<std::uint16_t>((value << 8) | (value >> 8));
}

}  // namespace platform
