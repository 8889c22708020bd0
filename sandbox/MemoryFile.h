// A read-only file whose bytes the machine holds in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "sandbox/OpenObject.h"

namespace sandbox {

using FileBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

/// Reads and seeks over `bytes`, which it shares with the machine; writes are refused
/// as on a read-only file.
class MemoryFile : public OpenObject {
public:
    explicit MemoryFile(FileBytes bytes) : bytes_(std::move(bytes)) {}

    bool read(void* buffer, std::uint32_t length, std::uint32_t& transferred) override;
    bool write(const void* buffer, std::uint32_t length, std::uint32_t& transferred) override;
    std::uint32_t seek(std::int32_t distance, std::uint32_t method) override;
    std::uint32_t size() override;

private:
    FileBytes bytes_;
    std::uint64_t position_ = 0;
};

}  // namespace sandbox
