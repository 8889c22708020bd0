// Files role: files by wide path, and the enumeration of the file-system root.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

// Access masks.
inline constexpr std::uint32_t genericRead = 0x80000000;
inline constexpr std::uint32_t genericWrite = 0x40000000;

// Dispositions.
inline constexpr std::uint32_t createAlways = 2;
inline constexpr std::uint32_t openExisting = 3;

// Attributes.
inline constexpr std::uint32_t attributeDirectory = 0x10;
inline constexpr std::uint32_t attributeNormal = 0x80;
inline constexpr std::uint32_t attributeTemporary = 0x100;

// Position methods.
inline constexpr std::uint32_t fromBeginning = 0;
inline constexpr std::uint32_t fromCurrent = 1;
inline constexpr std::uint32_t fromEnd = 2;

/// The failure value of getFileSize and setFilePointer.
inline constexpr std::uint32_t invalidFileSize = 0xFFFFFFFF;

// Last-error codes the files and devices roles report.
inline constexpr std::uint32_t errorFileNotFound = 2;
inline constexpr std::uint32_t errorPathNotFound = 3;
inline constexpr std::uint32_t errorAccessDenied = 5;
inline constexpr std::uint32_t errorInvalidHandle = 6;
inline constexpr std::uint32_t errorNotEnoughMemory = 8;
inline constexpr std::uint32_t errorNotReady = 21;
inline constexpr std::uint32_t errorSectorNotFound = 27;
inline constexpr std::uint32_t errorWriteFault = 29;
inline constexpr std::uint32_t errorReadFault = 30;
inline constexpr std::uint32_t errorNotSupported = 50;
inline constexpr std::uint32_t errorInvalidParameter = 87;
inline constexpr std::uint32_t errorDiskFull = 112;
inline constexpr std::uint32_t errorInvalidName = 123;

/// Opens or creates a file or device (a path such as "\Storage Card\korvel.gz",
/// "COM1:" or "DSK1:"). Returns `invalidHandle` on failure; getLastError() tells why.
Handle createFile(const char16_t* path, std::uint32_t access, std::uint32_t shareMode,
                  std::uint32_t disposition, std::uint32_t attributes);

/// Reads up to `length` bytes at the current position. `transferred` receives the count.
bool readFile(Handle handle, void* buffer, std::uint32_t length, std::uint32_t* transferred);

/// Writes `length` bytes at the current position. `transferred` receives the count.
bool writeFile(Handle handle, const void* buffer, std::uint32_t length, std::uint32_t* transferred);

/// Writes what is buffered for the file to its medium. False on failure.
bool flushFile(Handle handle);

/// Moves the position; returns the new position, or `invalidFileSize`.
std::uint32_t setFilePointer(Handle handle, std::int32_t distance, std::uint32_t method);

/// The size of an open file, or `invalidFileSize`.
std::uint32_t getFileSize(Handle handle);

/// Closes a file, device or device handle. False when the handle was not open.
bool closeHandle(Handle handle);

/// The error code of the calling thread's last failed call.
std::uint32_t getLastError();

/// Removes a file. False on failure.
bool deleteFile(const char16_t* path);

/// Moves `source` to `target` in one step, replacing `target` if it exists.
bool replaceFile(const char16_t* target, const char16_t* source);

/// One entry of an enumeration.
struct FindData {
    std::uint32_t attributes;
    char16_t name[260];
};

/// Starts enumerating the entries that `pattern` names ("\*.*" for the root).
/// Returns `invalidHandle` when nothing matches.
Handle findFirstFile(const char16_t* pattern, FindData* entry);
/// The next entry; false at the end.
bool findNextFile(Handle search, FindData* entry);
bool findClose(Handle search);

}  // namespace platform
