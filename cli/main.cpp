// tembrel: the boot loader on a simulated handheld, without a window.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "cli/AfterSwitch.h"
#include "cli/BootCommand.h"
#include "cli/CatCommand.h"
#include "cli/HeadlessPages.h"
#include "cli/InfoCommand.h"
#include "sandbox/MachineSetup.h"
#include "cli/MessageBoxes.h"
#include "cli/Terminal.h"
#include "console/Console.h"
#include "host/CodePage.h"
#include "sandbox/BootHarness.h"
#include "sandbox/MachineProfile.h"
#include "sandbox/Preflight.h"

namespace {

// A failed boot, or a file or output that could not be read or written.
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

std::string utf8(std::u16string_view text) { return host::toUtf8(std::u16string(text)); }

struct BootChoice {
    std::vector<std::string> edits;
    bool yes = false;
    bool no = false;
    bool log = false;
    AfterSwitchChoice afterSwitch;
};

void listMachines() {
    std::printf("%-18s %-38s %-7s %4s  %s\n", "machine", "platform", "cpu", "RAM", "display");
    for (const sandbox::MachineProfile& p : sandbox::machineProfiles()) {
        const char* cpu[] = {"SA1100", "SA1110", "PXA250", "PXA270"};
        std::printf("%-18s %-38s %-7s %3uM  %dx%d %dbpp, code page %u\n", p.key, utf8(p.name).c_str(),
                    cpu[static_cast<int>(p.processor)], p.ramSize >> 20, p.displayWidth, p.displayHeight,
                    p.displayDepth, p.codePage);
    }
}

void showSettings(BootMenu& menu) {
    const Preferences& p = menu.preferences;
    HeadlessPages pages(menu);
    const PageControls& c = pages.controls;
    const char* roots[] = {"wd", "sd", "md", "nfs"};
    std::printf("kernelDirectory     %s\n", utf8(c.directory).c_str());
    std::printf("kernelName          %s\n", utf8(c.kernelName).c_str());
    std::printf("platform            %s (cpu=0x%08x machine=0x%08x)\n",
                utf8(menu.platformName(menu.currentPlatformIndex())).c_str(), p.cpuCode, p.machineCode);
    std::printf("rootDevice          %s\n", roots[c.rootDevice]);
    std::printf("rootImageName       %s\n", utf8(c.rootImageName).c_str());
    std::printf("serialConsole %u  verbose %u  singleUser %u  askName %u  kernelDebugger %u\n", c.serialConsole,
                c.verbose, c.singleUser, c.askName, c.kernelDebugger);
    std::printf("serialSpeed         %s\n", utf8(c.serialSpeed).c_str());
    std::printf("autoBootSeconds     %d\n", p.autoBootSeconds);
    std::printf("reverseVideo %u  pauseBeforeBoot %u  loadDebugInfo %u  safetyMessage %u\n", c.reverseVideo,
                c.pauseBeforeBoot, c.loadDebugInfo, c.safetyMessage);
    std::printf("extraKernelOptions  \"%s\"\n", utf8(c.extraKernelOptions).c_str());
}

/// Before Boot: a platform whose processor is not the simulated machine's.
void warnOfPlatform(BootMenu& menu, HeadlessPages& pages, Terminal& terminal) {
    pages.collect();
    const char16_t* name = menu.platformName(menu.currentPlatformIndex());
    terminal.show(sandbox::platformWarning(sandbox::machine().profile, name != nullptr ? name : u"",
                                           menu.preferences.cpuCode));
}

/// The Boot command on the headless window; returns the exit code.
int boot(const BootChoice& choice) {
    Terminal terminal(choice.log);
    std::optional<bool> standing;
    if (choice.yes) standing = true;
    if (choice.no) standing = false;
    answerBoxesOnTerminal(terminal, standing);

    BootMenu* menu = BootMenu::instance();
    Console::instance();
    BootController::instance();
    HeadlessPages pages(*menu);
    for (const std::string& edit : choice.edits) {
        std::string error;
        if (!pages.edit(edit, error)) {
            std::fprintf(stderr, "tembrel: --set %s\n", error.c_str());
            return exitUsage;
        }
    }
    menu->rootWindow = &terminal;
    menu->consoleTab = &terminal;
    menu->mainTab = &pages;
    warnOfPlatform(*menu, pages, terminal);
    std::optional<sandbox::SwitchRecord> left = sandbox::runUntilSwitch([&] { runBootCommand(*menu, terminal); });
    menu->rootWindow = nullptr;
    menu->consoleTab = nullptr;
    menu->mainTab = nullptr;
    if (!left) return exitFailed;
    return afterSwitch(*left, choice.afterSwitch, terminal);
}

/// `status`, or a failure when standard output did not get all that was written to
/// it (a full disk, a closed pipe).
int checkedOutput(int status) {
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return status;
    std::fprintf(stderr, "tembrel: can't write standard output\n");
    return status != 0 ? status : exitFailed;
}

void shutDown() {
    BootController::destroyInstance();
    Console::destroyInstance();
    BootMenu::destroyInstance();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"tembrel: the boot loader on a simulated handheld"};
    app.footer(
        "Examples:\n"
        "  tembrel machines\n"
        "  tembrel settings --storage demo/storage\n"
        "  tembrel boot --machine jornada720 --storage demo/storage --yes\n"
        "  tembrel boot --machine ws003sh --storage cards --set platform=\"Sharp W-ZERO3 (WS003SH)\" \\\n"
        "               --set kernelDirectory='\\Storage Card\\' --set rootDevice=md --no\n");
    MachineChoice machine;
    BootChoice bootChoice;
    auto addMachineOptions = [&](CLI::App* command) {
        command->add_option("--machine", machine.machine, "simulated handheld: a short name or a platform name")
            ->capture_default_str();
        command->add_option("--storage", machine.storage, "host folder that is the object store's root");
        command->add_option("--card", machine.cards,
                            "root folder that is a storage card (default: the folders named like cards)");
        command->add_option("--serial", machine.serial, "copy the serial line to FILE, or - for standard error");
        command->add_option("--disk", machine.disks, "N=IMAGE: a card image as the block device DSKN: (for N:/ roots)");
    };
    CLI::App* bootCommand = app.add_subcommand("boot", "press Boot (the default)");
    addMachineOptions(bootCommand);
    bootCommand->add_option("--set", bootChoice.edits, "FIELD=VALUE: change what a page shows before Boot");
    auto* yes = bootCommand->add_flag("--yes", bootChoice.yes, "answer every question Yes");
    bootCommand->add_flag("--no", bootChoice.no, "answer every question No")->excludes(yes);
    bootCommand->add_flag("--log", bootChoice.log, "\"save to file\": the console goes to bootlog.txt on the card");
    bootCommand->add_option("--executor", bootChoice.afterSwitch.executor,
                            "after the switch: arm runs the loader and the kernel on the emulated core, none stops")
        ->check(CLI::IsMember({"arm", "none"}))
        ->capture_default_str();
    bootCommand->add_option("--instructions", bootChoice.afterSwitch.instructionLimit,
                            "bound on the instructions the emulated core runs")
        ->capture_default_str();
    bootCommand->add_option("--snapshot", bootChoice.afterSwitch.snapshot,
                            "write the machine as the jump left it to FILE (ELF, for qemu-system-arm)");
    bootCommand->add_flag("--qemu", bootChoice.afterSwitch.qemu,
                          "boot the snapshot in qemu-system-arm (collie or mainstone) instead of the emulated core");
    CLI::App* settingsCommand = app.add_subcommand("settings", "show the settings the pages would show");
    addMachineOptions(settingsCommand);
    std::string catRoot, catName;
    CLI::App* catCommand = app.add_subcommand("cat", "read a file through the boot loader's own file sources");
    addMachineOptions(catCommand);
    catCommand->add_option("ROOT", catRoot, "a kernel directory: \\Storage Card\\, 2:/ or http://host:port/")->required();
    catCommand->add_option("NAME", catName, "the file's name under ROOT")->required();
    std::string infoKernel;
    CLI::App* infoCommand = app.add_subcommand("info", "show what the loader would stage for a kernel");
    infoCommand->add_option("--machine", machine.machine, "simulated handheld: a short name or a platform name")
        ->capture_default_str();
    infoCommand->add_option("KERNEL", infoKernel, "an ELF kernel file, plain or gzip")->required();
    app.add_subcommand("machines", "list the simulated handhelds");
    app.require_subcommand(0, 1);
    // Boot is the default: "tembrel --machine x" means "tembrel boot --machine x".
    std::vector<std::string> args(argv + 1, argv + argc);
    bool helpOnly = !args.empty() && (args[0] == "--help" || args[0] == "-h");
    if (!helpOnly && (args.empty() || args[0].rfind("-", 0) == 0)) args.insert(args.begin(), "boot");
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : exitUsage;
    }

    if (app.got_subcommand("machines")) {
        listMachines();
        return checkedOutput(0);
    }
    std::string error;
    if (!setUpMachine(machine, error)) {
        std::fprintf(stderr, "tembrel: %s\n", error.c_str());
        return exitUsage;
    }
    int status = 0;
    if (app.got_subcommand("settings")) {
        showSettings(*BootMenu::instance());
    } else if (app.got_subcommand("info")) {
        status = showKernelInfo(infoKernel);
    } else if (app.got_subcommand("cat")) {
        status = catFile(catRoot, catName);
    } else {
        status = boot(bootChoice);
    }
    shutDown();
    return checkedOutput(status);
}
