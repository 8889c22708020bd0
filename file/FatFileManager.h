// Files of the object store and the storage cards.
#pragma once

#include "file/FileManager.h"
#include "platform/types.h"

class FatFileManager : public FileManager {
public:
    /// Wide characters of the root and of a full path, terminator included.
    static constexpr std::uint32_t pathCapacity = 260;

    explicit FatFileManager(Console** console);
    /// Closes a file left open.
    ~FatFileManager() override;

    /// Keeps `root` as it stands (a directory must end with its separator). False
    /// when it would not fit with its terminator; it is never cut.
    bool setRoot(const char16_t* root) override;
    /// Opens root immediately followed by `name`, for reading. A file still open is
    /// closed first. False, after a message, when the path is too long, the file
    /// cannot be opened or its size cannot be learned.
    bool open(const char16_t* name, std::uint32_t flags) override;
    std::uint32_t size() override;
    /// The platform's close result; 0 without an open file.
    std::int32_t close() override;
    /// 0, after a message, when the position cannot be set or the read fails; the
    /// file has then failed.
    std::int32_t read(void* buffer, std::uint32_t length, std::int32_t offset) override;
    std::int32_t write(const void* buffer, std::uint32_t length, std::int32_t offset) override;
    bool seek(std::uint32_t offset) override;

private:
    /// Moves to `offset` unless it is -1 (stay where the last access left off).
    bool position(std::int32_t offset);

    platform::Handle handle;
    char16_t root[pathCapacity] = {};
    char16_t path[pathCapacity] = {};
};
