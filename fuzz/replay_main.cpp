// Runs a fuzz target over every file of its seed corpus, and over derived inputs
// (prefixes of each seed, and seeds with single bytes flipped), so that the parser's
// bounds are exercised in ordinary test runs too.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void run(const std::vector<std::uint8_t>& bytes) {
    // A copy of exactly the input's size, so that reading past it is caught.
    std::vector<std::uint8_t> exact(bytes);
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
}

/// Derived inputs for the whole corpus: a corpus that campaigns have grown gets fewer
/// for each seed, so that its replay stays short.
constexpr std::size_t derivedBudget = 16384;

void replay(const std::vector<std::uint8_t>& seed, std::size_t seeds) {
    run(seed);
    std::size_t each = std::clamp<std::size_t>(derivedBudget / seeds / 2, 8, 512);
    std::size_t step = seed.size() > each ? seed.size() / each : 1;
    for (std::size_t n = 0; n < seed.size(); n += step) run({seed.begin(), seed.begin() + static_cast<long>(n)});
    for (std::size_t i = 0; i < seed.size(); i += step) {
        std::vector<std::uint8_t> flipped(seed);
        flipped[i] ^= 0xFF;
        run(flipped);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> files;
    for (int a = 1; a < argc; ++a) {
        std::filesystem::path root(argv[a]);
        if (std::filesystem::is_directory(root)) {
            for (const auto& entry : std::filesystem::directory_iterator(root)) files.push_back(entry.path());
        } else {
            files.push_back(root);
        }
    }
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        replay(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), files.size());
    }
    run({});
    std::printf("replayed %zu seeds\n", files.size());
    return files.empty() ? 1 : 0;
}
