// The serial-port part of the devices role.
#include "platform/devices.h"
#include "platform/files.h"
#include "sandbox/Machine.h"
#include "sandbox/SerialPort.h"

namespace {

sandbox::SerialPort* serialPort(platform::Handle handle) {
    auto* port = dynamic_cast<sandbox::SerialPort*>(sandbox::machine().object(handle));
    if (port == nullptr) sandbox::machine().lastError = platform::errorInvalidHandle;
    return port;
}

}  // namespace

namespace platform {

bool getSerialSettings(Handle port, SerialSettings* settings) {
    sandbox::SerialPort* device = serialPort(port);
    return device != nullptr && settings != nullptr && device->getSettings(*settings);
}

bool setSerialSettings(Handle port, const SerialSettings* settings) {
    sandbox::SerialPort* device = serialPort(port);
    return device != nullptr && settings != nullptr && device->setSettings(*settings);
}

}  // namespace platform
