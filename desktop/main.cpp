// tembrel.exe: the boot loader's window on a sandbox machine. The command line picks
// the simulated handheld; message boxes are real ones; the jump ends the window for
// good and reports where the kernel is entered. Closed after a failed boot, it exits
// with status 1.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "boot/BootMenu.h"
#include "desktop/DesktopOptions.h"
#include "desktop/SwitchReport.h"
#include "host/win32/HostWindow.h"
#include "menu/ProcessEntry.h"
#include "sandbox/Machine.h"
#include "sandbox/Preflight.h"

namespace {

std::string toUtf8(const wchar_t* text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? static_cast<std::size_t>(bytes - 1) : 0, '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    return out;
}

std::vector<std::string> commandLineArguments() {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) arguments.push_back(toUtf8(words[i]));
    if (words != nullptr) LocalFree(words);
    return arguments;
}

/// The window has no place for the sandbox's own words: they go to standard error.
void warnOfPlatform(const Preferences& preferences) {
    BootMenu& menu = *BootMenu::instance();
    const char16_t* name = menu.platformName(menu.currentPlatformIndex());
    std::string warning = sandbox::platformWarning(sandbox::machine().profile, name != nullptr ? name : u"",
                                                   preferences.cpuCode);
    std::fputs(warning.c_str(), stderr);
}

int usageError(const std::string& error) {
    std::fprintf(stderr, "tembrel: %s\n%s", error.c_str(), desktopUsage());
    return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    DesktopOptions options;
    std::string error;
    if (!parseDesktopOptions(commandLineArguments(), options, error)) return usageError(error);
    if (!setUpMachine(options.machine, error)) return usageError(error);
    sandbox::Machine& machine = sandbox::machine();
    // A successful boot ends the program at the switch; closed after a failed one, it
    // must not end as if all had gone well.
    bool bootFailed = false;
    machine.boxPolicy = [&bootFailed](const sandbox::MessageBoxRecord& box) {
        if (box.caption == u"BOOT FAILED") bootFailed = true;
        return host::showMessageBox(box.owner, box.text.c_str(), box.caption.c_str(), box.style);
    };
    std::string snapshot = options.snapshot;
    machine.onLeave = [snapshot](const sandbox::SwitchRecord& record) { endAtSwitch(record, snapshot); };
    BootMenu::beforeBoot = warnOfPlatform;
    int status = processEntry(instance);
    return status == 0 && bootFailed ? 1 : status;
}
