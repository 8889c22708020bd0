// The frame-buffer description handed to the kernel for one platform.
#pragma once

#include <cstdint>

#include "boot/PlatformTable.h"

class DisplayDescription {
public:
    /// Chooses the frame-buffer row for the platform and the display's current depth,
    /// or describes the display itself when no row matches.
    DisplayDescription(std::uint32_t cpuCode, std::uint32_t machineCode);
    virtual ~DisplayDescription() = default;

    std::uint32_t depth() const { return entry_->depth; }
    std::uint32_t width() const { return entry_->width; }
    std::uint32_t height() const { return entry_->height; }
    std::uint32_t lineBytes() const { return entry_->lineBytes; }
    std::uint32_t address() const { return entry_->address; }
    PlatformId platform() const { return platform_; }

private:
    PlatformId platform_;
    FramebufferEntry own_{};
    const FramebufferEntry* entry_ = &own_;
};

/// The kernel's frame-buffer type code for a description.
std::uint32_t framebufferType(const DisplayDescription& display, bool reverseVideo);
