// Diagnostics of the block-device layer and the UFS reader. They go to the platform's
// debug output rather than the Console, because these layers sit below any FileManager.
#pragma once

#include <cstddef>

#include "console/format.h"
#include "platform/queries.h"

/// Formats a message (the Console's dialect) and writes it to the debug output when it
/// is not empty. Returns the length produced.
template <class... Args>
std::size_t debugPrint(console::FormatString<std::type_identity_t<Args>...> format, const Args&... args) {
    constexpr std::size_t capacity = 2048;
    char16_t buffer[capacity];
    std::size_t length = console::format<Args...>(buffer, capacity, format, args...);
    if (length > 0) platform::debugOutput(buffer);
    return length;
}
