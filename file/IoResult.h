// Result codes of the block-device layer and the UFS reader below UfsFileManager.
#pragma once

#include <cstdint>

namespace io {

inline constexpr std::int32_t ok = 0;
inline constexpr std::int32_t noSuchFile = 2;     // name not found, too many links, path too long
inline constexpr std::int32_t ioError = 5;        // a device request failed or came back short
inline constexpr std::int32_t outOfMemory = 12;
inline constexpr std::int32_t noSuchDevice = 19;
inline constexpr std::int32_t notDirectory = 20;
inline constexpr std::int32_t invalid = 22;       // invalid argument or file system
inline constexpr std::int32_t fileTooBig = 27;
inline constexpr std::int32_t readOnly = 30;

}  // namespace io
