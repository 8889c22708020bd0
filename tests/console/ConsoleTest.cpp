#include <gtest/gtest.h>

#include "boot/BootMenu.h"
#include "console/Console.h"
#include "tests/support/SandboxTest.h"

namespace {

class ConsoleTest : public SandboxTest {};

/// A console installed for an attempt, as the serial consoles are.
class CapturingConsole : public Console {
public:
    CapturingConsole() { type = serialConsole; }
    std::u16string text;

protected:
    void emit() override { text += buffer; }
};

TEST_F(ConsoleTest, MessagesBeforeTheWindowExistAreDropped) {
    Console::instance()->print(u"early %d\n", 1);
    attachWindow();
    Console::instance()->print(u"late %d\n", 2);
    EXPECT_EQ(utf8(consolePage.text), "late 2\n");
}

TEST_F(ConsoleTest, OnePrintWithTwoLinesIsOneMessage) {
    attachWindow();
    Console::instance()->print(u"one\ntwo\n");
    ASSERT_EQ(consolePage.messages.size(), 1u);
    EXPECT_EQ(utf8(consolePage.messages[0]), "one\ntwo\n");
}

TEST_F(ConsoleTest, InstalledConsoleStaysCurrentUntilReplaced) {
    attachWindow();
    Console* window = Console::instance();
    EXPECT_EQ(window->consoleType(), Console::windowConsole);

    CapturingConsole serial;
    Console::setInstance(&serial);
    EXPECT_EQ(Console::instance(), &serial);
    EXPECT_EQ(Console::instance()->consoleType(), Console::serialConsole);
    Console::instance()->print(u"to serial\n");
    EXPECT_EQ(utf8(serial.text), "to serial\n");
    EXPECT_TRUE(consolePage.text.empty());

    Console::setInstance(window);
    Console::instance()->print(u"to window\n");
    EXPECT_EQ(utf8(consolePage.text), "to window\n");
}

TEST_F(ConsoleTest, DestroyInstanceLeavesAnInstalledConsoleToItsOwner) {
    Console::instance();
    CapturingConsole serial;
    Console::setInstance(&serial);
    Console::destroyInstance();  // destroys the window console only; `serial` stays valid
    Console* fresh = Console::instance();
    EXPECT_NE(fresh, &serial);
    EXPECT_EQ(fresh->consoleType(), Console::windowConsole);
    EXPECT_TRUE(fresh->open());
}

}  // namespace
