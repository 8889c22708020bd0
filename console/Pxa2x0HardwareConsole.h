// The full-function UART of the PXA2x0, programmed here without the platform's driver.
#pragma once

#include "console/HardwareConsole.h"

class Pxa2x0HardwareConsole : public HardwareConsole {
public:
    explicit Pxa2x0HardwareConsole(MemoryManager** memoryManager)
        : HardwareConsole(memoryManager, 0x40100000, 256) {}

    /// Routes the FFUART's pins, maps the UART and programs it for the Preferences'
    /// speed, 8 data bits, no parity, 1 stop bit.
    bool open() override;

    /// The divisor-latch value for a speed: 921600 / speed for the speeds offered,
    /// 96 (9600 bits per second) for any other.
    static std::uint8_t divisorFor(std::uint32_t speed);

protected:
    void putChar(char c) override;

private:
    /// Sets alternate function 3 on GPIO 98 and 99 (FFUART RTS and TXD). False when
    /// the GPIO block cannot be mapped; nothing is written then.
    bool routePins();
};
