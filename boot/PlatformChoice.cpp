// The BootMenu's platform list over the selectable rows of the platform table.
#include "boot/BootMenu.h"
#include "boot/PlatformTable.h"

const char16_t* BootMenu::platformName(std::int32_t index) const {
    const PlatformEntry* entry = selectablePlatform(index);
    return entry != nullptr ? entry->name : nullptr;
}

void BootMenu::selectPlatform(std::int32_t index) {
    const PlatformEntry* entry = selectablePlatform(index);
    if (entry == nullptr) return;
    preferences.cpuCode = entry->id.cpuCode;
    preferences.machineCode = entry->id.machineCode;
}

std::int32_t BootMenu::currentPlatformIndex() const {
    for (std::int32_t index = 0; index < selectablePlatformCount; ++index) {
        const PlatformEntry* entry = selectablePlatform(index);
        if (entry->id.cpuCode == preferences.cpuCode && entry->id.machineCode == preferences.machineCode) return index;
    }
    return 0;
}
