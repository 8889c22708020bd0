// HttpFileManager::setRoot: the root's host, the socket library and a test connection.
#include <cstring>
#include <string>

#include "console/Console.h"
#include "file/HttpConnection.h"
#include "file/HttpFileManager.h"
#include "file/HttpRoot.h"

namespace {
constexpr std::uint16_t socketVersion = 0x0101;  // 1.1
}  // namespace

bool HttpFileManager::setRoot(const char16_t* root) {
    HttpRoot parts;
    switch (parseHttpRoot(root, parts)) {
        case HttpRootProblem::notHttp: return false;
        case HttpRootProblem::noHost: (*console)->print(u"no host in \"%s\".\n", root); return false;
        case HttpRootProblem::badPort: (*console)->print(u"bad port in \"%s\".\n", root); return false;
        case HttpRootProblem::none: break;
    }
    if (!toNarrow(hostName, std::u16string(parts.host).c_str(), nameCapacity) || !startSockets()) return false;
    server.family = platform::addressFamilyInet;
    server.port = platform::hostToNetworkShort(static_cast<std::uint16_t>(parts.port));
    if (!connectToHost()) return false;
    (*console)->print(u"(%S) connected.\n", static_cast<const char*>(hostName));
    return true;
}

bool HttpFileManager::startSockets() {
    if (!started) {
        if (startup(socketVersion, &startupRecord) != 0) {
            (*console)->print(u"WinSock initialize failed.\n");
            return false;
        }
        started = true;
    }
    if (startupRecord.version != socketVersion) {
        (*console)->print(u"can't use WinSock DLL.\n");
        return false;
    }
    return true;
}

bool HttpFileManager::connectToHost() {
    bool noSocket = false;
    const platform::HostEntry* host = platform::hostByName(hostName);
    if (host != nullptr && host->addressType == platform::addressFamilyInet && host->addressLength == 4) {
        for (const char* const* entry = host->addresses; *entry != nullptr && !noSocket; ++entry) {
            std::uint32_t address;
            std::memcpy(&address, *entry, 4);
            if (tryAddress(address, noSocket)) return true;
        }
    } else {
        std::uint32_t address = platform::parseInetAddress(hostName);
        if (address == platform::noAddress) {
            (*console)->print(u"can't get host by name.\n");
            return false;
        }
        if (tryAddress(address, noSocket)) return true;
    }
    if (!noSocket) (*console)->print(u"can't connect server.\n");
    return false;
}

// Each address gets a socket of its own: a socket whose connect failed is not
// reliably usable for another.
bool HttpFileManager::tryAddress(std::uint32_t address, bool& noSocket) {
    server.address = address;
    HttpConnection connection(server, console, debugLevel);
    if (!connection.opened()) {
        (*console)->print(u"can't open socket. cause=%d\n", platform::socketLastError());
        noSocket = true;
        return false;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address);
    (*console)->print(u"%d.%d.%d.%d ", bytes[0], bytes[1], bytes[2], bytes[3]);
    return connection.connect();
}
