// A FileManager over bytes held in memory, for tests of the parts that read files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "file/FileManager.h"

class MemoryFileManager : public FileManager {
public:
    explicit MemoryFileManager(Console** console, std::vector<std::uint8_t> bytes = {});

    bool setRoot(const char16_t*) override { return true; }
    bool open(const char16_t*, std::uint32_t) override;
    std::uint32_t size() override { return static_cast<std::uint32_t>(bytes.size()); }
    std::uint32_t realSize() override { return reportedRealSize.value_or(size()); }
    std::int32_t close() override;
    /// Reads from `offset` (-1: the position), stopping at the end or at `failAt`.
    std::int32_t read(void* buffer, std::uint32_t length, std::int32_t offset) override;
    std::int32_t write(const void*, std::uint32_t, std::int32_t) override { return -1; }
    bool seek(std::uint32_t offset) override;

    std::vector<std::uint8_t> bytes;
    /// Reads that reach this offset return what lies before it, and later reads -1,
    /// as a decompressor does on a damaged stream.
    std::optional<std::uint32_t> failAt;
    /// What realSize answers instead of the byte count.
    std::optional<std::uint32_t> reportedRealSize;
    int opens = 0;
    int closes = 0;

private:
    std::uint32_t position = 0;
};

/// The bytes of a host file; empty when it cannot be read.
std::vector<std::uint8_t> readHostFile(const std::string& path);
