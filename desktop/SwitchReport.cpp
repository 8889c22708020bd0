#include "desktop/SwitchReport.h"

#include <windows.h>

#include <cstdio>

#include "boot/StorageDirectory.h"
#include "host/CodePage.h"
#include "host/HostDirectory.h"
#include "sandbox/Machine.h"
#include "sandbox/Preflight.h"
#include "sandbox/Snapshot.h"
#include "sandbox/SwitchModel.h"

namespace {

/// "snapshot.elf" in the host folder of the first storage card, else of the root.
std::filesystem::path defaultSnapshot(const sandbox::Machine& machine) {
    char16_t card[storageNameUnits];
    std::filesystem::path folder = machine.storageRoot;
    if (findStorageDirectory(card)) folder /= std::filesystem::path(reinterpret_cast<const wchar_t*>(card));
    return folder / "snapshot.elf";
}

[[noreturn]] void finish(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    ExitProcess(static_cast<UINT>(status));
}

}  // namespace

void endAtSwitch(const sandbox::SwitchRecord& record, const std::string& snapshot) {
    sandbox::Machine& machine = sandbox::machine();
    std::printf("left the platform: hand-over 0x%08x, tag chain 0x%08x, stack 0x%08x, loader 0x%08x\n",
                record.handoverBlock(), record.tagChain(), record.stackPointer(), record.loader());
    std::fputs(sandbox::installedRamWarning(machine, record).c_str(), stderr);
    std::filesystem::path path =
        snapshot.empty() ? defaultSnapshot(machine) : std::filesystem::path(host::fromUtf8(snapshot));
    sandbox::SnapshotInfo info{};
    std::string error;
    if (!sandbox::writeSnapshot(machine, record, path, info, error)) {
        std::printf("can't write the snapshot: %s\n", error.c_str());
        finish(1);
    }
    std::printf("snapshot written to %s\n", host::utf8Name(path).c_str());
    sandbox::ModelledEntry entry{};
    if (!sandbox::modelKernelEntry(machine, record, entry, error)) {
        std::printf("the second-stage loader would not reach the kernel: %s\n", error.c_str());
        finish(1);
    }
    std::printf("kernel entered at 0x%08x: r0 0x%08x, r1 0x%08x, r2 0x%08x, sp 0x%08x\n", entry.entry, entry.r0,
                entry.r1, entry.r2, entry.sp);
    finish(0);
}
