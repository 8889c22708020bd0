// Text role: conversion between wide (UTF-16) text and 8-bit text in the default code page.
#pragma once

#include <cstdint>

namespace platform {

/// The machine's default code page (1252 or 932).
std::uint32_t defaultCodePage();

/// Converts `length` wide units to 8-bit text. With `capacity` 0 only measures.
/// Returns the byte count (no terminator is added), or 0 on failure or when the
/// output would not fit.
std::int32_t wideToNarrow(const char16_t* text, std::int32_t length, char* output, std::int32_t capacity);

/// Converts `length` 8-bit bytes to wide text. With `capacity` 0 only measures.
/// Returns the unit count (no terminator is added), or 0 on failure or overflow.
std::int32_t narrowToWide(const char* text, std::int32_t length, char16_t* output, std::int32_t capacity);

}  // namespace platform
