// A host folder that exists for one test.
#pragma once

#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    /// Writes `bytes` to `relative` under the folder, creating folders on the way.
    void write(const std::string& relative, const std::string& bytes) const;
    /// The bytes of `relative`; empty when it does not exist.
    std::string read(const std::string& relative) const;

private:
    std::filesystem::path path_;
};
