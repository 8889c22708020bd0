// oracle_boot: boots a kernel from a storage folder on a sandbox machine up to the
// kernel entry, prints the entry state and writes a span of the machine's physical
// memory to a file, for a checker that knows independently what it must hold.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "host/CodePage.h"
#include "sandbox/Machine.h"
#include "sandbox/MachineSetup.h"
#include "tests/oracle/BootToEntry.h"

namespace {

struct Options {
    MachineChoice machine;
    std::string kernel;
    std::string image;
    bool safetyMessage = false;
    bool pauseBeforeBoot = false;
    std::string from;
    std::string to;
    std::string out;
};

/// [from, to) of the machine's RAM into `path`; false when it is not all RAM.
bool dump(std::uint32_t from, std::uint32_t to, const std::string& path) {
    if (to < from) return false;
    std::vector<char> bytes(to - from);
    if (!sandbox::machine().memory.read(from, bytes.data(), to - from)) return false;
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

int run(const Options& options) {
    std::string error;
    if (!setUpMachine(options.machine, error)) {
        std::fprintf(stderr, "oracle_boot: %s\n", error.c_str());
        return 2;
    }
    BootRequest request{host::fromUtf8(options.kernel), host::fromUtf8(options.image), options.safetyMessage,
                        options.pauseBeforeBoot};
    BootOutcome outcome = bootToKernelEntry(request);
    if (!outcome.entry) {
        std::fprintf(stderr, "oracle_boot: %s\n%s", outcome.failure.c_str(), outcome.transcript.c_str());
        return 1;
    }
    const sandbox::KernelEntry& e = *outcome.entry;
    std::printf("entry=0x%08x r0=0x%08x r1=0x%08x r2=0x%08x sp=0x%08x handover=0x%08x\n", e.entry, e.r0, e.r1, e.r2,
                e.sp, outcome.handoverBlock);
    auto from = static_cast<std::uint32_t>(std::stoul(options.from, nullptr, 0));
    auto to = static_cast<std::uint32_t>(std::stoul(options.to, nullptr, 0));
    if (!dump(from, to, options.out)) {
        std::fprintf(stderr, "oracle_boot: can't write RAM 0x%08x-0x%08x to %s\n", from, to, options.out.c_str());
        return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"oracle_boot: a whole boot up to the kernel entry, and the RAM it left"};
    Options options;
    app.add_option("--machine", options.machine.machine, "machine profile")->required();
    app.add_option("--storage", options.machine.storage, "object store root holding the \"Storage Card\" folder")
        ->required();
    app.add_option("--kernel", options.kernel, "kernel file name on the card")->required();
    app.add_option("--image", options.image, "memory-disk image file name on the card");
    app.add_flag("--safety-message", options.safetyMessage, "\"Safety Message\" on");
    app.add_flag("--pause", options.pauseBeforeBoot, "\"Pause Before Boot\" on (answered Yes)");
    app.add_option("--from", options.from, "first physical address to write out")->required();
    app.add_option("--to", options.to, "physical address behind the last one")->required();
    app.add_option("--out", options.out, "file for the RAM bytes")->required();
    CLI11_PARSE(app, argc, argv);
    int status = run(options);
    BootController::destroyInstance();
    Console::destroyInstance();
    BootMenu::destroyInstance();
    return status;
}
