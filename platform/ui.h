// User-interface role as the boot core uses it: message boxes, window updates and
// string resources. The window itself (menu/) is platform code by nature.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// Message-box styles.
inline constexpr std::uint32_t boxOk = 0x00;
inline constexpr std::uint32_t boxYesNo = 0x04;
inline constexpr std::uint32_t boxIconStop = 0x10;
inline constexpr std::uint32_t boxIconQuestion = 0x20;
inline constexpr std::uint32_t boxIconExclamation = 0x30;
inline constexpr std::uint32_t boxIconInformation = 0x40;

// Message-box answers.
inline constexpr std::int32_t answerOk = 1;
inline constexpr std::int32_t answerYes = 6;
inline constexpr std::int32_t answerNo = 7;

/// Shows a modal message box and returns the button pressed.
std::int32_t messageBox(WindowHandle owner, const char16_t* text, const char16_t* caption,
                        std::uint32_t style);

/// Has the window repainted at once.
void updateWindow(WindowHandle window);

/// Copies string resource `id` into `buffer` (terminated, cut to `capacity`).
/// Returns the units copied, 0 when there is no such resource.
std::int32_t loadString(std::uint32_t id, char16_t* buffer, std::int32_t capacity);

}  // namespace platform
