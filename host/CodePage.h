// Conversion between UTF-16 and the host's code pages.
#pragma once

#include <cstdint>
#include <string>

namespace host {

/// Converts `length` UTF-16 units to `codePage` (1252, 932, or 65001 for UTF-8).
/// With `capacity` 0 only measures. A character without a mapping becomes '?'.
/// Returns the bytes, or 0 when the output would not fit.
std::int32_t encode(std::uint32_t codePage, const char16_t* text, std::int32_t length, char* output,
                    std::int32_t capacity);

/// Converts `length` bytes in `codePage` to UTF-16. With `capacity` 0 only measures.
/// A byte without a mapping becomes '?'. Returns the units, or 0 on input that ends
/// inside a character, or when the output would not fit.
std::int32_t decode(std::uint32_t codePage, const char* text, std::int32_t length, char16_t* output,
                    std::int32_t capacity);

/// UTF-16 to UTF-8 and back, for host names.
std::string toUtf8(const std::u16string& text);
std::u16string fromUtf8(const std::string& text);

}  // namespace host
