// tembrel cat: a file read through the boot loader's own file sources.
#pragma once

#include <string>

/// Writes the file `name` under `root` to standard output, decompressed when it is
/// gzip, reading it as a boot would. Returns the exit code.
int catFile(const std::string& root, const std::string& name);
