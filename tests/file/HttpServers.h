// Real HTTP servers run for a test on a free loopback port, and stopped by it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

/// A server program; stopped (and waited for) when destroyed.
class ServerProcess {
public:
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    std::uint16_t port() const { return port_; }

    /// The program and its arguments for a server on `port`.
    using Command = std::function<std::vector<std::string>(std::uint16_t port)>;

    /// Runs `command` for a free port until the port accepts connections; retries on
    /// another port when the program quits first. Null when it cannot be started.
    /// Its output goes to `log`.
    static std::unique_ptr<ServerProcess> start(const Command& command, const std::filesystem::path& log);

private:
    ServerProcess(pid_t pid, std::uint16_t port) : pid_(pid), port_(port) {}
    pid_t pid_;
    std::uint16_t port_;
};

/// A loopback port that nothing listens on just now.
std::uint16_t freeLoopbackPort();
/// True when something accepts connections on 127.0.0.1:`port`.
bool portAccepts(std::uint16_t port);

/// python3's http.server (HTTP/1.0) serving `root`.
std::unique_ptr<ServerProcess> startPythonServer(const std::filesystem::path& root, const std::filesystem::path& work);
/// busybox httpd serving `root`.
std::unique_ptr<ServerProcess> startBusyboxServer(const std::filesystem::path& root, const std::filesystem::path& work);
/// nginx serving `root`, whose GET replies carry one header line more than its HEAD
/// replies. `work` holds its configuration and logs.
std::unique_ptr<ServerProcess> startNginxServer(const std::filesystem::path& root, const std::filesystem::path& work);
