// Reads a 32 MiB file through UfsFileManager (card image, MBR, disk label, UFS) and the
// same bytes straight from the host file, in the 64 KiB pieces a loader asks for, and
// prints the ratio of the two times. Both runs are the best of five.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "console/Console.h"
#include "file/UfsFileManager.h"
#include "host/HostFile.h"
#include "sandbox/BlockDevice.h"
#include "sandbox/Machine.h"
#include "tests/file/DiskImages.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr std::uint32_t fileBytes = 32u << 20;
constexpr std::uint32_t pieceBytes = 64u << 10;

class QuietConsole : public Console {
protected:
    void emit() override {}
};

/// The best time of five runs of `read`, in milliseconds; `read` returns a checksum.
double bestOfFive(const std::function<std::uint64_t()>& read, std::uint64_t& checksum) {
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        auto start = std::chrono::steady_clock::now();
        checksum = read();
        std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

std::uint64_t sum(const std::vector<char>& piece, std::size_t length, std::uint64_t total) {
    for (std::size_t i = 0; i < length; i += 64) total = total * 31 + static_cast<unsigned char>(piece[i]);
    return total;
}

std::uint64_t readThroughUfs(UfsFileManager& manager) {
    sandbox::machine().debugLog.clear();
    std::vector<char> piece(pieceBytes);
    std::uint64_t total = 0;
    if (!manager.open(u"/big", 3)) return 0;
    for (std::uint32_t at = 0; at < fileBytes; at += pieceBytes) {
        std::int32_t got = manager.read(piece.data(), pieceBytes, static_cast<std::int32_t>(at));
        total = sum(piece, got > 0 ? static_cast<std::size_t>(got) : 0, total);
    }
    manager.close();
    return total;
}

std::uint64_t readFromHost(const std::filesystem::path& path) {
    std::vector<char> piece(pieceBytes);
    std::uint64_t total = 0;
    host::File file = host::File::open(path, host::File::Mode::readExisting);
    for (std::uint32_t at = 0; at < fileBytes; at += pieceBytes) {
        file.seek(at, SEEK_SET);
        std::int64_t got = file.read(piece.data(), pieceBytes);
        total = sum(piece, got > 0 ? static_cast<std::size_t>(got) : 0, total);
    }
    return total;
}

}  // namespace

int main() {
    TempFolder folder;
    std::filesystem::path tree = folder.path() / "tree";
    writeFile(tree / "big", patternBytes(fileBytes, 32));
    makeUfs(tree, folder.path() / "fs.img");
    makeLabelledCard(folder.path() / "card.img", folder.path() / "fs.img");

    sandbox::resetMachine(sandbox::machineProfiles().front());
    sandbox::attachDisk(1, folder.path() / "card.img");
    QuietConsole quiet;
    Console* console = &quiet;
    UfsFileManager manager(&console);
    if (!manager.setRoot(u"/")) {
        std::fprintf(stderr, "ufs_read_bench: the card did not open\n");
        return 1;
    }
    std::uint64_t ufsSum = 0;
    std::uint64_t hostSum = 0;
    double ufs = bestOfFive([&] { return readThroughUfs(manager); }, ufsSum);
    double plain = bestOfFive([&] { return readFromHost(tree / "big"); }, hostSum);
    if (ufsSum != hostSum) {
        std::fprintf(stderr, "ufs_read_bench: the bytes differ\n");
        return 1;
    }
    std::printf("32 MiB in 64 KiB reads: UfsFileManager %.1f ms, host file %.1f ms, ratio %.2f\n", ufs, plain,
                ufs / plain);
    return 0;
}
