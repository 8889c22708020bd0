// The text role: conversion in the machine's code page.
#include "host/CodePage.h"
#include "platform/text.h"
#include "sandbox/Machine.h"

namespace platform {

std::uint32_t defaultCodePage() { return sandbox::machine().profile.codePage; }

std::int32_t wideToNarrow(const char16_t* text, std::int32_t length, char* output, std::int32_t capacity) {
    return host::encode(defaultCodePage(), text, length, output, capacity);
}

std::int32_t narrowToWide(const char* text, std::int32_t length, char16_t* output, std::int32_t capacity) {
    return host::decode(defaultCodePage(), text, length, output, capacity);
}

}  // namespace platform
