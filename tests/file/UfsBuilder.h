// Hand-made UFS version 1 images for the cases the real tools never write: holes at
// every level of indirection, triple-indirect blocks, old-format directories, and
// damaged fields. One cylinder group; the inode table follows the superblock.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class UfsBuilder {
public:
    struct Options {
        std::uint32_t blockSize = 4096;
        std::uint32_t fragmentSize = 512;
        std::uint32_t addressesPerBlock = 1024;
        std::uint32_t inodes = 64;
        std::int32_t maxSymlinkLength = 60;  // 0: old directory entries
    };

    /// Where the superblock starts; tests damage its fields from there.
    static constexpr std::uint32_t superblockOffset = 8192;

    explicit UfsBuilder(Options options);

    /// Stores `bytes` in a new block, in whole fragments when `fragments` is set; returns
    /// its fragment address.
    std::uint32_t addBlock(std::string_view bytes, bool fragments = false);
    /// A new indirect block holding `entries` (index to address); returns its address.
    std::uint32_t addIndirect(const std::map<std::uint32_t, std::uint32_t>& entries);
    /// Writes inode `number`.
    void setInode(std::uint32_t number, std::uint16_t mode, std::uint64_t size, const std::array<std::uint32_t, 12>& direct,
                  const std::array<std::uint32_t, 3>& indirect = {});
    /// A directory `number` in `parent` of one block holding ".", ".." and `entries`.
    void addDirectory(std::uint32_t number, std::uint32_t parent,
                      const std::vector<std::pair<std::string, std::uint32_t>>& entries);
    /// A regular file of `bytes` in direct blocks.
    void addFile(std::uint32_t number, std::string_view bytes);
    /// A symbolic link to `target`, inside the inode when it is short enough.
    void addSymlink(std::uint32_t number, std::string_view target);

    /// Byte offset of inode `number`, and of block address `fragment`, in the image.
    std::uint32_t inodeOffset(std::uint32_t number) const;
    std::uint32_t fragmentOffset(std::uint32_t fragment) const { return fragment * options_.fragmentSize; }

    std::uint32_t get32(std::uint32_t offset) const;
    void put16(std::uint32_t offset, std::uint16_t value);
    void put32(std::uint32_t offset, std::uint32_t value);
    void put64(std::uint32_t offset, std::uint64_t value);

    std::vector<std::uint8_t> image() const;

private:
    void writeSuperblock();
    std::uint32_t allocate(std::uint32_t fragments);

    Options options_;
    std::vector<std::uint8_t> bytes_;
    std::uint32_t nextFragment_;
};
