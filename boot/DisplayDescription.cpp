#include "boot/DisplayDescription.h"

#include "platform/queries.h"

DisplayDescription::DisplayDescription(std::uint32_t cpuCode, std::uint32_t machineCode)
    : platform_{cpuCode, machineCode} {
    auto displayDepth = static_cast<std::uint32_t>(platform::displayCapability(platform::DisplayCapability::bitsPerPixel));
    const FramebufferEntry* remembered = nullptr;
    for (const FramebufferEntry* row = framebufferTable; row->pattern.cpuCode != 0; ++row) {
        if (!matchPlatform(platform_, row->pattern)) continue;
        if (row->depth == displayDepth) {
            entry_ = row;
            return;
        }
        remembered = row;
    }
    if (remembered != nullptr) {
        entry_ = remembered;
        return;
    }
    own_ = FramebufferEntry{platform_, displayDepth,
                            static_cast<std::uint32_t>(platform::displayCapability(platform::DisplayCapability::width)),
                            static_cast<std::uint32_t>(platform::displayCapability(platform::DisplayCapability::height)),
                            0, 0};
}

std::uint32_t framebufferType(const DisplayDescription& display, bool reverseVideo) {
    switch (display.depth()) {
        case 4: return reverseVideo ? 8 : 10;
        case 8: return reverseVideo ? 4 : 3;
        case 16: return reverseVideo ? 6 : 5;
        default: return reverseVideo ? 0 : 2;
    }
}
