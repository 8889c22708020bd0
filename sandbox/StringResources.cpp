#include "sandbox/StringResources.h"

namespace sandbox {

namespace {

struct StringResource {
    std::uint32_t id;
    const char16_t* text;
};

// The window class name and the kernel-directory choices. Entries 10018 to 10022 and
// 10026 are half-width katakana, 10028 full-width: the Japanese words for memory card.
constexpr StringResource strings[] = {
    {10002, u"TEMBREL"},
    {10004, u"/"},
    {10006, u"2:/"},
    {10008, u"\\"},
    {10010, u"\\My Documents\\"},
    {10012, u"\\Storage Card\\"},
    {10014, u"\\Storage Card1\\"},
    {10016, u"\\Storage Card2\\"},
    {10018, u"\\\uFF92\uFF93\uFF98 \uFF76\uFF70\uFF84\uFF9E\\"},
    {10020, u"\\\uFF92\uFF93\uFF98 \uFF76\uFF70\uFF84\uFF9E" u"1\\"},
    {10022, u"\\\uFF92\uFF93\uFF98 \uFF76\uFF70\uFF84\uFF9E" u"2\\"},
    {10024, u"\\Multimedia Card\\"},
    {10026, u"\\miniSD\uFF76\uFF70\uFF84\uFF9E\\"},
    {10028, u"\\microSD\u30AB\u30FC\u30C9\\"},
    {10030, u"user defined"},
};

}  // namespace

const char16_t* stringResource(std::uint32_t id) {
    for (const StringResource& s : strings) {
        if (s.id == id) return s.text;
    }
    return nullptr;
}

}  // namespace sandbox
