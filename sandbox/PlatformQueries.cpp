// The queries role: the machine's version, system information, time zone and display.
#include "platform/queries.h"
#include "sandbox/Machine.h"

namespace platform {

bool getVersion(VersionRecord* record) {
    if (record == nullptr) return false;
    *record = sandbox::machine().version;
    return true;
}

void getSystemInfo(SystemInfo* info) {
    if (info != nullptr) *info = sandbox::machine().systemInfo;
}

std::uint32_t getTimeZoneInformation(TimeZoneInfo* info) {
    const sandbox::Machine& m = sandbox::machine();
    if (info != nullptr) *info = m.timeZone;
    return m.timeZoneState;
}

std::int32_t displayCapability(DisplayCapability capability) {
    const sandbox::Machine& m = sandbox::machine();
    switch (capability) {
        case DisplayCapability::width: return m.displayWidth;
        case DisplayCapability::height: return m.displayHeight;
        case DisplayCapability::bitsPerPixel: return m.displayDepth;
        case DisplayCapability::pixelsPerInch:
        case DisplayCapability::pixelsPerInchY: return m.displayDpi;
    }
    return 0;
}

void debugOutput(const char16_t* text) {
    if (text != nullptr) sandbox::machine().debugLog += text;
}

}  // namespace platform
