// Disk images made with the real tools: makefs for UFS, sfdisk for the MBR and fdisk's
// nested disk-label editor for the label.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

/// Runs `command` through the shell with its output captured; throws with that output
/// when it fails.
void runQuiet(const std::string& command);

void writeFile(const std::filesystem::path& path, std::string_view bytes);
std::string readFile(const std::filesystem::path& path);

/// `count` bytes that differ from block to block, so that a misplaced block shows.
std::string patternBytes(std::size_t count, std::uint32_t seed);

/// A UFS image of `tree`, with 4 KiB blocks and 512-byte fragments, in the version and
/// byte order that `format` gives makefs: little-endian version 1 by default.
void makeUfs(const std::filesystem::path& tree, const std::filesystem::path& image,
             const std::string& format = "-o version=1 -B le");

/// One MBR entry: `slot` 1 to 4.
struct MbrEntry {
    int slot;
    std::uint32_t start;
    std::uint32_t size;
    std::uint8_t type;
};

/// A disk of `sectors` zero sectors whose MBR holds `entries`.
void makeMbrDisk(const std::filesystem::path& disk, std::uint32_t sectors, const std::vector<MbrEntry>& entries);

/// Copies `image` into `disk` from `sector` on.
void placeAt(const std::filesystem::path& disk, const std::filesystem::path& image, std::uint32_t sector);

/// Gives the disk's only partition of a label type a disk label, with partition a
/// covering that partition.
void labelPartition(const std::filesystem::path& disk);

/// Gives the disk's only partition of a label type a disk label to which no partition
/// was added, as the label editor writes it when asked to.
void labelWithoutPartitions(const std::filesystem::path& disk);

/// A card of the MBR partition of type 0xA5 at sector 63, labelled, holding `image`.
void makeLabelledCard(const std::filesystem::path& card, const std::filesystem::path& image);
