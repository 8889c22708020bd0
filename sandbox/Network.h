// The simulated handheld's network: its socket library and the settings tests make.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/HostSocket.h"
#include "platform/sockets.h"

namespace sandbox {

struct Network {
    /// The version the socket library offers (major number in the low byte); 0 means
    /// the library is missing and its start-up fails.
    std::uint16_t libraryVersion = 0x0101;
    /// How long a connect or a receive waits before it gives up.
    std::uint32_t timeoutMilliseconds = 30000;
    /// Socket creation fails as when the library's sockets are used up.
    bool socketsExhausted = false;
    /// When set, the only names the name service knows (addresses in network byte
    /// order); unset, the host's resolver answers.
    std::optional<std::map<std::string, std::vector<std::uint32_t>>> hostNames;

    // Open sockets and the last socket error.
    std::map<platform::Socket, host::TcpSocket> sockets;
    platform::Socket nextSocket = 0x200;
    std::int32_t lastError = 0;

    /// What the last name lookup returned, and the storage its entry points into.
    struct Lookup {
        std::string name;
        std::vector<std::array<char, 4>> addresses;
        std::vector<const char*> list;
        platform::HostEntry entry{};
    } lookup;
};

}  // namespace sandbox
