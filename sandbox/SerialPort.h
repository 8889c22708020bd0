// "COM1:", the platform's serial-port driver, over the machine's serial line.
#pragma once

#include <memory>

#include "platform/devices.h"
#include "sandbox/OpenObject.h"

namespace sandbox {

/// What the serial driver reports, and the faults a test can give it.
struct SerialPortState {
    platform::SerialSettings settings{9600, 8, 0, 0};  // 8 data bits, no parity, 1 stop bit
    bool missing = false;             // opening "COM1:" fails
    bool settingsUnreadable = false;  // reading the settings fails
    bool settingsRefused = false;     // applying settings fails
};

class SerialPort : public OpenObject {
public:
    bool write(const void* buffer, std::uint32_t length, std::uint32_t& transferred) override;
    bool getSettings(platform::SerialSettings& settings);
    bool setSettings(const platform::SerialSettings& settings);
};

/// The factory registered for "COM1:".
std::unique_ptr<OpenObject> openSerialPort();

}  // namespace sandbox
