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
    return std::make_unique<SerialPort>();
}

}  // namespace sandbox
