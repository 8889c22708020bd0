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

/// The entries of `folder` sorted by name, without "." and ".."; empty when it
/// cannot be read.
std::vector<DirectoryEntry> listDirectory(const std::filesystem::path& folder);

}  // namespace host
