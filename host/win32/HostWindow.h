// The host's real message boxes and window updates, for the window program.
#pragma once

#include <cstdint>

namespace host {

/// Shows a modal message box owned by `owner`; returns the button pressed.
std::int32_t showMessageBox(void* owner, const char16_t* text, const char16_t* caption, std::uint32_t style);

}  // namespace host
