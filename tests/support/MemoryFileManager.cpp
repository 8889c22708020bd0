#include "tests/support/MemoryFileManager.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

MemoryFileManager::MemoryFileManager(Console** console, std::vector<std::uint8_t> bytes)
    : FileManager(console), bytes(std::move(bytes)) {}

bool MemoryFileManager::open(const char16_t*, std::uint32_t) {
    ++opens;
    position = 0;
    return true;
}

std::int32_t MemoryFileManager::close() {
    ++closes;
    return 1;
}

bool MemoryFileManager::seek(std::uint32_t offset) {
    position = offset;
    return true;
}

std::int32_t MemoryFileManager::read(void* buffer, std::uint32_t length, std::int32_t offset) {
    if (offset != -1) position = static_cast<std::uint32_t>(offset);
    std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{position} + length, bytes.size());
    if (failAt) {
        if (position >= *failAt) return -1;
        end = std::min<std::uint64_t>(end, *failAt);
    }
    std::uint32_t count = end > position ? static_cast<std::uint32_t>(end - position) : 0;
    if (count != 0) std::memcpy(buffer, bytes.data() + position, count);
    position += count;
    return static_cast<std::int32_t>(count);
}

std::vector<std::uint8_t> readHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
