#include <gtest/gtest.h>

#include "boot/BootMenu.h"
#include "console/SerialConsole.h"
#include "tests/support/SandboxTest.h"

namespace {

const std::string banner("\r\n--------TEMBREL--------\r\n\0", 28);

/// A serial console whose output path is the machine's serial line, as a hardware
/// console's would be.
class LineConsole : public SerialConsole {
public:
    using SerialConsole::toNarrow;
    const char* narrow() const { return narrowBuffer; }

protected:
    void emit() override {
        if (toNarrow()) sandbox::machine().serialLine.send(narrowBuffer);
    }
};

class SerialConsoleTest : public SandboxTest {};

TEST_F(SerialConsoleTest, PortOpensAtTheChosenSpeedWithOneBanner) {
    BootMenu::instance()->preferences.serialSpeed = 57600;
    platform::Handle first = SerialConsole::openPort();
    ASSERT_NE(first, platform::invalidHandle);
    EXPECT_EQ(SerialConsole::openPort(), first);
    EXPECT_EQ(machine.serialLine.transcript(), banner);
    EXPECT_EQ(machine.serialPort.settings.baudRate, 57600u);
    EXPECT_EQ(machine.serialPort.settings.byteSize, 8);  // left as the driver had it
}

TEST_F(SerialConsoleTest, FailedOpenLeavesNoHandleAndTriesAgainLater) {
    struct Fault {
        const char* what;
        bool sandbox::SerialPortState::*flag;
    };
    const Fault faults[] = {{"missing", &sandbox::SerialPortState::missing},
                            {"settings unreadable", &sandbox::SerialPortState::settingsUnreadable},
                            {"settings refused", &sandbox::SerialPortState::settingsRefused}};
    for (const Fault& fault : faults) {
        machine.serialPort.*fault.flag = true;
        EXPECT_EQ(SerialConsole::openPort(), platform::invalidHandle) << fault.what;
        EXPECT_TRUE(machine.handles.empty()) << fault.what << ": a half-opened handle stayed open";
        EXPECT_TRUE(machine.serialLine.transcript().empty()) << fault.what;
        machine.serialPort.*fault.flag = false;
    }
    EXPECT_NE(SerialConsole::openPort(), platform::invalidHandle);
    EXPECT_EQ(machine.serialLine.transcript(), banner);
}

TEST_F(SerialConsoleTest, OpenReportsThePortSettingsOnTheWindow) {
    attachWindow();
    LineConsole console;
    ASSERT_TRUE(console.open());
    EXPECT_EQ(utf8(consolePage.text), "BaudRate 19200, ByteSize 0x8, Parity 0, StopBits 0\n");
    EXPECT_EQ(machine.serialLine.transcript(), banner);

    machine.serialPort.missing = true;
    SerialConsole::forgetPort();
    LineConsole unplugged;
    consolePage.text.clear();
    EXPECT_FALSE(unplugged.open());
    EXPECT_EQ(utf8(consolePage.text), "couldn't open COM1\n");
}

TEST_F(SerialConsoleTest, MessagesOf256BytesOrMoreAreDroppedWhole) {
    LineConsole console;
    console.print(u"%s", std::u16string(255, u'x').c_str());
    EXPECT_EQ(machine.serialLine.transcript(), std::string(255, 'x'));
    console.print(u"%s", std::u16string(256, u'y').c_str());
    EXPECT_EQ(machine.serialLine.transcript(), std::string(255, 'x'));
}

class SerialConsoleJapanese : public SandboxTest {
protected:
    SerialConsoleJapanese() : SandboxTest("ws003sh") {}
};

TEST_F(SerialConsoleJapanese, TheLimitCountsBytesOfTheCodePage) {
    LineConsole console;
    console.print(u"%s", std::u16string(127, u'\u30AB').c_str());  // 254 bytes
    EXPECT_EQ(machine.serialLine.transcript().size(), 254u);
    console.print(u"%s", std::u16string(128, u'\u30AB').c_str());  // 256 bytes
    EXPECT_EQ(machine.serialLine.transcript().size(), 254u);
}

}  // namespace
