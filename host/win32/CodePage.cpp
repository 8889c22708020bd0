#include "host/CodePage.h"

#include <windows.h>

#include <vector>

namespace host {

namespace {

bool known(std::uint32_t codePage) { return codePage == 932 || codePage == 1252 || codePage == 65001; }

/// What a conversion gives: the count when it fits, 0 otherwise.
std::int32_t deliver(std::int32_t count, std::int32_t capacity) {
    if (count <= 0) return 0;
    return capacity == 0 || count <= capacity ? count : 0;
}

}  // namespace

std::int32_t encode(std::uint32_t codePage, const char16_t* text, std::int32_t length, char* output,
                    std::int32_t capacity) {
    if (!known(codePage) || text == nullptr || length <= 0 || capacity < 0) return 0;
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    // UTF-8 takes no replacement character; it encodes everything but lone surrogates.
    const char* replacement = codePage == 65001 ? nullptr : "?";
    int count = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, replacement, nullptr);
    if (capacity == 0 || deliver(count, capacity) == 0 || output == nullptr) return deliver(count, capacity);
    return WideCharToMultiByte(codePage, 0, wide, length, output, capacity, replacement, nullptr);
}

std::int32_t decode(std::uint32_t codePage, const char* text, std::int32_t length, char16_t* output,
                    std::int32_t capacity) {
    if (!known(codePage) || text == nullptr || length <= 0 || capacity < 0) return 0;
    // Input that ends inside a character fails, as on the handheld.
    if (codePage != 1252 && MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, length, nullptr, 0) == 0 &&
        IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[length - 1]))) {
        return 0;
    }
    int count = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (capacity == 0 || deliver(count, capacity) == 0 || output == nullptr) return deliver(count, capacity);
    return MultiByteToWideChar(codePage, 0, text, length, reinterpret_cast<wchar_t*>(output), capacity);
}

}  // namespace host
