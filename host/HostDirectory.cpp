#include "host/HostDirectory.h"

#include <algorithm>
#include <system_error>

namespace host {

std::vector<DirectoryEntry> listDirectory(const std::filesystem::path& folder) {
    std::vector<DirectoryEntry> entries;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kindError;
        entries.push_back({utf8Name(it->path().filename()), it->is_directory(kindError)});
    }
    std::sort(entries.begin(), entries.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
    return entries;
}

}  // namespace host
