#include "tests/oracle/BootToEntry.h"

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "host/CodePage.h"
#include "sandbox/BootHarness.h"
#include "sandbox/MachineExecution.h"

namespace {

/// Keeps what the Console page would show, for the report of a failed boot.
class TranscriptPage : public ConsolePageLink {
public:
    void print(const char16_t* text, bool) override { transcript += text; }
    std::u16string transcript;
};

/// The Preferences of the request, on the platform of the current machine.
void choose(BootMenu& menu, const BootRequest& request) {
    for (std::int32_t i = 0; menu.platformName(i) != nullptr; ++i) {
        if (std::u16string_view(menu.platformName(i)) == sandbox::machine().profile.name) menu.selectPlatform(i);
    }
    Preferences& p = menu.preferences;
    setRecordText(p.kernelDirectory, u"\\Storage Card\\");
    p.directorySaved = 1;
    setRecordText(p.kernelName, request.kernelName);
    p.kernelNameSaved = 1;
    p.rootDevice = request.imageName.empty() ? Preferences::rootWd : Preferences::rootMd;
    if (!request.imageName.empty()) setRecordText(p.rootImageName, request.imageName);
    p.safetyMessage = request.safetyMessage ? 1 : 0;
    p.pauseBeforeBoot = request.pauseBeforeBoot ? 1 : 0;
}

std::string boxesShown() {
    std::string boxes;
    for (const sandbox::MessageBoxRecord& box : sandbox::machine().boxes) {
        boxes += "[" + host::toUtf8(box.caption) + "] " + host::toUtf8(box.text) + "\n";
    }
    return boxes;
}

}  // namespace

BootOutcome bootToKernelEntry(const BootRequest& request) {
    TranscriptPage page;
    BootMenu* menu = BootMenu::instance();
    menu->consoleTab = &page;
    choose(*menu, request);
    Console::instance();
    BootController::instance();
    std::optional<sandbox::SwitchRecord> left = sandbox::runUntilSwitch([menu] { menu->boot(); });
    menu->consoleTab = nullptr;

    BootOutcome outcome;
    outcome.transcript = host::toUtf8(page.transcript) + boxesShown();
    if (!left) {
        outcome.failure = "the boot did not reach the switch";
        return outcome;
    }
    outcome.handoverBlock = left->handoverBlock();
    sandbox::ExecutionReport report = sandbox::runAfterSwitch(sandbox::machine(), *left, {});
    if (report.outcome != sandbox::ExecutionReport::Outcome::kernelEntered || !report.kernelEntry) {
        outcome.failure = "the second-stage loader did not reach the kernel: " + sandbox::describe(report);
        return outcome;
    }
    outcome.entry = report.kernelEntry;
    return outcome;
}
