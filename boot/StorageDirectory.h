// The first storage card of the object store.
#pragma once

#include <cstddef>

/// Capacity of a storage directory name, terminator included.
inline constexpr std::size_t storageNameUnits = 260;

/// The name (without a leading backslash) of the first root entry, in enumeration
/// order, that is a directory with the temporary attribute. False when there is none.
bool findStorageDirectory(char16_t (&name)[storageNameUnits]);
