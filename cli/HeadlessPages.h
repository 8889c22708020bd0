// The Main and Option pages without a window: their controls as values, filled from
// the Preferences as the pages' init does, edited from the command line, and
// collected back as the pages' collect does.
#pragma once

#include <cstdint>
#include <string>

#include "boot/BootMenu.h"
#include "boot/WindowLinks.h"

struct PageControls {
    std::u16string directory;     // combo 1001
    std::u16string kernelName;    // edit 1003
    std::int32_t platform = 0;    // platform index selected in combo 1002
    std::uint32_t rootDevice = 0;  // radios 101-104
    std::uint32_t askName = 0, kernelDebugger = 0, verbose = 0, singleUser = 0, serialConsole = 0;
    std::u16string rootImageName;  // edit 105
    std::u16string serialSpeed;    // combo 154
    bool autoBoot = false;         // check 200
    std::u16string autoBootSeconds;  // edit 2000
    std::uint32_t reverseVideo = 0, pauseBeforeBoot = 0, loadDebugInfo = 0, safetyMessage = 0;
    std::u16string extraKernelOptions;  // edit 206
};

class HeadlessPages : public SettingsPageLink {
public:
    /// Shows the Preferences on the controls.
    explicit HeadlessPages(BootMenu& menu);

    /// Applies one "FIELD=VALUE" edit to the controls. False, with `error` set, for an
    /// unknown field or a value the field cannot take.
    bool edit(const std::string& assignment, std::string& error);

    /// Copies the controls into the Preferences (Main's collect, then Option's).
    void collect() override;

    PageControls controls;

private:
    BootMenu& menu_;
};
