// The boot core's wide text is char16_t; the Win32 API's is wchar_t, the same 16-bit
// units on Windows.
#pragma once

#include <cwchar>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

inline const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* wide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const char16_t* utf16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

/// The value of decimal text as the pages read their edits: leading blanks and a sign
/// allowed, 0 when the text is no number, clamped to the 32-bit range.
long readDecimal(const wchar_t* text);
