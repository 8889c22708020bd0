#include "tests/file/UfsBuilder.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::uint32_t inodeTableOffset = 16384;

}  // namespace

UfsBuilder::UfsBuilder(Options options) : options_(options), nextFragment_(0) {
    std::uint32_t tableBytes = (options.inodes * 128 + options.blockSize - 1) / options.blockSize * options.blockSize;
    bytes_.resize(inodeTableOffset + tableBytes);
    nextFragment_ = static_cast<std::uint32_t>(bytes_.size() / options.fragmentSize);
    writeSuperblock();
    allocate(0);
}

void UfsBuilder::writeSuperblock() {
    const Options& o = options_;
    std::uint32_t sb = superblockOffset;
    std::uint32_t fragmentShift = std::countr_zero(o.blockSize / o.fragmentSize);
    put32(sb + 16, inodeTableOffset / o.fragmentSize);
    put32(sb + 24, 0);
    put32(sb + 28, 0xFFFFFFFF);
    put32(sb + 44, 1);
    put32(sb + 48, o.blockSize);
    put32(sb + 52, o.fragmentSize);
    put32(sb + 76, ~(o.fragmentSize - 1));
    put32(sb + 80, std::countr_zero(o.blockSize));
    put32(sb + 96, fragmentShift);
    put32(sb + 100, std::countr_zero(o.fragmentSize / 512));
    put32(sb + 116, o.addressesPerBlock);
    put32(sb + 120, o.blockSize / 128);
    put32(sb + 184, o.inodes);
    put32(sb + 1320, static_cast<std::uint32_t>(o.maxSymlinkLength));
    put64(sb + 1336, o.blockSize - 1);
    put64(sb + 1344, o.fragmentSize - 1);
    put32(sb + 1372, 72020);
}

std::uint32_t UfsBuilder::allocate(std::uint32_t fragments) {
    std::uint32_t perBlock = options_.blockSize / options_.fragmentSize;
    std::uint32_t address = (nextFragment_ + perBlock - 1) / perBlock * perBlock;
    nextFragment_ = address + fragments;
    bytes_.resize(std::size_t{nextFragment_} * options_.fragmentSize);
    put32(superblockOffset + 36, nextFragment_);  // the file system ends with its last block
    put32(superblockOffset + 188, nextFragment_);
    return address;
}

std::uint32_t UfsBuilder::addBlock(std::string_view bytes, bool fragments) {
    std::uint32_t size = options_.fragmentSize;
    std::uint32_t count = fragments ? static_cast<std::uint32_t>((bytes.size() + size - 1) / size) : options_.blockSize / size;
    if (bytes.size() > std::size_t{count} * size) throw std::invalid_argument("more than a block");
    std::uint32_t address = allocate(count);
    std::memcpy(bytes_.data() + fragmentOffset(address), bytes.data(), bytes.size());
    return address;
}

std::uint32_t UfsBuilder::addIndirect(const std::map<std::uint32_t, std::uint32_t>& entries) {
    std::string block(options_.blockSize, '\0');
    for (auto [index, address] : entries) std::memcpy(block.data() + 4 * index, &address, 4);
    return addBlock(block);
}

std::uint32_t UfsBuilder::inodeOffset(std::uint32_t number) const { return inodeTableOffset + number * 128; }

void UfsBuilder::setInode(std::uint32_t number, std::uint16_t mode, std::uint64_t size,
                          const std::array<std::uint32_t, 12>& direct, const std::array<std::uint32_t, 3>& indirect) {
    std::uint32_t at = inodeOffset(number);
    std::memset(bytes_.data() + at, 0, 128);
    put16(at, mode);
    put64(at + 8, size);
    for (std::uint32_t i = 0; i < 12; ++i) put32(at + 40 + 4 * i, direct[i]);
    for (std::uint32_t i = 0; i < 3; ++i) put32(at + 88 + 4 * i, indirect[i]);
}

void UfsBuilder::addDirectory(std::uint32_t number, std::uint32_t parent,
                              const std::vector<std::pair<std::string, std::uint32_t>>& entries) {
    std::vector<std::pair<std::string, std::uint32_t>> all{{".", number}, {"..", parent}};
    all.insert(all.end(), entries.begin(), entries.end());
    std::string block(512, '\0');
    std::uint32_t offset = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto& [name, inode] = all[i];
        auto record = static_cast<std::uint16_t>((8 + name.size() + 4) & ~std::size_t{3});
        if (i + 1 == all.size()) record = static_cast<std::uint16_t>(512 - offset);
        if (offset + record > 512) throw std::invalid_argument("directory block full");
        std::memcpy(block.data() + offset, &inode, 4);
        std::memcpy(block.data() + offset + 4, &record, 2);
        auto length = static_cast<std::uint16_t>(name.size());
        if (options_.maxSymlinkLength > 0) {
            block[offset + 6] = 4;  // entry type: not looked at
            block[offset + 7] = static_cast<char>(length);
        } else {
            std::memcpy(block.data() + offset + 6, &length, 2);
        }
        std::memcpy(block.data() + offset + 8, name.data(), name.size());
        offset += record;
    }
    setInode(number, 0x41ED, 512, {addBlock(block, true)});
}

void UfsBuilder::addFile(std::uint32_t number, std::string_view bytes) {
    std::array<std::uint32_t, 12> direct{};
    for (std::size_t i = 0; i * options_.blockSize < bytes.size(); ++i) {
        std::string_view piece = bytes.substr(i * options_.blockSize, options_.blockSize);
        direct.at(i) = addBlock(piece, piece.size() < options_.blockSize);
    }
    setInode(number, 0x81A4, bytes.size(), direct);
}

void UfsBuilder::addSymlink(std::uint32_t number, std::string_view target) {
    if (static_cast<std::int64_t>(target.size()) < options_.maxSymlinkLength) {
        setInode(number, 0xA1ED, target.size(), {});
        std::memcpy(bytes_.data() + inodeOffset(number) + 40, target.data(), target.size());
        return;
    }
    setInode(number, 0xA1ED, target.size(), {addBlock(target, true)});
}

std::uint32_t UfsBuilder::get32(std::uint32_t offset) const {
    std::uint32_t value;
    std::memcpy(&value, bytes_.data() + offset, 4);
    return value;
}

void UfsBuilder::put16(std::uint32_t offset, std::uint16_t value) { std::memcpy(bytes_.data() + offset, &value, 2); }
void UfsBuilder::put32(std::uint32_t offset, std::uint32_t value) { std::memcpy(bytes_.data() + offset, &value, 4); }
void UfsBuilder::put64(std::uint32_t offset, std::uint64_t value) { std::memcpy(bytes_.data() + offset, &value, 8); }

std::vector<std::uint8_t> UfsBuilder::image() const { return bytes_; }
