#include "host/HostFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

File File::open(const std::filesystem::path& path, Mode mode) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::readExisting: flags |= O_RDONLY; break;
        case Mode::createAlways: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
        case Mode::readWriteExisting: flags |= O_RDWR; break;
    }
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) return File(-1, errno);
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return File(-1, EISDIR);
    }
    return File(fd, 0);
}

namespace {

/// Reads until `length` bytes, the end of the file or an error: `call(destination,
/// count, done)` is one read of the system. Returns the count, or -1 with `error` set.
template <class Call>
std::int64_t readFully(void* buffer, std::size_t length, int& error, Call call) {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = call(out + done, length - done, done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace

std::int64_t File::read(void* buffer, std::size_t length) {
    return readFully(buffer, length, error_,
                     [this](unsigned char* to, std::size_t count, std::size_t) { return ::read(fd_.get(), to, count); });
}

std::int64_t File::readAt(std::uint64_t offset, void* buffer, std::size_t length) {
    return readFully(buffer, length, error_, [this, offset](unsigned char* to, std::size_t count, std::size_t done) {
        return ::pread(fd_.get(), to, count, static_cast<off_t>(offset + done));
    });
}

std::int64_t File::write(const void* buffer, std::size_t length) {
    const auto* in = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::write(fd_.get(), in + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error_ = errno;
            return done > 0 ? static_cast<std::int64_t>(done) : -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t File::seek(std::int64_t offset, int whence) {
    off_t position = ::lseek(fd_.get(), static_cast<off_t>(offset), whence);
    if (position < 0) {
        error_ = errno;
        return -1;
    }
    return position;
}

std::int64_t File::size() const {
    struct stat info {};
    if (::fstat(fd_.get(), &info) != 0) return -1;
    return info.st_size;
}

bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to, int& error) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    error = errno;
    return false;
}

bool removeFile(const std::filesystem::path& path, int& error) {
    if (::unlink(path.c_str()) == 0) return true;
    error = errno;
    return false;
}

}  // namespace host
