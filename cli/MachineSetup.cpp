#include "cli/MachineSetup.h"

#include <filesystem>

#include "host/posix/CodePage.h"
#include "host/posix/HostDirectory.h"
#include "sandbox/Machine.h"
#include "sandbox/MachineProfile.h"

namespace {

const sandbox::MachineProfile* profileNamed(const std::string& name) {
    if (const sandbox::MachineProfile* profile = sandbox::findProfile(name)) return profile;
    std::u16string wide = host::fromUtf8(name);
    for (const sandbox::MachineProfile& profile : sandbox::machineProfiles()) {
        if (wide == profile.name) return &profile;
    }
    return nullptr;
}

/// Root folders named like the device's cards ("Storage Card", "ﾒﾓﾘ ｶｰﾄﾞ", ...).
std::vector<std::string> cardLikeFolders(const std::filesystem::path& root) {
    std::vector<std::string> cards;
    for (const host::DirectoryEntry& entry : host::listDirectory(root)) {
        const std::string& n = entry.name;
        bool cardName = n.find("Card") != std::string::npos || n.find("ｶｰﾄﾞ") != std::string::npos ||
                        n.find("カード") != std::string::npos;
        if (entry.isDirectory && cardName) cards.push_back(n);
    }
    return cards;
}

}  // namespace

bool setUpMachine(const MachineChoice& choice, std::string& error) {
    const sandbox::MachineProfile* profile = profileNamed(choice.machine);
    if (profile == nullptr) {
        error = "no machine is named \"" + choice.machine + "\" (see: tembrel machines)";
        return false;
    }
    sandbox::Machine& m = sandbox::resetMachine(*profile);
    if (!choice.storage.empty()) {
        std::error_code ignored;
        if (!std::filesystem::is_directory(choice.storage, ignored)) {
            error = "storage folder \"" + choice.storage + "\" does not exist";
            return false;
        }
        m.storageRoot = choice.storage;
        m.storageCards = choice.cards.empty() ? cardLikeFolders(m.storageRoot) : choice.cards;
    }
    if (!choice.serial.empty() && !m.serialLine.copyTo(choice.serial)) {
        error = "cannot write the serial line to \"" + choice.serial + "\"";
        return false;
    }
    return true;
}
