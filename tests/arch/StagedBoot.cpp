#include "tests/arch/StagedBoot.h"

#include "arch/Pxa2x0Architecture.h"
#include "arch/Sa11x0Architecture.h"
#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "load/ElfLoader.h"
#include "memory/LockPagesMemoryManager.h"
#include "sandbox/BootHarness.h"
#include "tests/support/MemoryFileManager.h"

namespace {

/// Files by name, each read as MemoryFileManager reads its bytes.
class NamedFiles : public MemoryFileManager {
public:
    NamedFiles(Console** console, const std::map<std::u16string, std::vector<std::uint8_t>>& files)
        : MemoryFileManager(console), files(files) {}
    bool open(const char16_t* name, std::uint32_t flags) override {
        auto it = files.find(name);
        if (it == files.end()) return false;
        bytes = it->second;
        return MemoryFileManager::open(name, flags);
    }

private:
    const std::map<std::u16string, std::vector<std::uint8_t>>& files;
};

/// The controller's part of an attempt, done the way the boot controller does it,
/// with the real components.
class RealPartsController : public BootController {
public:
    explicit RealPartsController(const std::map<std::u16string, std::vector<std::uint8_t>>& files) : files(files) {}

    bool setup() override {
        const Preferences& p = BootMenu::instance()->preferences;
        architectureCode = p.cpuCode == pxa250 || p.cpuCode == pxa270 ? p.cpuCode : sa11x0;
        setRecordText(kernelDirectory, u"\\Storage Card\\");
        setRecordText(kernelName, recordText(p.kernelName));
        hasFileSystemImage = p.rootDevice == Preferences::rootMd ? 1 : 0;
        setRecordText(fileSystemImageName, recordText(p.rootImageName));
        return true;
    }
    bool create() override {
        release();
        if (architectureCode == sa11x0) {
            architecture = new Sa11x0Architecture(&console, &memoryManager);
        } else {
            architecture = new Pxa2x0Architecture(&console, &memoryManager);
        }
        memoryManager = new LockPagesMemoryManager(architecture->lockPagesProcedure(), architecture->unlockPagesProcedure(),
                                                   &console, 4096, 0);
        Console::setInstance(console);
        fileManager = new NamedFiles(&console, files);
        return true;
    }
    bool attachLoader() override {
        delete loader;
        loader = new ElfLoader(&console, &memoryManager);
        return true;
    }

private:
    void release() {
        delete loader;
        delete fileManager;
        delete memoryManager;
        delete architecture;
        loader = nullptr;
        fileManager = nullptr;
        memoryManager = nullptr;
        architecture = nullptr;
    }

    const std::map<std::u16string, std::vector<std::uint8_t>>& files;
};

std::u16string platformName(const sandbox::MachineProfile& profile) { return profile.name; }

}  // namespace

std::string handoverKernelsDir() { return TEMBREL_HANDOVER_KERNELS; }

StagedBoot::StagedBoot(std::string_view profileKey) : SandboxTest(profileKey) {
    attachWindow();
    BootMenu& menu = *BootMenu::instance();
    for (std::int32_t i = 0; menu.platformName(i) != nullptr; ++i) {
        if (platformName(machine.profile) == menu.platformName(i)) menu.selectPlatform(i);
    }
    Preferences& p = menu.preferences;
    setRecordText(p.kernelName, u"korvel");
    p.rootDevice = Preferences::rootMd;
    setRecordText(p.rootImageName, u"miniroot.fs");
    std::string family = sandbox::isStrongArm(machine.profile) ? "sa11x0" : "pxa2x0";
    files[u"korvel"] = readHostFile(handoverKernelsDir() + "/handover-" + family + ".elf");
    files[u"miniroot.fs"] = readHostFile(handoverKernelsDir() + "/miniroot.fs");
    BootController::install(std::make_unique<RealPartsController>(files));
}

std::optional<sandbox::SwitchRecord> StagedBoot::boot() {
    return sandbox::runUntilSwitch([] { BootMenu::instance()->boot(); });
}

std::string StagedBoot::transcript() const { return utf8(consolePage.text); }
