#include "host/posix/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace host {

namespace {

/// Both ends of a pipe, closed when destroyed.
struct Pipe {
    int ends[2] = {-1, -1};
    ~Pipe() {
        for (int fd : ends) {
            if (fd >= 0) close(fd);
        }
    }
    bool open() { return pipe2(ends, O_CLOEXEC) == 0; }
    void closeEnd(int which) {
        close(ends[which]);
        ends[which] = -1;
    }
};

/// Reads both pipes until they close or the time runs out; false on the timeout.
bool collect(int out, int err, std::chrono::steady_clock::time_point deadline, ProcessResult& result) {
    pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
    std::string* sinks[2] = {&result.output, &result.errorOutput};
    int open = 2;
    while (open > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
            char buffer[4096];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    return true;
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout) {
    ProcessResult result;
    Pipe out;
    Pipe err;
    if (arguments.empty() || !out.open() || !err.open()) {
        result.error = arguments.empty() ? "no program to run" : std::strerror(errno);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.ends[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err.ends[1], 2);
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.error = "can't run " + arguments[0] + ": " + std::strerror(spawned);
        return result;
    }
    result.started = true;
    out.closeEnd(1);
    err.closeEnd(1);
    bool finished = collect(out.ends[0], err.ends[0], std::chrono::steady_clock::now() + timeout, result);
    if (!finished) {
        kill(pid, SIGKILL);
        result.timedOut = true;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.timedOut && WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    return result;
}

std::optional<std::string> findProgram(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string list = path != nullptr ? path : "";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::filesystem::path candidate = std::filesystem::path(list.substr(start, end - start)) / program;
        if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate.string();
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace host
