#include "tests/support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "host/HostDirectory.h"

TempFolder::TempFolder() {
    // A fresh name of its own: create_directory fails on one that already exists.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::filesystem::path candidate =
            std::filesystem::temp_directory_path() / ("tembrel-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("can't make a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::write(const std::string& relative, const std::string& bytes) const {
    std::filesystem::path file = path_ / host::utf8Path(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::read(const std::string& relative) const {
    std::ifstream in(path_ / host::utf8Path(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
