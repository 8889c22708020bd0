// The configuration file as it is read from a storage card. The file is held in the
// machine's memory, so that an input costs no host file.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "boot/BootMenu.h"
#include "sandbox/Machine.h"

namespace {

constexpr char16_t fileName[] = u"\\Storage Card\\tembrel.cnf";

/// A machine with one (empty) storage card, made once: the card's folder is the only
/// thing on the host.
sandbox::Machine& cardMachine() {
    static sandbox::Machine& machine = [] () -> sandbox::Machine& {
        auto root = std::filesystem::temp_directory_path() / "tembrel-fuzz-config";
        std::filesystem::create_directories(root / "Storage Card");
        sandbox::Machine& m = sandbox::resetMachine(sandbox::machineProfiles().front());
        m.storageRoot = root;
        m.storageCards = {"Storage Card"};
        return m;
    }();
    return machine;
}

/// The record a BootMenu must hold after reading `data`: the stored bytes (up to the
/// record's size or the stored size), the defaults beyond, and the current version and
/// size. A file cut short of the size its header claims was torn while it was saved,
/// and gives the defaults.
Preferences expected(const std::uint8_t* data, std::size_t size) {
    Preferences record{};
    BootMenu::setDefaults(record);
    std::uint32_t magic = 0;
    std::uint32_t stored = 0;
    if (size >= 12) {
        std::memcpy(&magic, data, 4);
        std::memcpy(&stored, data + 8, 4);
    }
    std::size_t bytes = std::min<std::size_t>(stored, Preferences::recordBytes);
    if (magic == Preferences::magicValue && size >= bytes) std::memcpy(&record, data, bytes);
    record.version = Preferences::currentVersion;
    record.recordSize = Preferences::recordBytes;
    return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sandbox::Machine& m = cardMachine();
    m.memoryFiles[fileName] = std::make_shared<const std::vector<std::uint8_t>>(data, data + size);
    BootMenu::destroyInstance();
    BootMenu* menu = BootMenu::instance();
    Preferences wanted = expected(data, size);
    if (std::memcmp(&menu->preferences, &wanted, sizeof wanted) != 0) __builtin_trap();

    // What the window shows from the record must stay in bounds, whatever the file held.
    char16_t directory[Preferences::textUnits];
    menu->directoryEntry(menu->currentDirectoryIndex(), directory);
    if (menu->platformName(menu->currentPlatformIndex()) == nullptr) __builtin_trap();
    BootMenu::destroyInstance();
    return 0;
}
