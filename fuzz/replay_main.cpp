// Runs a fuzz target over every file of its seed corpus, and over derived inputs
// (every prefix of each seed, and seeds with single bytes flipped), so that the
// parser's bounds are exercised in ordinary test runs too.
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

void replay(const std::vector<std::uint8_t>& seed) {
    run(seed);
    std::size_t step = seed.size() > 512 ? seed.size() / 512 : 1;
    for (std::size_t n = 0; n < seed.size(); n += step) run({seed.begin(), seed.begin() + static_cast<long>(n)});
    for (std::size_t i = 0; i < seed.size(); i += step) {
        std::vector<std::uint8_t> flipped(seed);
        flipped[i] ^= 0xFF;
        run(flipped);
    }
}

}  // namespace

int main(int argc, char** argv) {
    int seeds = 0;
    for (int a = 1; a < argc; ++a) {
        std::filesystem::path root(argv[a]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(root)) {
            for (const auto& entry : std::filesystem::directory_iterator(root)) files.push_back(entry.path());
        } else {
            files.push_back(root);
        }
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            replay(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
            ++seeds;
        }
    }
    run({});
    std::printf("replayed %d seeds\n", seeds);
    return seeds > 0 ? 0 : 1;
}
