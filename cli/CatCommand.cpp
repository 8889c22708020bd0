#include "cli/CatCommand.h"

#include <cstdio>
#include <vector>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "file/GzipFileManager.h"
#include "host/CodePage.h"

namespace {

/// The diagnostics go to standard error, so that standard output holds only the file.
class ErrorPage : public ConsolePageLink {
public:
    void print(const char16_t* text, bool) override { std::fputs(host::toUtf8(text).c_str(), stderr); }
};

int copyOut(FileManager& file, const std::string& root, const std::string& name) {
    if (!file.setRoot(host::fromUtf8(root).c_str()) || !file.open(host::fromUtf8(name).c_str(), 3)) return 1;
    std::vector<char> buffer(64 * 1024);
    std::int32_t count = 0;
    unsigned long long total = 0;
    while ((count = file.read(buffer.data(), static_cast<std::uint32_t>(buffer.size()), -1)) > 0) {
        std::fwrite(buffer.data(), 1, static_cast<std::size_t>(count), stdout);
        total += static_cast<unsigned long long>(count);
    }
    // A source may end its reads early with a count that looks like the end of the
    // file, and a damaged gzip stream is not reported by the reader: say it here.
    bool failed = count < 0 || file.failed();
    if (failed) std::fprintf(stderr, "tembrel: %s: the read failed after %llu bytes\n", name.c_str(), total);
    file.close();
    return failed ? 1 : 0;
}

}  // namespace

int catFile(const std::string& root, const std::string& name) {
    ErrorPage page;
    BootMenu::instance()->consoleTab = &page;
    std::u16string wideRoot = host::fromUtf8(root);
    Console* console = Console::instance();
    int status = 1;
    {
        GzipFileManager file(&console, BootController::fileSourceKindOf(wideRoot));
        status = copyOut(file, root, name);
    }
    BootMenu::instance()->consoleTab = nullptr;
    return status;
}
