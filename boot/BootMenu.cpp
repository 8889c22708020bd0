#include "boot/BootMenu.h"

#include <new>

#include "platform/ui.h"

namespace {

BootMenu* menu = nullptr;

/// A platform the system refuses to boot, with its reason (null: the default text).
struct UnsupportedPlatform {
    std::uint32_t cpuCode;
    std::uint32_t machineCode;
    const char16_t* message;
};

// Ended by the row whose processor word is 0; no platform is refused at present.
constexpr UnsupportedPlatform unsupportedPlatforms[] = {
    {0, 0, nullptr},
};

const UnsupportedPlatform* findUnsupported(std::uint32_t cpuCode, std::uint32_t machineCode) {
    for (const UnsupportedPlatform* row = unsupportedPlatforms; row->cpuCode != 0; ++row) {
        if (row->cpuCode == cpuCode && row->machineCode == machineCode) return row;
    }
    return nullptr;
}

}  // namespace

BootMenu::BootMenu() {
    if (!loadPreferences()) setDefaults();
    preferences.version = Preferences::currentVersion;
    preferences.recordSize = Preferences::recordBytes;
}

BootMenu* BootMenu::instance() {
    if (menu == nullptr) menu = new (std::nothrow) BootMenu();
    if (menu == nullptr) {
        // Everything that prints reaches the hub without testing it, so one must
        // exist even without memory for it.
        static BootMenu fallback;
        return &fallback;
    }
    return menu;
}

void BootMenu::destroyInstance() {
    delete menu;
    menu = nullptr;
}

void BootMenu::print(const char16_t* text) {
    if (consoleTab != nullptr) consoleTab->print(text, false);
}

void BootMenu::collect() {
    if (mainTab != nullptr) mainTab->collect();
    if (optionTab != nullptr) optionTab->collect();
}

void BootMenu::progress(const char* label) {
    if (rootWindow != nullptr) rootWindow->progress(label);
}

void BootMenu::progressReset() {
    if (rootWindow != nullptr) rootWindow->progressReset();
}

std::int32_t BootMenu::messageBox(const char16_t* text, const char16_t* caption, std::uint32_t style) {
    return platform::messageBox(rootWindow != nullptr ? rootWindow->handle() : nullptr, text, caption, style);
}

void BootMenu::redraw() { platform::updateWindow(rootWindow != nullptr ? rootWindow->handle() : nullptr); }

bool BootMenu::directoryEntry(std::int32_t index, char16_t (&out)[Preferences::textUnits]) const {
    if (index < 0 || index > userDirectoryIndex) return false;
    std::uint32_t id = 10004 + 2 * static_cast<std::uint32_t>(index);
    if (preferences.directorySaved != 0 && index == userDirectoryIndex) {
        setRecordText(out, recordText(preferences.kernelDirectory));
        return true;
    }
    return platform::loadString(id, out, Preferences::textUnits) > 0;
}

std::int32_t BootMenu::currentDirectoryIndex() const {
    return preferences.directorySaved != 0 ? userDirectoryIndex : 0;
}

void BootMenu::setBootHook(void (*routine)(std::uint32_t), std::uint32_t argument) {
    bootHook.routine = routine;
    bootHook.argument = argument;
}

void BootMenu::boot() {
    if (preferences.safetyMessage != 0) {
        const UnsupportedPlatform* refused = findUnsupported(preferences.cpuCode, preferences.machineCode);
        if (refused != nullptr) {
            messageBox(refused->message != nullptr ? refused->message : u"Not supported yet.", u"BOOT FAILED",
                       platform::boxOk | platform::boxIconStop);
            return;
        }
    }
    if (beforeBoot != nullptr) beforeBoot(preferences);
    if (bootHook.routine != nullptr) bootHook.routine(bootHook.argument);
}
