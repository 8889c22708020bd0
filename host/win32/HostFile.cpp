#include "host/HostFile.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace host {

namespace {

/// The errno value closest to a Win32 error of a file operation.
int errnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND: return ENOENT;
        case ERROR_PATH_NOT_FOUND: return ENOTDIR;
        case ERROR_ACCESS_DENIED: return EACCES;
        case ERROR_DISK_FULL: return ENOSPC;
        case ERROR_NOT_ENOUGH_MEMORY: return ENOMEM;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        default: return EIO;
    }
}

/// Chunks stay below what the C runtime's int counts can carry.
constexpr std::size_t chunk = 1u << 30;

}  // namespace

File File::open(const std::filesystem::path& path, Mode mode) {
    int flags = _O_BINARY | _O_NOINHERIT;
    switch (mode) {
        case Mode::readExisting: flags |= _O_RDONLY; break;
        case Mode::createAlways: flags |= _O_WRONLY | _O_CREAT | _O_TRUNC; break;
        case Mode::readWriteExisting: flags |= _O_RDWR; break;
    }
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return File(-1, EISDIR);
    int fd = ::_wopen(path.c_str(), flags, _S_IREAD | _S_IWRITE);
    return fd < 0 ? File(-1, errno) : File(fd, 0);
}

std::int64_t File::read(void* buffer, std::size_t length) {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        std::size_t want = length - done < chunk ? length - done : chunk;
        int n = ::_read(fd_.get(), out + done, static_cast<unsigned>(want));
        if (n < 0) {
            error_ = errno;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t File::readAt(std::uint64_t offset, void* buffer, std::size_t length) {
    // The C runtime has no positioned read: seek there and back.
    std::int64_t kept = ::_lseeki64(fd_.get(), 0, SEEK_CUR);
    if (kept < 0 || ::_lseeki64(fd_.get(), static_cast<std::int64_t>(offset), SEEK_SET) < 0) {
        error_ = errno;
        return -1;
    }
    std::int64_t n = read(buffer, length);
    ::_lseeki64(fd_.get(), kept, SEEK_SET);
    return n;
}

std::int64_t File::write(const void* buffer, std::size_t length) {
    const auto* in = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        std::size_t want = length - done < chunk ? length - done : chunk;
        int n = ::_write(fd_.get(), in + done, static_cast<unsigned>(want));
        if (n < 0) {
            error_ = errno;
            return done > 0 ? static_cast<std::int64_t>(done) : -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t File::seek(std::int64_t offset, int whence) {
    std::int64_t position = ::_lseeki64(fd_.get(), offset, whence);
    if (position < 0) {
        error_ = errno;
        return -1;
    }
    return position;
}

std::int64_t File::size() const {
    struct _stat64 info {};
    if (::_fstat64(fd_.get(), &info) != 0) return -1;
    return info.st_size;
}

bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to, int& error) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    error = errnoOf(GetLastError());
    return false;
}

bool removeFile(const std::filesystem::path& path, int& error) {
    if (DeleteFileW(path.c_str())) return true;
    error = errnoOf(GetLastError());
    return false;
}

}  // namespace host
