// The Option page: auto boot, video, pause, debug info, safety questions and the
// extra kernel options.
#pragma once

#include "boot/WindowLinks.h"
#include "menu/TabPage.h"

class OptionTab : public TabPage, public SettingsPageLink {
public:
    OptionTab(Application& application, TabControl& tabControl);

    void init(HWND dialog) override;
    void command(WORD id, WORD code) override;
    void collect() override;

private:
    void createUpDown();
    void enableSeconds();

    HWND seconds_ = nullptr;
    HWND upDown_ = nullptr;
};
