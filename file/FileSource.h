// The source a GzipFileManager reads through.
#pragma once

#include <cstdint>
#include <memory>

#include "file/FileManager.h"

/// Creates the source of `kind` (the boot controller's file-source codes): local
/// files for 0, HTTP for 2, UFS for any other value. Null when it cannot be allocated.
std::unique_ptr<FileManager> createFileSource(Console** console, std::uint32_t kind);
