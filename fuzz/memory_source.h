// A file source over bytes in memory.
#pragma once

#include <algorithm>
#include <cstring>

#include "file/FileManager.h"

/// Delivers at most `piece` bytes a read, as a network source may.
class MemorySource : public FileManager {
public:
    MemorySource(Console** console, const std::uint8_t* data, std::size_t size, std::uint32_t piece)
        : FileManager(console), data(data), bytes(size), piece(piece) {}

    bool setRoot(const char16_t*) override { return true; }
    bool open(const char16_t*, std::uint32_t) override {
        position = 0;
        return true;
    }
    std::uint32_t size() override { return static_cast<std::uint32_t>(bytes); }
    std::int32_t close() override { return 1; }
    std::int32_t read(void* buffer, std::uint32_t length, std::int32_t offset) override {
        if (offset != -1) seek(static_cast<std::uint32_t>(offset));
        std::size_t count = std::min<std::size_t>({length, piece, bytes - std::min(position, bytes)});
        if (count != 0) std::memcpy(buffer, data + position, count);
        position += count;
        return static_cast<std::int32_t>(count);
    }
    std::int32_t write(const void*, std::uint32_t, std::int32_t) override { return 0; }
    bool seek(std::uint32_t offset) override {
        position = offset;
        return true;
    }

private:
    const std::uint8_t* data;
    std::size_t bytes;
    std::uint32_t piece;
    std::size_t position = 0;
};
