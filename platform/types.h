// Values every platform role shares: handles and window references.
#pragma once

#include <cstdint>

namespace platform {

/// An open file, device or enumeration; `invalidHandle` when an open failed.
using Handle = std::intptr_t;
inline constexpr Handle invalidHandle = -1;

/// A window that owns message boxes; null means "no owner".
using WindowHandle = void*;

}  // namespace platform
