#include "tests/file/HttpServers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

extern char** environ;

namespace {

sockaddr_in loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

pid_t spawn(const std::vector<std::string>& arguments, const std::filesystem::path& log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits until the server accepts on `port`; false when it quit or took too long.
bool awaitReady(pid_t pid, std::uint16_t port) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) return false;
        if (portAccepts(port)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

}  // namespace

ServerProcess::~ServerProcess() { stop(pid_); }

std::unique_ptr<ServerProcess> ServerProcess::start(const Command& command, const std::filesystem::path& log) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::uint16_t port = freeLoopbackPort();
        pid_t pid = spawn(command(port), log);
        if (pid < 0) return nullptr;
        if (awaitReady(pid, port)) return std::unique_ptr<ServerProcess>(new ServerProcess(pid, port));
        stop(pid);
    }
    return nullptr;
}

std::uint16_t freeLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

bool portAccepts(std::uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(port);
    bool accepted = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return accepted;
}

std::unique_ptr<ServerProcess> startPythonServer(const std::filesystem::path& root, const std::filesystem::path& work) {
    return ServerProcess::start(
        [&](std::uint16_t port) {
            return std::vector<std::string>{"python3", "-m", "http.server", "--bind", "127.0.0.1", "--directory",
                                            root.string(), std::to_string(port)};
        },
        work / "python.log");
}

std::unique_ptr<ServerProcess> startBusyboxServer(const std::filesystem::path& root, const std::filesystem::path& work) {
    return ServerProcess::start(
        [&](std::uint16_t port) {
            return std::vector<std::string>{"busybox", "httpd", "-f", "-p", "127.0.0.1:" + std::to_string(port), "-h",
                                            root.string()};
        },
        work / "busybox.log");
}

namespace {

void writeNginxConfig(const std::filesystem::path& file, const std::string& prefix, const std::filesystem::path& root,
                      std::uint16_t port) {
    std::ofstream config(file);
    config << "daemon off;\nmaster_process off;\npid " << prefix << "/nginx.pid;\n"
           << "error_log " << prefix << "/error.log;\nevents {}\nhttp {\n"
           << "    access_log off;\n"
           << "    client_body_temp_path " << prefix << "/body;\n"
           << "    proxy_temp_path " << prefix << "/proxy;\n"
           << "    fastcgi_temp_path " << prefix << "/fastcgi;\n"
           << "    uwsgi_temp_path " << prefix << "/uwsgi;\n"
           << "    scgi_temp_path " << prefix << "/scgi;\n"
           << "    default_type application/octet-stream;\n"
           // Only GET replies carry this line, so their header is the longer one.
           << "    map $request_method $getOnly { GET \"sent with GET replies only\"; default \"\"; }\n"
           << "    server {\n        listen 127.0.0.1:" << port << ";\n        root " << root.string() << ";\n"
           << "        add_header X-Get-Only $getOnly;\n    }\n}\n";
}

}  // namespace

std::unique_ptr<ServerProcess> startNginxServer(const std::filesystem::path& root, const std::filesystem::path& work) {
    std::filesystem::path prefix = work / "nginx";
    std::filesystem::create_directories(prefix);
    return ServerProcess::start(
        [&](std::uint16_t port) {
            std::filesystem::path config = prefix / "nginx.conf";
            writeNginxConfig(config, prefix.string(), root, port);
            return std::vector<std::string>{"nginx", "-p", prefix.string(), "-e", (prefix / "error.log").string(), "-c",
                                            config.string()};
        },
        work / "nginx.log");
}
