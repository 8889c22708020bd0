#include "tests/support/SandboxTest.h"

#include <filesystem>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "console/SerialConsole.h"
#include "host/CodePage.h"
#include "host/HostDirectory.h"
#include "sandbox/MachineProfile.h"

namespace {

const sandbox::MachineProfile& profileFor(std::string_view key) {
    const sandbox::MachineProfile* profile = sandbox::findProfile(key);
    if (profile == nullptr) throw std::runtime_error("unknown machine profile");
    return *profile;
}

void resetSingletons() {
    BootController::destroyInstance();
    Console::destroyInstance();
    BootMenu::destroyInstance();
    SerialConsole::forgetPort();
}

}  // namespace

void RecordingConsolePage::print(const char16_t* text, bool) {
    this->text += text;
    messages.emplace_back(text);
}

void RecordingRootWindow::progress(const char* label) { labels.emplace_back(label); }
void RecordingRootWindow::progressReset() { ++resets; }

SandboxTest::SandboxTest(std::string_view profileKey) : machine(sandbox::resetMachine(profileFor(profileKey))) {
    resetSingletons();
    machine.storageRoot = storage.path();
}

SandboxTest::~SandboxTest() {
    resetSingletons();
    sandbox::resetMachine(sandbox::machineProfiles().front());
}

void SandboxTest::addStorageCard(const std::string& name) {
    std::filesystem::create_directories(storage.path() / host::utf8Path(name));
    machine.storageCards.push_back(name);
}

void SandboxTest::attachWindow() {
    BootMenu* menu = BootMenu::instance();
    menu->consoleTab = &consolePage;
    menu->rootWindow = &rootWindow;
}

std::string utf8(std::u16string_view text) { return host::toUtf8(std::u16string(text)); }
