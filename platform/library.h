// Library-lookup role: the core library and the calls looked up in it by name.
#pragma once

#include <cstdint>

namespace platform {

struct VersionRecord;

using LibraryHandle = void*;

/// LockPages(address, length, page-frame array, flags): true when locked; writes
/// one page-frame number per page into `frames`.
using LockPagesProcedure = bool (*)(void* address, std::uint32_t length, std::uint32_t* frames,
                                    std::int32_t flags);
/// UnlockPages(address, length): true on success.
using UnlockPagesProcedure = bool (*)(void* address, std::uint32_t length);
/// GetVersionEx(record): true on success.
using GetVersionExProcedure = bool (*)(VersionRecord* record);

/// Loads a library by name ("coredll.dll"); null when it cannot be loaded.
LibraryHandle loadLibrary(const char16_t* name);

/// The procedure `name` of `library`, or null when there is none.
void* findProcedure(LibraryHandle library, const char16_t* name);

/// Frees a library obtained from loadLibrary.
void freeLibrary(LibraryHandle library);

}  // namespace platform
