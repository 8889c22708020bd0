#include "sandbox/StringResources.h"

namespace sandbox {

namespace {

struct StringResource {
    std::uint32_t id;
    const char16_t* text;
};

#define TEMBREL_STRING(id, text) {id, u"" text},
constexpr StringResource strings[] = {
#include "sandbox/StringTable.inc"
};
#undef TEMBREL_STRING

}  // namespace

const char16_t* stringResource(std::uint32_t id) {
    for (const StringResource& s : strings) {
        if (s.id == id) return s.text;
    }
    return nullptr;
}

}  // namespace sandbox
