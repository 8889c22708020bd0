// Fetches a 32 MiB file through HttpFileManager and through curl from the same nginx
// on loopback, and prints the ratio of the best times of each.
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "console/Console.h"
#include "file/HttpFileManager.h"
#include "host/CodePage.h"
#include "sandbox/Machine.h"
#include "tests/file/HttpServers.h"

extern char** environ;

namespace {

constexpr std::uint32_t fileBytes = 32u << 20;
constexpr int runs = 5;

class SilentConsole : public Console {
protected:
    void emit() override {}
};

double bestMilliseconds(const std::function<bool()>& fetch) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (!fetch()) return -1;
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

bool curlFetch(const std::string& url) {
    std::vector<std::string> arguments{"curl", "-s", "-f", "-o", "/dev/null", url};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main() {
    char pattern[] = "/tmp/tembrel-http-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    std::filesystem::path work(pattern);
    std::filesystem::create_directories(work / "www");
    {
        std::vector<char> bytes(fileBytes);
        for (std::uint32_t i = 0; i < fileBytes; ++i) bytes[i] = static_cast<char>(i * 2654435761u >> 24);
        std::ofstream(work / "www" / "big.bin", std::ios::binary).write(bytes.data(), fileBytes);
    }
    auto server = startNginxServer(work / "www", work);
    if (!server) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    std::string url = "http://127.0.0.1:" + std::to_string(server->port()) + "/";
    // A model with room for the file in one heap block.
    sandbox::resetMachine(*sandbox::findProfile("ws011sh"));
    SilentConsole silent;
    Console* console = &silent;
    HttpFileManager manager(&console);
    if (!manager.setRoot(host::fromUtf8(url).c_str())) return 1;
    std::vector<char> buffer(fileBytes);
    double ours = bestMilliseconds([&] {
        return manager.open(u"/big.bin", 3) &&
               manager.read(buffer.data(), fileBytes, 0) == static_cast<std::int32_t>(fileBytes);
    });
    double curl = bestMilliseconds([&] { return curlFetch(url + "big.bin"); });
    server.reset();
    std::filesystem::remove_all(work);
    if (ours < 0 || curl < 0) {
        std::fprintf(stderr, "a fetch failed\n");
        return 1;
    }
    std::printf("fetch of 32 MiB from nginx on loopback, best of %d\n", runs);
    std::printf("  HttpFileManager  %8.1f ms\n  curl             %8.1f ms\n  ratio            %8.2f\n", ours, curl,
                ours / curl);
    return 0;
}
