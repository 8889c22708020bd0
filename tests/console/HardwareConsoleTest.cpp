#include <gtest/gtest.h>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/HardwareConsole.h"
#include "console/Pxa2x0HardwareConsole.h"
#include "sandbox/SerialPortModels.h"
#include "tests/support/PagePoolTest.h"

namespace {

const std::string banner("\r\n--------TEMBREL--------\r\n\0", 28);

class Sa11x0Console : public PagePoolTest {
protected:
    Sa11x0Console() : PagePoolTest("jornada720") {}
    ~Sa11x0Console() override { HardwareConsole::destroyInstance(); }
};

TEST_F(Sa11x0Console, BannerThenEveryMessageWithCarriageReturns) {
    HardwareConsole* console = HardwareConsole::instance(&memoryManager, BootController::sa11x0);
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->consoleType(), Console::serialConsole);
    ASSERT_TRUE(console->open());
    EXPECT_EQ(takeText(), "BaudRate 19200, ByteSize 0x8, Parity 0, StopBits 0\n");
    console->print(u"one\ntwo %d\n", 2);
    EXPECT_EQ(machine.serialLine.transcript(), banner + "one\r\ntwo 2\r\n");
    EXPECT_TRUE(consolePage.text.empty()) << "serial messages do not reach the window";
    EXPECT_EQ(HardwareConsole::instance(&memoryManager, 0), console) << "one console per process";
}

TEST_F(Sa11x0Console, WithoutCom1ItDoesNotOpen) {
    machine.serialPort.missing = true;
    HardwareConsole* console = HardwareConsole::instance(&memoryManager, BootController::sa11x0);
    EXPECT_FALSE(console->open());
    EXPECT_EQ(takeText(), "couldn't open COM1\n");
}

TEST_F(Sa11x0Console, FailedMappingDoesNotOpen) {
    machine.memory.mapFails = true;
    HardwareConsole* console = HardwareConsole::instance(&memoryManager, BootController::sa11x0);
    EXPECT_FALSE(console->open());
    EXPECT_NE(takeText().find("can't map physical address 0x80050000\n"), std::string::npos);
    console->print(u"dropped\n");
    EXPECT_EQ(machine.serialLine.transcript(), banner);
}

TEST_F(Sa11x0Console, DestroyedAfterTheMemoryManagerLeavesItAlone) {
    HardwareConsole* console = HardwareConsole::instance(&memoryManager, BootController::sa11x0);
    ASSERT_TRUE(console->open());
    delete memoryManager;  // the controller's destruction order: the manager goes first
    memoryManager = nullptr;
    HardwareConsole::destroyInstance();  // must not reach the deleted manager (ASan)
}

TEST_F(Sa11x0Console, ReopeningReleasesTheEarlierMapping) {
    HardwareConsole* console = HardwareConsole::instance(&memoryManager, BootController::sa11x0);
    std::size_t blocks = machine.memory.blockCount();
    ASSERT_TRUE(console->open());
    ASSERT_TRUE(console->open());
    ASSERT_TRUE(console->open());
    EXPECT_EQ(machine.memory.blockCount(), blocks + 1);
}

TEST(HardwareConsoleChoice, OtherProcessorsHaveNone) {
    MemoryManager* none = nullptr;
    EXPECT_EQ(HardwareConsole::instance(&none, 0x0C000000), nullptr);
    EXPECT_EQ(HardwareConsole::instance(&none, BootController::sa11x0), nullptr) << "the choice is made once";
    HardwareConsole::destroyInstance();
}

class Pxa2x0Console : public PagePoolTest {
protected:
    Pxa2x0Console() : PagePoolTest("ws003sh") {}
    sandbox::Pxa2x0UartModel& uart() { return static_cast<sandbox::Pxa2x0UartModel&>(*machine.peripherals.uart); }
    ~Pxa2x0Console() override { HardwareConsole::destroyInstance(); }
};

TEST_F(Pxa2x0Console, ProgramsTheUartForTheChosenSpeed) {
    const std::pair<std::uint32_t, std::uint8_t> speeds[] = {
        {19200, 48}, {38400, 24}, {57600, 16}, {115200, 8}, {9600, 96}, {4800, 96}};
    HardwareConsole* console = HardwareConsole::instance(&memoryManager, BootController::pxa270);
    ASSERT_NE(console, nullptr);
    for (const auto& [speed, divisor] : speeds) {
        BootMenu::instance()->preferences.serialSpeed = speed;
        ASSERT_TRUE(console->open());
        EXPECT_EQ(uart().divisorValue(), divisor) << speed;
        EXPECT_EQ(uart().registerValue(0x0C), 0x03u);  // LCR: 8N1, latch closed
        EXPECT_EQ(uart().registerValue(0x10), 0x03u);  // MCR
        EXPECT_EQ(uart().registerValue(0x08), 0x00u);  // FCR: FIFOs off
        EXPECT_EQ(uart().registerValue(0x04), 0x40u);  // IER: unit enabled
    }
    EXPECT_TRUE(machine.serialLine.transcript().empty()) << "the PXA2x0 console does not use COM1";
    console->print(u"hello\n");
    EXPECT_EQ(machine.serialLine.transcript(), "hello\r\n");
}

TEST_F(Pxa2x0Console, RoutesTheFfuartPinsKeepingTheOthers) {
    sandbox::GpioModel& gpio = *machine.peripherals.gpio;
    gpio.writeRegister(0x6C, 0xA5000F0A, 4);  // GAFR3_L: other pins' functions set, bits 7-4 clear
    HardwareConsole* console = HardwareConsole::instance(&memoryManager, BootController::pxa250);
    ASSERT_TRUE(console->open());
    EXPECT_EQ(gpio.readRegister(0x6C, 4), 0xA5000FFAu);
    EXPECT_EQ(gpio.function(98), 3u);
    EXPECT_EQ(gpio.function(99), 3u);
}

TEST_F(Pxa2x0Console, UnmappableGpioLeavesItClosed) {
    machine.memory.mapFails = true;
    HardwareConsole* console = HardwareConsole::instance(&memoryManager, BootController::pxa270);
    EXPECT_FALSE(console->open());
    console->print(u"dropped\n");
    EXPECT_TRUE(machine.serialLine.transcript().empty());
}

}  // namespace
