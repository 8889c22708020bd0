#include "menu/WideText.h"

#include <cstdint>
#include <cwchar>

long readDecimal(const wchar_t* text) {
    long long value = std::wcstoll(text, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<long>(value);
}
