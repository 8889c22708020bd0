#include "tests/file/FileFixture.h"

#include <cstdio>
#include <sys/wait.h>

namespace {

/// Text and noise in turn, so that the content spans many deflate blocks and many
/// fills of the reader's input, and holds stored blocks as well as coded ones.
std::string makeContent(std::size_t bytes, std::uint32_t seed) {
    std::string out;
    std::uint32_t state = seed;
    while (out.size() < bytes) {
        for (int line = 0; line < 40; ++line) out += "kernel symbol " + std::to_string(line * seed) + " at segment\n";
        for (int i = 0; i < 2000; ++i) {
            state = state * 1664525u + 1013904223u;
            out += static_cast<char>(state >> 24);
        }
    }
    out.resize(bytes);
    return out;
}

}  // namespace

FileFixture::FileFixture() {
    addStorageCard(card);
    attachWindow();
    console = Console::instance();
    writeCardFile("content", makeContent(150000, 7));
    writeCardFile("other", makeContent(3000, 11));
}

ShellResult FileFixture::shell(const std::string& command) const {
    std::string full = "set -e; cd '" + (storage.path() / card).string() + "'; CRAFT='python3 " CRAFT_GZIP_SCRIPT
                       "' CONTENT=content OTHER=other; " + command;
    ShellResult result{{}, -1};
    FILE* pipe = ::popen(full.c_str(), "r");
    if (pipe == nullptr) return result;
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) result.output.append(block, n);
    int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string FileFixture::gunzip(const std::string& name) const { return shell("gzip -dc < '" + name + "' 2>/dev/null").output; }

std::unique_ptr<GzipFileManager> FileFixture::openGzip(const std::string& name) {
    auto file = std::make_unique<GzipFileManager>(&console, 0);
    if (!file->setRoot(u"\\Storage Card\\") || !file->open(wide(name).c_str(), 3)) {
        ADD_FAILURE() << "can't open " << name;
        return nullptr;
    }
    return file;
}

std::string FileFixture::readToEnd(FileManager& file, std::uint32_t chunk, std::int32_t* last) {
    std::string out;
    std::string block(chunk, '\0');
    std::int32_t got;
    while ((got = file.read(block.data(), chunk, -1)) == static_cast<std::int32_t>(chunk)) out += block;
    if (got > 0) out.append(block.data(), static_cast<std::size_t>(got));
    if (last != nullptr) *last = got;
    return out;
}

std::u16string wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }
