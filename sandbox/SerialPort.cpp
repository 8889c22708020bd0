#include "sandbox/SerialPort.h"

#include <string_view>

#include "platform/files.h"
#include "sandbox/Machine.h"

namespace sandbox {

bool SerialPort::write(const void* buffer, std::uint32_t length, std::uint32_t& transferred) {
    machine().serialLine.send(std::string_view(static_cast<const char*>(buffer), length));
    transferred = length;
    return true;
}

bool SerialPort::getSettings(platform::SerialSettings& settings) {
    const SerialPortState& state = machine().serialPort;
    if (state.settingsUnreadable) return false;
    settings = state.settings;
    return true;
}

bool SerialPort::setSettings(const platform::SerialSettings& settings) {
    SerialPortState& state = machine().serialPort;
    if (state.settingsRefused) return false;
    state.settings = settings;
    return true;
}

std::unique_ptr<OpenObject> openSerialPort() {
    if (machine().serialPort.missing) {
        machine().lastError = platform::errorFileNotFound;
        return nullptr;
    }
    // The driver runs serial port 3 of an SA-11x0 machine as COM1: its transmitter is
    // on from here, which the direct-hardware console relies on.
    Machine& m = machine();
    if (isStrongArm(m.profile)) m.peripherals.uart->writeRegister(0x0C, 0x03, 4);
    return std::make_unique<SerialPort>();
}

}  // namespace sandbox
