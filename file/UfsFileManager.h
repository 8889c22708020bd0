// The UFS source: kernels and images on a UFS partition of a disk unit.
#pragma once

#include <cstdint>

#include "file/FileManager.h"
#include "file/OpenFile.h"

/// Reads files from the UFS partition of the disk that the root names ("2:" for unit 2;
/// unit 1 otherwise). Names are paths from the file system's root directory.
class UfsFileManager : public FileManager {
public:
    explicit UfsFileManager(Console** console);

    /// Opens the disk unit of `root` and selects its partition. Prints why it fails.
    bool setRoot(const char16_t* root) override;
    /// Opens the file at path `name`; prints "failed." and why when it cannot.
    bool open(const char16_t* name, std::uint32_t flags) override;
    std::uint32_t size() override;
    std::int32_t close() override;
    /// Reads from `offset` (-1: the position); fewer bytes only at the end or on an
    /// error, which prints why and fails the file.
    std::int32_t read(void* buffer, std::uint32_t length, std::int32_t offset) override;
    /// Nothing can be written: returns 0.
    std::int32_t write(const void* buffer, std::uint32_t length, std::int32_t offset) override;
    bool seek(std::uint32_t offset) override;

private:
    /// Prints the failure note of the layers below, or the reason `result` names.
    void printReason(std::int32_t result);

    OpenFile openFile;
};
