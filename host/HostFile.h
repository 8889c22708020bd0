// Ordinary host files, for the sandbox's storage.
#pragma once

#include <cstdint>
#include <filesystem>

#include "host/Descriptor.h"

namespace host {

/// An open host file; closed when destroyed.
class File {
public:
    enum class Mode { readExisting, createAlways, readWriteExisting };

    File() = default;
    File(File&&) noexcept = default;
    File& operator=(File&&) noexcept = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    /// Opens `path`; check isOpen(). On failure `error()` holds the errno value.
    static File open(const std::filesystem::path& path, Mode mode);

    bool isOpen() const { return fd_.isOpen(); }
    /// Bytes read (short at the end of the file), or -1.
    std::int64_t read(void* buffer, std::size_t length);
    /// Bytes read at `offset` (short at the end of the file), or -1. The position is kept.
    std::int64_t readAt(std::uint64_t offset, void* buffer, std::size_t length);
    /// Bytes written, or -1.
    std::int64_t write(const void* buffer, std::size_t length);
    /// The new position, or -1. `whence` is SEEK_SET, SEEK_CUR or SEEK_END.
    std::int64_t seek(std::int64_t offset, int whence);
    /// The file's size, or -1.
    std::int64_t size() const;
    /// The errno value of the last failure.
    int error() const { return error_; }

private:
    explicit File(int fd, int error) : fd_(fd), error_(error) {}
    Descriptor fd_;
    int error_ = 0;
};

/// Renames `from` over `to` atomically; false with `error` set on failure.
bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to, int& error);
/// Removes a file; false with `error` set on failure.
bool removeFile(const std::filesystem::path& path, int& error);

}  // namespace host
