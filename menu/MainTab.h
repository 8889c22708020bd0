// The Main page: kernel directory and name, platform, root file system, boot flags
// and serial speed.
#pragma once

#include <cstdint>
#include <memory>

#include "boot/WindowLinks.h"
#include "menu/TabPage.h"

class MainTab : public TabPage, public SettingsPageLink {
public:
    MainTab(Application& application, TabControl& tabControl);

    void init(HWND dialog) override;
    void command(WORD id, WORD code) override;
    void collect() override;

    /// A platform as the list shows it: its table index and display name.
    struct PlatformEntry {
        std::int32_t index;
        const char16_t* name;
    };

private:
    void fillDirectories();
    void fillPlatforms();
    void placeOptionBoxes();
    void fillSerialSpeeds();
    void enableImageName();
    void enableSerialSpeed();

    HWND imageName_ = nullptr;
    HWND serialSpeed_ = nullptr;
    std::unique_ptr<PlatformEntry[]> platforms_;
};
