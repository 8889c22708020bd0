#include "tests/file/DiskImages.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace {

std::string quoted(const std::filesystem::path& path) {
    std::string text(1, '\'');
    text += path.string();
    text += '\'';
    return text;
}

}  // namespace

void runQuiet(const std::string& command) {
    std::filesystem::path log = std::filesystem::temp_directory_path() / ("tembrel-tool-" + std::to_string(::getpid()) + ".log");
    int status = std::system((command + " >" + quoted(log) + " 2>&1").c_str());
    std::string output = readFile(log);
    std::filesystem::remove(log);
    if (status != 0) throw std::runtime_error(command + " failed:\n" + output);
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string patternBytes(std::size_t count, std::uint32_t seed) {
    std::string bytes(count, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return bytes;
}

void makeUfs(const std::filesystem::path& tree, const std::filesystem::path& image, const std::string& format) {
    runQuiet("makefs -t ffs " + format + " -o bsize=4096,fsize=512 -M 256k " + quoted(image) + " " + quoted(tree));
}

void makeMbrDisk(const std::filesystem::path& disk, std::uint32_t sectors, const std::vector<MbrEntry>& entries) {
    { std::ofstream create(disk, std::ios::binary | std::ios::trunc); }
    std::filesystem::resize_file(disk, std::uintmax_t{sectors} * 512);
    std::string script = "label: dos\nunit: sectors\n";
    for (const MbrEntry& e : entries) {
        char line[160];
        std::snprintf(line, sizeof line, "%s%d : start=%u, size=%u, type=%x\n", disk.c_str(), e.slot, e.start, e.size,
                      e.type);
        script += line;
    }
    std::filesystem::path input = disk.string() + ".sfdisk";
    writeFile(input, script);
    runQuiet("sfdisk -q " + quoted(disk) + " <" + quoted(input));
    std::filesystem::remove(input);
}

void placeAt(const std::filesystem::path& disk, const std::filesystem::path& image, std::uint32_t sector) {
    runQuiet("dd if=" + quoted(image) + " of=" + quoted(disk) + " bs=512 seek=" + std::to_string(sector) +
             " conv=notrunc status=none");
}

void labelPartition(const std::filesystem::path& disk) {
    // b: edit the nested label (y: create it); n, a and two defaults: partition a over
    // the whole partition; w: write. The geometry is the sandbox's, so that a small disk
    // still has a whole cylinder.
    runQuiet("printf 'b\\ny\\nn\\na\\n\\n\\nw\\nq\\n' | fdisk -H 16 -S 63 " + quoted(disk));
}

void labelWithoutPartitions(const std::filesystem::path& disk) {
    runQuiet("printf 'b\\ny\\nw\\nq\\n' | fdisk -H 16 -S 63 " + quoted(disk));
}

void makeLabelledCard(const std::filesystem::path& card, const std::filesystem::path& image) {
    auto sectors = static_cast<std::uint32_t>(std::filesystem::file_size(image) / 512);
    makeMbrDisk(card, 63 + sectors + 1, {{1, 63, sectors, 0xA5}});
    placeAt(card, image, 63);
    labelPartition(card);
}
