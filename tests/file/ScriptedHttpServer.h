// A loopback HTTP server that answers each request as a test's script says, for the
// misbehaviour that real servers do not show.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

/// What the server does with one request.
struct ScriptedReply {
    /// Sent in order, each part in a send of its own after a short pause.
    std::vector<std::string> parts;
    /// Sends nothing and holds the connection open until the client or the server ends.
    bool silent = false;
    /// Ends the connection with a reset instead of an orderly close.
    bool reset = false;
};

/// "HTTP/1.0 <status>" and `fields` (each ending in CR LF), the blank line, then `body`.
std::string httpReply(std::string_view status, std::string_view fields, std::string_view body = {});

class ScriptedHttpServer {
public:
    using Script = std::function<ScriptedReply(const std::string& request)>;

    explicit ScriptedHttpServer(Script script);
    ~ScriptedHttpServer();
    ScriptedHttpServer(const ScriptedHttpServer&) = delete;
    ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

    std::uint16_t port() const { return port_; }
    /// Every request received so far, in order.
    std::vector<std::string> requests() const;
    /// The requests received so far that start with `method` and a space.
    int count(std::string_view method) const;

private:
    void serve();
    void answer(int connection);
    bool stopping() const { return stop_.load(); }

    Script script_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};
