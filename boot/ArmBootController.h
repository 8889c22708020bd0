// The boot controller of ARM machines: processor back end, page-locking memory
// manager and console for each attempt.
#pragma once

#include "boot/BootController.h"

class ArmBootController : public BootController {
public:
    ~ArmBootController() override = default;

    bool create() override;
    bool setup() override;

private:
    /// The console for this attempt: the hardware console when asked for and it opens,
    /// else the window console.
    void chooseConsole();
};
