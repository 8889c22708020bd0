#include <gtest/gtest.h>

#include "boot/BootMenu.h"
#include "tests/support/SandboxTest.h"

namespace {

class BootMenuTest : public SandboxTest {};

int hookCalls = 0;
std::uint32_t hookArgument = 0;
void countingHook(std::uint32_t argument) {
    ++hookCalls;
    hookArgument = argument;
}

TEST_F(BootMenuTest, BootCallsTheHookWithItsArgument) {
    hookCalls = 0;
    BootMenu* menu = BootMenu::instance();
    menu->boot();  // no hook yet: nothing happens
    EXPECT_EQ(hookCalls, 0);
    menu->setBootHook(countingHook, 0x1234);
    for (std::uint32_t safety : {1u, 0u}) {
        menu->preferences.safetyMessage = safety;
        menu->boot();
    }
    EXPECT_EQ(hookCalls, 2);
    EXPECT_EQ(hookArgument, 0x1234u);
    EXPECT_TRUE(machine.boxes.empty());
}

TEST_F(BootMenuTest, ForwardingWithoutAWindowDoesNothing) {
    BootMenu* menu = BootMenu::instance();
    menu->print(u"dropped\n");
    menu->progress("3");
    menu->progressReset();
    menu->collect();
    EXPECT_EQ(menu->messageBox(u"text", u"caption", 0), 1);
    ASSERT_EQ(machine.boxes.size(), 1u);
    EXPECT_EQ(machine.boxes[0].owner, nullptr);
}

TEST_F(BootMenuTest, ForwardingReachesTheWindow) {
    attachWindow();
    BootMenu* menu = BootMenu::instance();
    menu->print(u"shown\n");
    menu->progress("3");
    menu->progressReset();
    menu->messageBox(u"text", u"caption", 0);
    EXPECT_EQ(utf8(consolePage.text), "shown\n");
    EXPECT_EQ(rootWindow.labels, std::vector<std::string>{"3"});
    EXPECT_EQ(rootWindow.resets, 1);
    EXPECT_EQ(machine.boxes[0].owner, rootWindow.handle());
}

}  // namespace
