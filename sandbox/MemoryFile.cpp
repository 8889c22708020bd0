#include "sandbox/MemoryFile.h"

#include <cstring>

#include "platform/files.h"
#include "sandbox/Machine.h"

namespace sandbox {

bool MemoryFile::read(void* buffer, std::uint32_t length, std::uint32_t& transferred) {
    std::uint64_t available = position_ < bytes_->size() ? bytes_->size() - position_ : 0;
    transferred = static_cast<std::uint32_t>(length < available ? length : available);
    if (transferred != 0) std::memcpy(buffer, bytes_->data() + position_, transferred);
    position_ += transferred;
    return true;
}

bool MemoryFile::write(const void*, std::uint32_t, std::uint32_t& transferred) {
    transferred = 0;
    machine().lastError = platform::errorAccessDenied;
    return false;
}

std::uint32_t MemoryFile::seek(std::int32_t distance, std::uint32_t method) {
    std::int64_t base = method == platform::fromCurrent ? static_cast<std::int64_t>(position_)
                        : method == platform::fromEnd   ? static_cast<std::int64_t>(bytes_->size())
                                                        : 0;
    std::int64_t target = base + distance;
    // As on the host: before the start is refused, past the end is allowed.
    if (target < 0 || target >= platform::invalidFileSize) {
        machine().lastError = platform::errorAccessDenied;
        return platform::invalidFileSize;
    }
    position_ = static_cast<std::uint64_t>(target);
    return static_cast<std::uint32_t>(target);
}

std::uint32_t MemoryFile::size() { return static_cast<std::uint32_t>(bytes_->size()); }

}  // namespace sandbox
