#include "tests/file/ScriptedHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace {

// Waits up to `ms` for `fd` to become readable; false on time-out or while stopping.
bool readable(int fd, int ms) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, ms) > 0;
}

void sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

}  // namespace

std::string httpReply(std::string_view status, std::string_view fields, std::string_view body) {
    std::string reply = "HTTP/1.0 ";
    reply.append(status).append("\r\n").append(fields).append("\r\n").append(body);
    return reply;
}

ScriptedHttpServer::ScriptedHttpServer(Script script) : script_(std::move(script)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        throw std::runtime_error("scripted server cannot listen");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

std::vector<std::string> ScriptedHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int ScriptedHttpServer::count(std::string_view method) const {
    int found = 0;
    for (const std::string& request : requests()) found += request.starts_with(std::string(method) + " ") ? 1 : 0;
    return found;
}

void ScriptedHttpServer::serve() {
    while (!stopping()) {
        if (!readable(listener_, 20)) continue;
        int connection = ::accept(listener_, nullptr, nullptr);
        if (connection < 0) continue;
        answer(connection);
        ::close(connection);
    }
}

void ScriptedHttpServer::answer(int connection) {
    std::string request;
    char buffer[1024];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (request.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < deadline && !stopping()) {
        if (!readable(connection, 20)) continue;
        ssize_t received = ::recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0) break;
        request.append(buffer, static_cast<std::size_t>(received));
    }
    // A connection that sends nothing is a client proving that it can connect.
    if (request.empty()) return;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    ScriptedReply reply = script_(request);
    for (const std::string& part : reply.parts) {
        sendAll(connection, part);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Holds the connection until the client gives up (its read sees the close).
    while (reply.silent && !stopping()) {
        if (readable(connection, 20) && ::recv(connection, buffer, sizeof buffer, 0) <= 0) break;
    }
    if (reply.reset) {
        linger abort{1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
}
