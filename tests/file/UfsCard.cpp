#include "tests/file/UfsCard.h"

#include <cstdio>

#include "tests/file/DiskImages.h"

namespace {

constexpr const char* kernelSource = R"(
static const char banner[] = "korvel test kernel";
void start(void) {
    volatile const char* p = banner;
    (void)p;
    for (;;) {}
}
)";

/// A gzip-compressed ARM kernel built by the cross compiler.
void buildKernel(const std::filesystem::path& work, const std::filesystem::path& out) {
    writeFile(work / "kernel.c", kernelSource);
    std::string elf = (work / "kernel.elf").string();
    runQuiet("arm-none-eabi-gcc -nostdlib -ffreestanding -O2 -Wl,-e,start -Wl,-Ttext=0xc0008000 -o '" + elf + "' '" +
             (work / "kernel.c").string() + "'");
    runQuiet("gzip -9n -c '" + elf + "' >'" + out.string() + "'");
}

/// A gzip-compressed memory-disk image: a small UFS file system of its own.
void buildMiniroot(const std::filesystem::path& work, const std::filesystem::path& out) {
    writeFile(work / "miniroot" / "etc" / "motd", "miniroot\n");
    makeUfs(work / "miniroot", work / "miniroot.fs");
    runQuiet("gzip -9n -c '" + (work / "miniroot.fs").string() + "' >'" + out.string() + "'");
}

/// 6 MiB of zeros with data at the start, in the single- and double-indirect ranges
/// and at the very end.
std::string sparseBytes() {
    std::string bytes(6 << 20, '\0');
    for (std::size_t at : {std::size_t{0}, std::size_t{3} << 20, std::size_t{11} << 19}) {
        bytes.replace(at, 5000, patternBytes(5000, static_cast<std::uint32_t>(at)));
    }
    bytes.back() = 'z';
    return bytes;
}

void addLinks(const std::filesystem::path& tree) {
    namespace fs = std::filesystem;
    fs::create_symlink("korvel.gz", tree / "boot" / "current");
    fs::create_symlink("/boot/korvel.gz", tree / "kernel-abs");
    std::string longTarget = "/";
    for (int i = 0; i < 40; ++i) longTarget += "./";
    fs::create_symlink(longTarget + "boot/korvel.gz", tree / "long-link");
    fs::create_symlink("boot", tree / "dirlink");
    fs::create_directories(tree / "chain");
    for (int i = 0; i < 32; ++i) {
        char name[8], next[8];
        std::snprintf(name, sizeof name, "c%02d", i);
        std::snprintf(next, sizeof next, "c%02d", i + 1);
        fs::create_symlink(i == 31 ? "../big" : next, tree / "chain" / name);
    }
    fs::create_symlink("c00", tree / "chain" / "extra");
}

}  // namespace

const UfsCard& UfsCard::get() {
    static const UfsCard card;
    return card;
}

UfsCard::UfsCard() {
    std::filesystem::path tree = folder.path() / "tree";
    std::filesystem::create_directories(tree / "boot");
    buildKernel(folder.path(), tree / "korvel.gz");
    buildMiniroot(folder.path(), tree / "miniroot.fs.gz");
    std::filesystem::copy_file(tree / "korvel.gz", tree / "boot" / "korvel.gz");
    writeFile(tree / "big", patternBytes(4608 << 10, 1));  // beyond the single-indirect range
    writeFile(tree / "sparse", sparseBytes());
    for (std::size_t size : {0, 1, 511, 513, 1000, 4095, 4097, 12 * 4096 + 1}) {
        writeFile(tree / "tail" / std::to_string(size), patternBytes(size, static_cast<std::uint32_t>(size)));
    }
    for (int i = 0; i < 400; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "entry-%03d", i);
        writeFile(tree / "many" / name, name);
    }
    addLinks(tree);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree)) {
        if (entry.is_regular_file() && !entry.is_symlink()) {
            std::string path(1, '/');
            path += entry.path().lexically_relative(tree).string();
            files[path] = readFile(entry.path());
        }
    }
    makeUfs(tree, folder.path() / "fs.img");
    image = folder.path() / "card.img";
    makeLabelledCard(image, folder.path() / "fs.img");
    bytes = readFile(image);
}
