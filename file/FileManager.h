// The read interface through which every byte of a boot is read.
#pragma once

#include <cstdint>

class Console;

/// A file source: given a root, opens one file at a time by name.
class FileManager {
public:
    /// Capacity of 8-bit names handed to the lower layers, terminator included.
    static constexpr std::uint32_t nameCapacity = 260;

    explicit FileManager(Console** console) : console(console) {}
    virtual ~FileManager() = default;
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    /// Sets the directory, URL or device designation that names are relative to.
    virtual bool setRoot(const char16_t* root) = 0;
    /// Opens `name` under the root. `flags` is passed through unchanged.
    virtual bool open(const char16_t* name, std::uint32_t flags) = 0;
    /// The byte count as stored; 0xFFFFFFFF when unknown.
    virtual std::uint32_t size() = 0;
    /// The byte count after decompression; 0xFFFFFFFF when it cannot be learned.
    virtual std::uint32_t realSize() { return size(); }
    /// Closes the open file; harmless without one.
    virtual std::int32_t close() = 0;
    /// Reads `length` bytes at `offset` (-1: the current position). Returns the count.
    virtual std::int32_t read(void* buffer, std::uint32_t length, std::int32_t offset) = 0;
    /// Writes `length` bytes at `offset` (-1: the current position). Returns the count.
    virtual std::int32_t write(const void* buffer, std::uint32_t length, std::int32_t offset) = 0;
    /// Moves to `offset` bytes from the start of the file.
    virtual bool seek(std::uint32_t offset) = 0;
    /// True once a read or a size query of the open file has failed since open(): the
    /// source printed why, and what the reads delivered is not the file, whatever
    /// counts they returned. A read that only meets the end of the file is no failure.
    virtual bool failed() const { return failure; }

    /// Verbosity; each source sets 1, the boot controller stores its own setting.
    std::int32_t debugLevel = 1;

protected:
    /// Converts `text` to 8-bit text in the default code page into `destination`,
    /// terminated, within `capacity` bytes. False, after a message, when it does not
    /// fit or cannot be converted (an empty text cannot).
    bool toNarrow(char* destination, const char16_t* text, std::uint32_t capacity);

    Console** console;
    char fileName[nameCapacity] = {};
    /// What failed() answers; each source clears it in open().
    bool failure = false;
};
