// Serial port 3 of the SA-11x0, after the platform's driver has set its speed.
#pragma once

#include "console/HardwareConsole.h"

class Sa11x0HardwareConsole : public HardwareConsole {
public:
    explicit Sa11x0HardwareConsole(MemoryManager** memoryManager)
        : HardwareConsole(memoryManager, 0x80050000, 256) {}

    /// Opens COM1 through the driver (speed, banner, settings line), then maps the UART.
    bool open() override;

protected:
    void putChar(char c) override;
};
