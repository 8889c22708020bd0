// The headless front end. For now it shows what a user would pick from: the platform
// list and the settings a fresh card starts with.
#include <cstdio>
#include <string>

#include "boot/BootMenu.h"
#include "host/posix/CodePage.h"

namespace {

std::string utf8(std::u16string_view text) { return host::toUtf8(std::u16string(text)); }

void printPlatforms(const BootMenu& menu) {
    std::printf("Platforms:\n");
    for (std::int32_t i = 0; const char16_t* name = menu.platformName(i); ++i) {
        std::printf("  %2d  %s\n", i, utf8(name).c_str());
    }
}

void printPreferences(const Preferences& p) {
    const char* roots[] = {"wd", "sd", "md", "nfs"};
    std::printf("Default preferences:\n");
    std::printf("  version             %u\n", p.version);
    std::printf("  record size         %u\n", p.recordSize);
    std::printf("  platform            cpu=0x%08x machine=0x%08x\n", p.cpuCode, p.machineCode);
    std::printf("  root device         %s\n", p.rootDevice < 4 ? roots[p.rootDevice] : "?");
    std::printf("  root image          %s\n", utf8(recordText(p.rootImageName)).c_str());
    std::printf("  boot flags          h=%u v=%u s=%u a=%u d=%u\n", p.serialConsole, p.verbose, p.singleUser,
                p.askName, p.kernelDebugger);
    std::printf("  extra options       \"%s\"\n", utf8(recordText(p.extraKernelOptions)).c_str());
    std::printf("  auto boot seconds   %d\n", p.autoBootSeconds);
    std::printf("  pause before boot   %u\n", p.pauseBeforeBoot);
    std::printf("  safety message      %u\n", p.safetyMessage);
    std::printf("  serial speed        %u\n", p.serialSpeed);
}

}  // namespace

int main() {
    BootMenu* menu = BootMenu::instance();
    printPlatforms(*menu);
    printPreferences(menu->preferences);
    BootMenu::destroyInstance();
    return 0;
}
