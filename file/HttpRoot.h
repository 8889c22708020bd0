// The parts of an HTTP root such as "http://host:8080/".
#pragma once

#include <cstdint>
#include <string_view>

struct HttpRoot {
    std::u16string_view host;
    std::uint32_t port = 80;
};

enum class HttpRootProblem { none, notHttp, noHost, badPort };

/// Splits `root` into tokens at every ':' and '/' (runs count as one, leading ones are
/// skipped): "http", the host and, if present, a decimal port; further tokens are
/// ignored, so a path after the host is read as the port. A port token that starts
/// without digits reads as 0; one above 65535 is refused.
HttpRootProblem parseHttpRoot(std::u16string_view root, HttpRoot& parts);
