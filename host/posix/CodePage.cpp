#include "host/CodePage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <mutex>
#include <vector>

namespace host {

namespace {

const char* iconvName(std::uint32_t codePage) {
    switch (codePage) {
        case 932: return "CP932";
        case 1252: return "CP1252";
        case 65001: return "UTF-8";
        default: return nullptr;
    }
}

/// Conversions share their descriptors, so one runs at a time.
std::mutex conversion;

/// The descriptor converting `from` to `to`, opened on first use and kept for the life
/// of the process: opening one costs far more than a short conversion, and messages
/// convert text all the time. Called with `conversion` held.
iconv_t descriptor(const char* to, const char* from) {
    struct Open {
        const char* to;
        const char* from;
        iconv_t cd;
    };
    // Never destroyed, so that a conversion during exit still finds it.
    static std::vector<Open>& opened = *new std::vector<Open>;
    for (const Open& entry : opened) {
        if (std::strcmp(entry.to, to) == 0 && std::strcmp(entry.from, from) == 0) return entry.cd;
    }
    iconv_t cd = ::iconv_open(to, from);
    if (cd != reinterpret_cast<iconv_t>(-1)) opened.push_back({to, from, cd});
    return cd;
}

/// Runs iconv over the whole input. A character without a mapping becomes the
/// replacement, as the handheld's conversion does; input that ends inside a character
/// fails. Returns the output bytes, or -1.
std::int64_t convert(const char* to, const char* from, const char* input, std::size_t inputBytes,
                     std::size_t unitBytes, const char* replacement, std::size_t replacementBytes,
                     std::vector<char>& output) {
    std::lock_guard<std::mutex> hold(conversion);
    iconv_t cd = descriptor(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return -1;
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    output.assign(inputBytes * 2 + 16, 0);
    char* in = const_cast<char*>(input);
    std::size_t inLeft = inputBytes;
    char* out = output.data();
    std::size_t outLeft = output.size();
    bool failed = false;
    while (inLeft > 0 && !failed) {
        if (::iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) break;
        if (errno != EILSEQ || outLeft < replacementBytes) {
            failed = true;
            break;
        }
        std::size_t skip = unitBytes < inLeft ? unitBytes : inLeft;
        in += skip;
        inLeft -= skip;
        for (std::size_t i = 0; i < replacementBytes; ++i) *out++ = replacement[i];
        outLeft -= replacementBytes;
    }
    if (!failed && ::iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) failed = true;
    if (failed) return -1;
    return static_cast<std::int64_t>(output.size() - outLeft);
}

template <class Out>
std::int32_t deliver(const std::vector<char>& bytes, std::int64_t count, Out* output, std::int32_t capacity) {
    std::int64_t units = count / static_cast<std::int64_t>(sizeof(Out));
    if (units <= 0 || units > INT32_MAX) return 0;
    if (capacity == 0) return static_cast<std::int32_t>(units);
    if (units > capacity || output == nullptr) return 0;
    for (std::int64_t i = 0; i < units; ++i) {
        Out unit{};
        for (std::size_t b = 0; b < sizeof(Out); ++b) {
            unit = static_cast<Out>(unit | (static_cast<Out>(static_cast<unsigned char>(bytes[i * sizeof(Out) + b])) << (8 * b)));
        }
        output[i] = unit;
    }
    return static_cast<std::int32_t>(units);
}

}  // namespace

std::int32_t encode(std::uint32_t codePage, const char16_t* text, std::int32_t length, char* output,
                    std::int32_t capacity) {
    const char* name = iconvName(codePage);
    if (name == nullptr || text == nullptr || length <= 0 || capacity < 0) return 0;
    std::vector<char> input(static_cast<std::size_t>(length) * 2);
    for (std::int32_t i = 0; i < length; ++i) {
        input[2 * i] = static_cast<char>(text[i] & 0xFF);
        input[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    std::vector<char> bytes;
    std::int64_t count = convert(name, "UTF-16LE", input.data(), input.size(), 2, "?", 1, bytes);
    return count < 0 ? 0 : deliver(bytes, count, output, capacity);
}

std::int32_t decode(std::uint32_t codePage, const char* text, std::int32_t length, char16_t* output,
                    std::int32_t capacity) {
    const char* name = iconvName(codePage);
    if (name == nullptr || text == nullptr || length <= 0 || capacity < 0) return 0;
    std::vector<char> bytes;
    std::int64_t count = convert("UTF-16LE", name, text, static_cast<std::size_t>(length), 1, "?\0", 2, bytes);
    return count < 0 ? 0 : deliver(bytes, count, output, capacity);
}

}  // namespace host
