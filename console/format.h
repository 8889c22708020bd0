// The console's formatting dialect, written once and type-checked at compile time.
//
// "%s" takes wide text, "%S" 8-bit text in the default code page, "%c" a wide
// character, "%C" an 8-bit character; "%d", "%u", "%x" take integers, read as 32-bit
// words; the flags '#', '0' and '-' and a width are accepted ("%08x", "%#x", "%-4d").
// "%%" prints a percent sign.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace console {

enum class ArgKind : std::uint8_t { integer, wideText, narrowText, wideChar, narrowChar };

/// One argument of a formatted message, as the formatter sees it.
struct FormatArg {
    ArgKind kind;
    union {
        std::int64_t integer;
        const char16_t* wide;
        const char* narrow;
    };
};

template <class T>
inline constexpr bool isWideText = std::is_convertible_v<T, const char16_t*>;
template <class T>
inline constexpr bool isNarrowText = std::is_convertible_v<T, const char*>;

/// The kind an argument type is formatted as; char16_t and char are characters,
/// every other integer (and enum) is an integer.
template <class T>
consteval ArgKind kindOf() {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<U, char16_t>) {
        return ArgKind::wideChar;
    } else if constexpr (std::is_same_v<U, char>) {
        return ArgKind::narrowChar;
    } else if constexpr (isWideText<T>) {
        return ArgKind::wideText;
    } else if constexpr (isNarrowText<T>) {
        return ArgKind::narrowText;
    } else {
        static_assert(std::is_integral_v<U> || std::is_enum_v<U>, "console arguments are text, characters or integers");
        return ArgKind::integer;
    }
}

template <class T>
FormatArg makeArg(const T& value) {
    FormatArg arg{};
    arg.kind = kindOf<T>();
    if constexpr (kindOf<T>() == ArgKind::wideText) {
        arg.wide = value;
    } else if constexpr (kindOf<T>() == ArgKind::narrowText) {
        arg.narrow = value;
    } else {
        arg.integer = static_cast<std::int64_t>(value);
    }
    return arg;
}

/// The kind a conversion character asks for; false for an unknown conversion.
constexpr bool conversionKind(char16_t conversion, ArgKind& kind) {
    switch (conversion) {
        case u'd': case u'i': case u'u': case u'x': case u'X': kind = ArgKind::integer; return true;
        case u's': kind = ArgKind::wideText; return true;
        case u'S': kind = ArgKind::narrowText; return true;
        case u'c': kind = ArgKind::wideChar; return true;
        case u'C': kind = ArgKind::narrowChar; return true;
        default: return false;
    }
}

constexpr bool isFlag(char16_t c) { return c == u'#' || c == u'0' || c == u'-' || c == u'l' || c == u'h'; }
constexpr bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

/// True when `format` consumes exactly `count` arguments of the given kinds.
constexpr bool formatMatches(const char16_t* format, const ArgKind* kinds, std::size_t count) {
    std::size_t used = 0;
    for (const char16_t* p = format; *p != 0; ++p) {
        if (*p != u'%') continue;
        ++p;
        if (*p == u'%') continue;
        while (isFlag(*p) || isDigit(*p)) ++p;
        ArgKind wanted{};
        if (!conversionKind(*p, wanted)) return false;
        if (used >= count) return false;
        ArgKind given = kinds[used++];
        // A character argument also serves an integer conversion ("%x" of a byte).
        bool compatible = given == wanted ||
                          (wanted == ArgKind::integer && (given == ArgKind::wideChar || given == ArgKind::narrowChar));
        if (!compatible) return false;
    }
    return used == count;
}

/// Reached only when a format string does not fit its arguments; calling a
/// non-constexpr function from a consteval constructor makes that a compile error.
void formatDoesNotMatchArguments();

/// A format string literal checked against the argument types at compile time.
template <class... Args>
class FormatString {
public:
    template <std::size_t N>
    consteval FormatString(const char16_t (&text)[N]) : text_(text) {
        constexpr ArgKind kinds[sizeof...(Args) + 1] = {kindOf<Args>()..., ArgKind::integer};
        if (!formatMatches(text, kinds, sizeof...(Args))) formatDoesNotMatchArguments();
    }
    constexpr const char16_t* text() const { return text_; }

private:
    const char16_t* text_;
};

/// Formats into `buffer` of `capacity` units (terminator included); never writes past
/// it. A message that does not fit is cut, and keeps its final line feed so that the
/// next message starts on a new line. A conversion whose argument is missing or of the
/// wrong kind is copied as it stands. Returns the units written, without the terminator.
std::size_t formatInto(char16_t* buffer, std::size_t capacity, const char16_t* format,
                       std::span<const FormatArg> args);

/// Type-checked front end of formatInto.
template <class... Args>
std::size_t format(char16_t* buffer, std::size_t capacity, FormatString<std::type_identity_t<Args>...> fmt,
                   const Args&... args) {
    const FormatArg list[sizeof...(Args) + 1] = {makeArg(args)..., FormatArg{}};
    return formatInto(buffer, capacity, fmt.text(), std::span<const FormatArg>(list, sizeof...(Args)));
}

}  // namespace console
