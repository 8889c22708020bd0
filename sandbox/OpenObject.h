// Something a platform handle refers to: a host file, a device model, a search.
#pragma once

#include <cstdint>

namespace sandbox {

class OpenObject {
public:
    virtual ~OpenObject() = default;
    /// Reads up to `length` bytes; false with the machine's last error set on failure.
    virtual bool read(void* buffer, std::uint32_t length, std::uint32_t& transferred);
    virtual bool write(const void* buffer, std::uint32_t length, std::uint32_t& transferred);
    /// The new position, or 0xFFFFFFFF.
    virtual std::uint32_t seek(std::int32_t distance, std::uint32_t method);
    /// The size, or 0xFFFFFFFF.
    virtual std::uint32_t size();
    /// Answers a device I/O control request; objects that are not devices refuse it.
    virtual bool ioControl(std::uint32_t code, void* input, std::uint32_t inputSize, void* output,
                           std::uint32_t outputSize, std::uint32_t& returned);
};

}  // namespace sandbox
