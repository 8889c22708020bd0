// The process-wide hub between the window and the boot core.
#pragma once

#include <cstdint>

#include "boot/Preferences.h"
#include "boot/WindowLinks.h"

/// A routine stored with its argument word.
struct Hook {
    void (*routine)(std::uint32_t argument) = nullptr;
    std::uint32_t argument = 0;
};

/// A Console-page debug button routine: (argument, low 8 bits of debugFlags).
struct DebugHook {
    void (*routine)(std::uint32_t argument, std::uint32_t flags) = nullptr;
    std::uint32_t argument = 0;
};

class BootMenu {
public:
    /// Index of the kernel-directory choice that holds the user's own directory.
    static constexpr std::int32_t userDirectoryIndex = 13;

    /// The BootMenu; its creation loads the Preferences or sets the defaults.
    static BootMenu* instance();
    static void destroyInstance();

    virtual ~BootMenu() = default;
    BootMenu(const BootMenu&) = delete;
    BootMenu& operator=(const BootMenu&) = delete;

    // Forwarding to the window; each does nothing while its target is missing.
    void print(const char16_t* text);
    void collect();
    void progress(const char* label);
    void progressReset();

    /// Shows a modal message box owned by the root window; returns the answer.
    std::int32_t messageBox(const char16_t* text, const char16_t* caption, std::uint32_t style);
    /// Has the root window repainted.
    void redraw();

    /// Kernel-directory choice `index` (0 to 13) into `out`; false when there is none.
    bool directoryEntry(std::int32_t index, char16_t (&out)[Preferences::textUnits]) const;
    std::int32_t currentDirectoryIndex() const;

    void setBootHook(void (*routine)(std::uint32_t), std::uint32_t argument);
    /// The boot entry: the unsupported-platform check, then the boot hook.
    void boot();

    /// Writes the kernel's argument vector at `argv` (physically `argvPhysical`) within
    /// `capacity` bytes; returns the argument count.
    std::int32_t buildKernelArguments(std::uint8_t* argv, std::uint32_t argvPhysical, std::uint32_t capacity);

    // The platform list (selectable rows of the platform table).
    const char16_t* platformName(std::int32_t index) const;
    void selectPlatform(std::int32_t index);
    std::int32_t currentPlatformIndex() const;

    // The configuration file on the first storage card.
    bool loadPreferences();
    bool savePreferences();
    void setDefaults();
    /// The defaults into any record; `kernelDirectory`, `kernelName`, `loadDebugInfo`,
    /// `version` and `recordSize` are left alone.
    static void setDefaults(Preferences& record);

    RootWindowLink* rootWindow = nullptr;
    SettingsPageLink* mainTab = nullptr;
    SettingsPageLink* optionTab = nullptr;
    ConsolePageLink* consoleTab = nullptr;
    Preferences preferences{};
    Hook bootHook;
    /// Shown the Preferences of each attempt before the boot hook runs; a front end
    /// on a simulated machine warns there about a platform the machine is not. It
    /// belongs to the process, so a front end can set it before the BootMenu exists.
    static inline void (*beforeBoot)(const Preferences& preferences) = nullptr;
    DebugHook debugHooks[4];
    std::uint32_t debugFlags = 0;

private:
    BootMenu();
};
