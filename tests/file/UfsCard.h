// A storage card made with the real tools: an MBR partition of type 0xA5 at sector 63
// with a disk label, holding a makefs UFS image of a tree with a kernel, a miniroot,
// large, sparse and fragment-sized files, a large directory and symbolic links.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "tests/support/TempFolder.h"

struct UfsCard {
    /// The card of this test process, made on first use.
    static const UfsCard& get();

    std::filesystem::path image;                // the card
    std::string bytes;                          // the card's bytes
    std::map<std::string, std::string> files;   // every regular file by its path, with its bytes

private:
    UfsCard();
    TempFolder folder;
};
