// Stage-like access to a 32 MiB gzip kernel on a storage card, against gzip -dc of
// the same file in the same run.
//
// The access is what a boot does: realSize as for a file-system image, then the
// loader's pattern on the kernel: the ELF header at 0, the section headers near the
// end, the program headers at 52, and the segments from the start in pages.
// Printed as ratios: bytes inflated, and wall time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/Console.h"
#include "file/GzipFileManager.h"
#include "sandbox/Machine.h"

namespace {

constexpr std::uint32_t kernelBytes = 32u << 20;
constexpr std::uint32_t sectionHeaderBytes = 40 * 30;
constexpr std::uint32_t pageBytes = 4096;
constexpr int rounds = 3;

/// Kernel-like bytes: instruction words drawn mostly from a small set, with
/// constants and noise, so that gzip packs them about as well as a real kernel.
std::vector<char> kernelContent() {
    std::vector<std::uint32_t> common(512);
    std::uint32_t state = 12345;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (std::uint32_t& word : common) word = 0xE0000000u | (next() >> 8);
    std::vector<char> out(kernelBytes);
    for (std::size_t i = 0; i < out.size(); i += 4) {
        std::uint32_t pick = next();
        std::uint32_t word = pick % 100 < 85 ? common[(pick >> 8) % common.size()] : pick % 100 < 95 ? (pick >> 24) : next();
        for (int b = 0; b < 4; ++b) out[i + b] = static_cast<char>(word >> (8 * b));
    }
    return out;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

/// The best of `rounds` wall times of `work`.
template <class Work>
double bestTime(Work work) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, seconds(std::chrono::steady_clock::now() - start));
    }
    return best;
}

bool readAt(GzipFileManager& file, std::vector<char>& buffer, std::uint32_t length, std::int32_t offset) {
    buffer.resize(length);
    return file.read(buffer.data(), length, offset) == static_cast<std::int32_t>(length);
}

/// One boot's access; the bytes the reader inflated for it, or 0 when it failed.
std::uint64_t stageLikeAccess(Console** console) {
    GzipFileManager file(console, 0);
    std::vector<char> buffer;
    if (!file.setRoot(u"\\Storage Card\\") || !file.open(u"korvel.gz", 3)) return 0;
    std::uint32_t size = file.realSize();
    bool ok = size == kernelBytes && readAt(file, buffer, 52, 0) &&
              readAt(file, buffer, sectionHeaderBytes, static_cast<std::int32_t>(size - sectionHeaderBytes)) &&
              readAt(file, buffer, 3 * 32, 52);
    for (std::uint32_t at = pageBytes; ok && at < size - sectionHeaderBytes; at += pageBytes) {
        std::uint32_t length = std::min(pageBytes, size - sectionHeaderBytes - at);
        ok = readAt(file, buffer, length, static_cast<std::int32_t>(at));
    }
    std::uint64_t inflated = file.decodedBytes();
    file.close();
    return ok ? inflated : 0;
}

}  // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tembrel-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return 1;
    std::filesystem::path root = pattern;
    std::filesystem::path card = root / "Storage Card";
    std::filesystem::create_directories(card);
    sandbox::Machine& machine = sandbox::machine();
    machine.storageRoot = root;
    machine.storageCards = {"Storage Card"};

    std::vector<char> kernel = kernelContent();
    std::ofstream(card / "korvel", std::ios::binary).write(kernel.data(), static_cast<std::streamsize>(kernel.size()));
    std::string quotedCard = "'" + card.string() + "'";
    if (std::system(("gzip -c " + quotedCard + "/korvel > " + quotedCard + "/korvel.gz").c_str()) != 0) return 1;
    std::uintmax_t packedBytes = std::filesystem::file_size(card / "korvel.gz");

    double gzipTime = bestTime([&] { (void)std::system(("gzip -dc < " + quotedCard + "/korvel.gz > /dev/null").c_str()); });
    Console* console = Console::instance();
    std::uint64_t inflated = 0;
    double accessTime = bestTime([&] { inflated = stageLikeAccess(&console); });
    std::filesystem::remove_all(root);
    if (inflated == 0) {
        std::printf("stage-like access failed\n");
        return 1;
    }

    std::printf("kernel: %u bytes, %ju bytes gzip-compressed\n", kernelBytes, packedBytes);
    std::printf("gzip -dc:          %8.3f s, %12u bytes inflated\n", gzipTime, kernelBytes);
    std::printf("stage-like access: %8.3f s, %12ju bytes inflated\n", accessTime, static_cast<std::uintmax_t>(inflated));
    std::printf("ratio, bytes inflated: %.2f\n", static_cast<double>(inflated) / kernelBytes);
    std::printf("ratio, wall time:      %.2f\n", accessTime / gzipTime);
    return 0;
}
