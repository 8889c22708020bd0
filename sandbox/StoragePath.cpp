#include "sandbox/StoragePath.h"

#include <cctype>
#include <system_error>

#include "host/CodePage.h"
#include "host/HostDirectory.h"
#include "sandbox/Machine.h"

namespace sandbox {

namespace {

std::vector<std::u16string> components(const char16_t* path) {
    std::vector<std::u16string> parts;
    std::u16string part;
    for (const char16_t* p = path; *p != 0; ++p) {
        if (*p == u'\\' || *p == u'/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += *p;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

/// The entry of `folder` named `name`, exactly or else without regard to case.
std::string resolve(const std::filesystem::path& folder, const std::string& name) {
    std::error_code error;
    if (std::filesystem::exists(folder / host::utf8Path(name), error)) return name;
    for (const host::DirectoryEntry& entry : host::listDirectory(folder)) {
        if (sameIgnoringCase(entry.name, name)) return entry.name;
    }
    return name;
}

}  // namespace

std::optional<std::filesystem::path> hostPath(const char16_t* path) {
    const Machine& m = machine();
    if (m.storageRoot.empty() || path == nullptr) return std::nullopt;
    std::filesystem::path result = m.storageRoot;
    for (const std::u16string& part : components(path)) {
        if (part == u"." || part == u"..") return std::nullopt;
        std::string name = host::toUtf8(part);
        if (name.empty()) return std::nullopt;
        result /= host::utf8Path(resolve(result, name));
    }
    return result;
}

std::string rootEntry(const char16_t* path) {
    std::vector<std::u16string> parts = components(path);
    return parts.empty() ? std::string() : host::toUtf8(parts.front());
}

}  // namespace sandbox
