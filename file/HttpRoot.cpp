#include "file/HttpRoot.h"

namespace {

bool isSeparator(char16_t c) { return c == u':' || c == u'/'; }

/// Takes the next token off `rest`; empty when none is left.
std::u16string_view takeToken(std::u16string_view& rest) {
    while (!rest.empty() && isSeparator(rest.front())) rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && !isSeparator(rest[end])) ++end;
    std::u16string_view token = rest.substr(0, end);
    rest.remove_prefix(end);
    return token;
}

/// The leading decimal digits of `token` (0 without any); false above 65535.
bool readPort(std::u16string_view token, std::uint32_t& port) {
    port = 0;
    for (char16_t c : token) {
        if (c < u'0' || c > u'9') break;
        port = port * 10 + static_cast<std::uint32_t>(c - u'0');
        if (port > 0xFFFF) return false;
    }
    return true;
}

}  // namespace

HttpRootProblem parseHttpRoot(std::u16string_view root, HttpRoot& parts) {
    parts = HttpRoot{};
    if (takeToken(root) != u"http") return HttpRootProblem::notHttp;
    parts.host = takeToken(root);
    if (parts.host.empty()) return HttpRootProblem::noHost;
    std::u16string_view port = takeToken(root);
    if (!port.empty() && !readPort(port, parts.port)) return HttpRootProblem::badPort;
    return HttpRootProblem::none;
}
