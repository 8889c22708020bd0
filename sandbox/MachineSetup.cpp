#include "sandbox/MachineSetup.h"

#include <filesystem>

#include "host/CodePage.h"
#include "host/HostDirectory.h"
#include "sandbox/BlockDevice.h"
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

/// "N=IMAGE" with N from 1 to 9: the image becomes the card in unit N ("DSKN:").
bool attachDiskImage(const std::string& disk, std::string& error) {
    std::size_t equals = disk.find('=');
    std::error_code ignored;
    if (equals != 1 || disk[0] < '1' || disk[0] > '9') {
        error = "--disk takes N=IMAGE with N from 1 to 9, not \"" + disk + "\"";
        return false;
    }
    std::filesystem::path image = host::utf8Path(disk.substr(2));
    if (!std::filesystem::is_regular_file(image, ignored)) {
        error = "disk image \"" + disk.substr(2) + "\" does not exist";
        return false;
    }
    sandbox::attachDisk(static_cast<unsigned>(disk[0] - '0'), image);
    return true;
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
        if (!std::filesystem::is_directory(host::utf8Path(choice.storage), ignored)) {
            error = "storage folder \"" + choice.storage + "\" does not exist";
            return false;
        }
        m.storageRoot = host::utf8Path(choice.storage);
        m.storageCards = choice.cards.empty() ? cardLikeFolders(m.storageRoot) : choice.cards;
    }
    for (const std::string& disk : choice.disks) {
        if (!attachDiskImage(disk, error)) return false;
    }
    if (!choice.serial.empty() && !m.serialLine.copyTo(choice.serial)) {
        error = "cannot write the serial line to \"" + choice.serial + "\"";
        return false;
    }
    return true;
}
