#include "file/HttpReply.h"

#include <algorithm>
#include <string_view>

#include "console/Console.h"

namespace {

constexpr std::string_view contentLengthName = "content-length";

bool isSeparator(char c) { return c == ' ' || c == ':' || c == '\r' || c == '\n' || c == '\t'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view text, std::string_view lowerCase) {
    return text.size() == lowerCase.size() &&
           std::equal(text.begin(), text.end(), lowerCase.begin(), [](char a, char b) { return lower(a) == b; });
}

/// Takes the next line off `rest`, without its LF or CR LF.
std::string_view takeLine(std::string_view& rest) {
    std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

/// Copies `text` into `destination` of `capacity` bytes, terminated, with every
/// control byte shown as '?', so that it prints as one plain line.
void copyPrintable(char* destination, std::size_t capacity, std::string_view text) {
    std::size_t count = std::min(text.size(), capacity - 1);
    for (std::size_t i = 0; i < count; ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        destination[i] = byte < 0x20 || byte == 0x7F ? '?' : text[i];
    }
    destination[count] = 0;
}

/// A decimal number of digits only that fits 32 bits.
bool readDecimal(std::string_view text, std::uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t total = 0;
    for (char c : text) {
        if (!isDigit(c)) return false;
        total = total * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (total > 0xFFFFFFFF) return false;
    value = static_cast<std::uint32_t>(total);
    return true;
}

/// "HTTP/" version, blanks, a three-digit code, then a blank or the end.
bool readStatusLine(std::string_view line, std::uint32_t& status) {
    if (!line.starts_with("HTTP/")) return false;
    std::size_t code = line.find_first_of(" \t");
    if (code == std::string_view::npos) return false;
    code = line.find_first_not_of(" \t", code);
    if (code == std::string_view::npos) return false;
    std::string_view digits = line.substr(code, 3);
    if (digits.size() != 3 || (line.size() > code + 3 && !isBlank(line[code + 3]))) return false;
    return readDecimal(digits, status);
}

/// The value of a "name: value" line whose name is Content-Length, blanks around it
/// removed; false when the line is another field.
bool contentLengthValue(std::string_view line, std::string_view& value) {
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !equalsIgnoringCase(line.substr(0, colon), contentLengthName)) return false;
    value = line.substr(colon + 1);
    while (!value.empty() && isBlank(value.front())) value.remove_prefix(1);
    while (!value.empty() && isBlank(value.back())) value.remove_suffix(1);
    return true;
}

class TokenTrace {
public:
    TokenTrace(Console** console, bool enabled) : console(console), enabled(enabled) {}

    /// Prints each token of `line`. `length` names the Content-Length found in the
    /// line, if any, right after the field's name.
    void line(std::string_view line, const std::uint32_t* length) {
        if (!enabled) return;
        bool first = true;
        while (!line.empty()) {
            std::size_t start = 0;
            while (start < line.size() && isSeparator(line[start])) ++start;
            std::size_t end = start;
            while (end < line.size() && !isSeparator(line[end])) ++end;
            if (start < end) {
                print(u"+token: %S\n", line.substr(start, end - start));
                if (first && length != nullptr) {
                    print(u"*token: %S\n", line.substr(start, end - start));
                    (*console)->print(u"*content-length=%d\n", *length);
                }
                first = false;
            }
            line.remove_prefix(end);
        }
    }

private:
    void print(console::FormatString<const char*> format, std::string_view token) {
        char text[Console::bufferUnits];
        copyPrintable(text, sizeof text, token);
        (*console)->print(format, static_cast<const char*>(text));
    }

    Console** console;
    bool enabled;
};

bool readField(std::string_view line, HttpReplyHeader& header, Console** console, TokenTrace& trace) {
    std::string_view value;
    if (!contentLengthValue(line, value)) {
        trace.line(line, nullptr);
        return true;
    }
    std::uint32_t length = 0;
    if (!readDecimal(value, length) || (header.hasContentLength && header.contentLength != length)) {
        char text[64];
        copyPrintable(text, sizeof text, value);
        (*console)->print(u"bad Content-Length \"%S\".\n", static_cast<const char*>(text));
        return false;
    }
    trace.line(line, &length);
    header.hasContentLength = true;
    header.contentLength = length;
    return true;
}

}  // namespace

std::uint32_t httpHeaderEnd(const char* data, std::uint32_t size) {
    for (std::uint32_t i = 0; i + 1 < size; ++i) {
        if (data[i] != '\n') continue;
        if (data[i + 1] == '\n') return i + 2;
        if (data[i + 1] == '\r' && i + 2 < size && data[i + 2] == '\n') return i + 3;
    }
    return 0;
}

bool parseHttpHeader(const char* data, std::uint32_t length, HttpReplyHeader& header, Console** console,
                     std::int32_t debugLevel) {
    header = HttpReplyHeader{};
    header.length = length;
    TokenTrace trace(console, debugLevel > 2);
    std::string_view rest(data, length);
    std::string_view statusLine = takeLine(rest);
    trace.line(statusLine, nullptr);
    copyPrintable(header.statusLine, sizeof header.statusLine, statusLine);
    if (!readStatusLine(statusLine, header.status)) {
        (*console)->print(u"bad reply \"%S\".\n", static_cast<const char*>(header.statusLine));
        return false;
    }
    while (!rest.empty()) {
        if (!readField(takeLine(rest), header, console, trace)) return false;
    }
    return true;
}
