// The program's string resources as the sandbox serves them.
#pragma once

#include <cstdint>

namespace sandbox {

/// The text of string resource `id`, or null.
const char16_t* stringResource(std::uint32_t id);

}  // namespace sandbox
