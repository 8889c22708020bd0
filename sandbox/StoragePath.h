// Maps the handheld's object-store paths onto the storage root's host folders.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sandbox {

/// The host path for an object-store path such as "\Storage Card\korvel.gz".
/// Both separators are accepted; components are matched without regard to ASCII
/// case, as the handheld's file system does. Null when the path names "." or "..",
/// has a component that is not valid text, or no storage root is set.
std::optional<std::filesystem::path> hostPath(const char16_t* path);

/// The root entry (first component) of an object-store path, in UTF-8.
std::string rootEntry(const char16_t* path);

}  // namespace sandbox
