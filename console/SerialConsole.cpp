#include "console/SerialConsole.h"

#include <string_view>

#include "boot/BootMenu.h"
#include "platform/devices.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

platform::Handle processPort = platform::invalidHandle;

// 27 characters and the terminating zero: all 28 bytes go out.
constexpr char banner[] = "\r\n--------TEMBREL--------\r\n";
static_assert(sizeof banner == 28);

}  // namespace

platform::Handle SerialConsole::openPort() {
    if (processPort != platform::invalidHandle) return processPort;
    std::uint32_t speed = BootMenu::instance()->preferences.serialSpeed;
    platform::Handle port = platform::createFile(u"COM1:", platform::genericRead | platform::genericWrite, 0,
                                                 platform::openExisting, 0);
    if (port == platform::invalidHandle) return platform::invalidHandle;
    platform::SerialSettings settings{};
    if (!platform::getSerialSettings(port, &settings)) {
        platform::closeHandle(port);
        return platform::invalidHandle;
    }
    settings.baudRate = speed;
    if (!platform::setSerialSettings(port, &settings)) {
        platform::closeHandle(port);
        return platform::invalidHandle;
    }
    std::uint32_t written = 0;
    platform::writeFile(port, banner, sizeof banner, &written);
    processPort = port;
    return processPort;
}

void SerialConsole::forgetPort() { processPort = platform::invalidHandle; }

bool SerialConsole::open() {
    if (port == platform::invalidHandle) port = openPort();
    if (port == platform::invalidHandle) {
        printToWindow(u"couldn't open COM1\n");
        return false;
    }
    platform::SerialSettings settings{};
    platform::getSerialSettings(port, &settings);
    printToWindow(u"BaudRate %d, ByteSize %#x, Parity %#x, StopBits %#x\n", settings.baudRate, settings.byteSize,
                  settings.parity, settings.stopBits);
    return true;
}

bool SerialConsole::toNarrow() {
    std::u16string_view text(buffer);
    auto length = static_cast<std::int32_t>(text.size());
    std::int32_t bytes = length == 0 ? 0 : platform::wideToNarrow(text.data(), length, nullptr, 0);
    if (static_cast<std::uint32_t>(bytes) + 1 > narrowUnits) return false;
    if (bytes > 0 && platform::wideToNarrow(text.data(), length, narrowBuffer, bytes) != bytes) return false;
    narrowBuffer[bytes] = 0;
    return true;
}
