#include "console/format.h"

#include <iterator>

#include "platform/text.h"

namespace console {

namespace {

/// Collects output into a bounded buffer, remembering what did not fit.
class Sink {
public:
    Sink(char16_t* buffer, std::size_t capacity) : buffer_(buffer), limit_(capacity - 1) {}

    void put(char16_t c) {
        if (used_ < limit_) {
            buffer_[used_++] = c;
        } else {
            cut_ = true;
        }
        last_ = c;
    }
    void put(const char16_t* text) {
        while (*text != 0) put(*text++);
    }
    void pad(char16_t c, int count) {
        for (int i = 0; i < count; ++i) put(c);
    }

    std::size_t finish() {
        if (cut_ && last_ == u'\n' && used_ > 0) buffer_[used_ - 1] = u'\n';
        buffer_[used_] = 0;
        return used_;
    }

private:
    char16_t* buffer_;
    std::size_t limit_;
    std::size_t used_ = 0;
    bool cut_ = false;
    char16_t last_ = 0;
};

struct Conversion {
    bool alternate = false;
    bool zeroPad = false;
    bool leftAlign = false;
    int width = 0;
    char16_t letter = 0;
};

/// Lays out one field: the width is filled with spaces (or zeros between prefix and
/// digits), to the left unless '-' was given.
void putField(Sink& out, const Conversion& conv, const char16_t* prefix, const char16_t* body, int bodyLength) {
    int prefixLength = 0;
    while (prefix[prefixLength] != 0) ++prefixLength;
    int fill = conv.width - prefixLength - bodyLength;
    if (fill < 0) fill = 0;
    if (!conv.leftAlign && !conv.zeroPad) out.pad(u' ', fill);
    out.put(prefix);
    if (!conv.leftAlign && conv.zeroPad) out.pad(u'0', fill);
    for (int i = 0; i < bodyLength; ++i) out.put(body[i]);
    if (conv.leftAlign) out.pad(u' ', fill);
}

void putInteger(Sink& out, const Conversion& conv, std::int64_t value) {
    // Arguments are 32-bit words on the device: keep the low 32 bits.
    std::uint32_t word = static_cast<std::uint32_t>(value);
    bool negative = false;
    std::uint32_t magnitude = word;
    unsigned base = 10;
    const char16_t* digits = u"0123456789abcdef";
    if (conv.letter == u'd' || conv.letter == u'i') {
        std::int32_t signedWord = static_cast<std::int32_t>(word);
        negative = signedWord < 0;
        magnitude = negative ? 0u - word : word;
    } else if (conv.letter == u'x' || conv.letter == u'X') {
        base = 16;
        if (conv.letter == u'X') digits = u"0123456789ABCDEF";
    }
    char16_t text[16];
    int length = 0;
    do {
        text[15 - length++] = digits[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    const char16_t* prefix = u"";
    if (negative) {
        prefix = u"-";
    } else if (conv.alternate && base == 16 && word != 0) {
        prefix = conv.letter == u'X' ? u"0X" : u"0x";
    }
    putField(out, conv, prefix, text + 16 - length, length);
}

void putWideText(Sink& out, const Conversion& conv, const char16_t* text) {
    if (text == nullptr) text = u"(null)";
    int length = 0;
    while (text[length] != 0) ++length;
    Conversion plain = conv;
    plain.zeroPad = false;
    putField(out, plain, u"", text, length);
}

void putNarrowText(Sink& out, const Conversion& conv, const char* text) {
    if (text == nullptr) {
        putWideText(out, conv, nullptr);
        return;
    }
    std::int32_t length = 0;
    while (text[length] != 0) ++length;
    // A text that fits the buffer converts in one call (a byte gives at most one unit);
    // a longer one is measured, then converted in slices so that it needs no large
    // buffer. A slice never ends inside a double-byte character because each is
    // measured as it converts.
    char16_t wide[260];
    std::int32_t done = 0;
    Conversion plain = conv;
    plain.zeroPad = false;
    if (length == 0) {
        putField(out, plain, u"", u"", 0);
        return;
    }
    bool whole = length < static_cast<std::int32_t>(std::size(wide));
    std::int32_t units = whole ? platform::narrowToWide(text, length, wide, static_cast<std::int32_t>(std::size(wide)))
                               : platform::narrowToWide(text, length, nullptr, 0);
    if (units <= 0) {
        putWideText(out, conv, u"?");
        return;
    }
    if (whole) {
        putField(out, plain, u"", wide, units);
        return;
    }
    int fill = conv.width > units ? conv.width - units : 0;
    if (!conv.leftAlign) out.pad(u' ', fill);
    while (done < length) {
        std::int32_t slice = length - done > 128 ? 128 : length - done;
        std::int32_t n = platform::narrowToWide(text + done, slice, wide, 260);
        while (n <= 0 && slice > 1) n = platform::narrowToWide(text + done, --slice, wide, 260);
        if (n <= 0) {
            // No prefix converts: the first byte is a lead byte whose pair the code page
            // refuses, and the next one is a lead byte too. Converting the whole text
            // replaces that byte alone, and so does this.
            out.put(u'?');
            done += 1;
            continue;
        }
        for (std::int32_t i = 0; i < n; ++i) out.put(wide[i]);
        done += slice;
    }
    if (conv.leftAlign) out.pad(u' ', fill);
}

void putArgument(Sink& out, const Conversion& conv, const FormatArg& arg) {
    switch (conv.letter) {
        case u's': putWideText(out, conv, arg.wide); break;
        case u'S': putNarrowText(out, conv, arg.narrow); break;
        case u'c': {
            char16_t c[1] = {static_cast<char16_t>(arg.integer)};
            putField(out, conv, u"", c, 1);
            break;
        }
        case u'C': {
            char narrow[2] = {static_cast<char>(arg.integer), 0};
            putNarrowText(out, conv, narrow);
            break;
        }
        default: putInteger(out, conv, arg.integer); break;
    }
}

/// Parses the conversion starting after '%'; returns the position after it.
const char16_t* parseConversion(const char16_t* p, Conversion& conv) {
    for (;; ++p) {
        if (*p == u'#') conv.alternate = true;
        else if (*p == u'0') conv.zeroPad = true;
        else if (*p == u'-') conv.leftAlign = true;
        else break;
    }
    while (isDigit(*p)) {
        if (conv.width < 1000) conv.width = conv.width * 10 + (*p - u'0');
        ++p;
    }
    while (*p == u'l' || *p == u'h') ++p;
    conv.letter = *p;
    return *p != 0 ? p + 1 : p;
}

bool argumentFits(const Conversion& conv, const FormatArg& arg) {
    ArgKind wanted{};
    if (!conversionKind(conv.letter, wanted)) return false;
    if (arg.kind == wanted) return true;
    return wanted == ArgKind::integer && (arg.kind == ArgKind::wideChar || arg.kind == ArgKind::narrowChar);
}

}  // namespace

std::size_t formatInto(char16_t* buffer, std::size_t capacity, const char16_t* format,
                       std::span<const FormatArg> args) {
    if (capacity == 0) return 0;
    Sink out(buffer, capacity);
    std::size_t next = 0;
    for (const char16_t* p = format; *p != 0;) {
        if (*p != u'%') {
            out.put(*p++);
            continue;
        }
        if (p[1] == u'%') {
            out.put(u'%');
            p += 2;
            continue;
        }
        const char16_t* start = p;
        Conversion conv;
        p = parseConversion(p + 1, conv);
        if (next < args.size() && argumentFits(conv, args[next])) {
            putArgument(out, conv, args[next++]);
        } else {
            while (start != p) out.put(*start++);
        }
    }
    return out.finish();
}

}  // namespace console
