// The configuration file as it is read from a storage card.
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "boot/BootMenu.h"
#include "sandbox/Machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path root = [] {
        auto folder = std::filesystem::temp_directory_path() / "tembrel-fuzz-config";
        std::filesystem::create_directories(folder / "Storage Card");
        return folder;
    }();
    sandbox::Machine& m = sandbox::resetMachine(sandbox::machineProfiles().front());
    m.storageRoot = root;
    m.storageCards = {"Storage Card"};
    {
        std::ofstream out(root / "Storage Card" / "tembrel.cnf", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    BootMenu::destroyInstance();
    BootMenu* menu = BootMenu::instance();
    // Whatever was read must leave a record the rest of the system can use.
    if (menu->preferences.recordSize != Preferences::recordBytes) __builtin_trap();
    menu->savePreferences();
    BootMenu::destroyInstance();
    return 0;
}
