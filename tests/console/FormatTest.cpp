#include <gtest/gtest.h>

#include <string>

#include "console/format.h"
#include "tests/support/SandboxTest.h"

namespace {

using console::format;

template <class... Args>
std::u16string formatted(console::FormatString<std::type_identity_t<Args>...> fmt, const Args&... args) {
    char16_t buffer[259];
    console::format<Args...>(buffer, std::size(buffer), fmt, args...);
    return buffer;
}

TEST(Format, IntegerConversions) {
    struct Case {
        std::u16string got;
        std::u16string want;
    };
    const Case cases[] = {
        {formatted(u"%d", -5), u"-5"},
        {formatted(u"%d", 0x80000000u), u"-2147483648"},
        {formatted(u"%u", 0xFFFFFFFFu), u"4294967295"},
        {formatted(u"%x", 0xC0DEu), u"c0de"},
        {formatted(u"%08x", 0x1234u), u"00001234"},
        {formatted(u"%02x", 7), u"07"},
        {formatted(u"%03x", 0x3FF), u"3ff"},
        {formatted(u"%#x", 255), u"0xff"},
        {formatted(u"%#x", 0), u"0"},
        {formatted(u"%4d|%-4d|", 42, 42), u"  42|42  |"},
        {formatted(u"%d%%", 50), u"50%"},
        {formatted(u"%x", std::int64_t{0x1FFFFFFFF}), u"ffffffff"},
    };
    for (const Case& c : cases) EXPECT_EQ(utf8(c.got), utf8(c.want));
}

TEST(Format, TextAndCharacterConversions) {
    const char16_t* wide = u"wide";
    const char* narrow = "narrow";
    EXPECT_EQ(utf8(formatted(u"[%s][%S][%c][%C]", wide, narrow, u'W', 'n')), "[wide][narrow][W][n]");
    EXPECT_EQ(utf8(formatted(u"%s", static_cast<const char16_t*>(nullptr))), "(null)");
    EXPECT_EQ(utf8(formatted(u"%S", "")), "");
}

class FormatCodePage : public SandboxTest {
protected:
    FormatCodePage() : SandboxTest("ws003sh") {}
};

TEST_F(FormatCodePage, NarrowTextIsReadInTheMachineCodePage) {
    // "ﾒﾓﾘ" in code page 932 is three single bytes; "カード" three double-byte pairs.
    const char bytes[] = "\xD2\xD3\xD8 \x83\x4A\x81\x5B\x83\x68";
    EXPECT_EQ(utf8(formatted(u"%S", static_cast<const char*>(bytes))), "ﾒﾓﾘ カード");
}

TEST_F(FormatCodePage, ARunOfRefusedLeadBytesLongerThanASliceLosesNothingAfterIt) {
    // 0x85 starts a pair that code page 932 does not assign; each such byte becomes "?".
    // The text is long enough to be converted in slices.
    std::string bytes(300, '\x85');
    bytes += "Ab";
    char16_t buffer[400];
    console::format(buffer, std::size(buffer), u"%S|", static_cast<const char*>(bytes.c_str()));
    EXPECT_EQ(utf8(buffer), std::string(300, '?') + "Ab|");
}

TEST(Format, LongMessagesAreCutAtTheBufferAndKeepTheirLineEnd) {
    std::u16string text(300, u'a');
    text += u"\n";
    char16_t buffer[259 + 8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    std::size_t n = console::format(buffer, 259, u"%s", text.c_str());
    EXPECT_EQ(n, 258u);
    EXPECT_EQ(buffer[257], u'\n');
    EXPECT_EQ(buffer[256], u'a');
    EXPECT_EQ(buffer[258], 0);
    for (std::size_t i = 259; i < std::size(buffer); ++i) EXPECT_EQ(buffer[i], u'#') << "written past the buffer";
}

TEST(Format, MessageOfExactly258CharactersIsWhole) {
    std::u16string text(257, u'b');
    text += u"\n";
    char16_t buffer[259];
    EXPECT_EQ(console::format(buffer, 259, u"%s", text.c_str()), 258u);
    EXPECT_EQ(std::u16string(buffer), text);
}

TEST(Format, CutWithoutLineEndStaysCut) {
    std::u16string text(400, u'c');
    char16_t buffer[16];
    EXPECT_EQ(console::format(buffer, 16, u"%s", text.c_str()), 15u);
    EXPECT_EQ(std::u16string(buffer), std::u16string(15, u'c'));
}

TEST(Format, RuntimeMismatchCopiesTheConversion) {
    // Only reachable without the compile-time check: a missing or wrong argument must
    // never be read as something else.
    console::FormatArg number{};
    number.kind = console::ArgKind::integer;
    number.integer = 7;
    char16_t buffer[64];
    console::formatInto(buffer, 64, u"%s and %d and %d", std::span(&number, 1));
    EXPECT_EQ(utf8(buffer), "%s and 7 and %d");
}

static_assert(console::formatMatches(u"%d %s", (const console::ArgKind[]){console::ArgKind::integer, console::ArgKind::wideText}, 2));
static_assert(!console::formatMatches(u"%s", (const console::ArgKind[]){console::ArgKind::narrowText}, 1));
static_assert(!console::formatMatches(u"%d %d", (const console::ArgKind[]){console::ArgKind::integer}, 1));
static_assert(!console::formatMatches(u"%d", (const console::ArgKind[]){console::ArgKind::integer, console::ArgKind::integer}, 2));

}  // namespace
