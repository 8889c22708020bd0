// Host folder listings, for the sandbox's storage.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace host {

struct DirectoryEntry {
    std::string name;  // UTF-8
    bool isDirectory;
};

/// The host path of a UTF-8 name, whatever the narrow code page of the host's paths.
inline std::filesystem::path utf8Path(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

/// A host path as UTF-8, for messages and listings.
inline std::string utf8Name(const std::filesystem::path& path) {
    std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

/// The entries of `folder` sorted by name, without "." and ".."; empty when it
/// cannot be read.
std::vector<DirectoryEntry> listDirectory(const std::filesystem::path& folder);

}  // namespace host
