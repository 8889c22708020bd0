// UTF-8 for host names, through the host's own code-page conversion.
#include "host/CodePage.h"

namespace host {

std::string toUtf8(const std::u16string& text) {
    if (text.empty()) return {};
    auto length = static_cast<std::int32_t>(text.size());
    std::int32_t bytes = encode(65001, text.data(), length, nullptr, 0);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    if (bytes == 0 || encode(65001, text.data(), length, out.data(), bytes) != bytes) return {};
    return out;
}

std::u16string fromUtf8(const std::string& text) {
    if (text.empty()) return {};
    auto length = static_cast<std::int32_t>(text.size());
    std::int32_t units = decode(65001, text.data(), length, nullptr, 0);
    std::u16string out(static_cast<std::size_t>(units), u'\0');
    if (units == 0 || decode(65001, text.data(), length, out.data(), units) != units) return {};
    return out;
}

}  // namespace host
