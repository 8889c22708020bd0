// Two Boot presses in one run with the real components: the first is cancelled at the
// last question, the second reaches the kernel.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "platform/ui.h"
#include "sandbox/BootHarness.h"
#include "tests/support/SandboxTest.h"

namespace {

class TwoAttempts : public SandboxTest {
protected:
    TwoAttempts() : SandboxTest("jornada720") {
        addStorageCard("Storage Card");
        std::ifstream kernel(std::string(TEMBREL_HANDOVER_KERNELS) + "/handover-sa11x0.elf", std::ios::binary);
        storage.write("Storage Card/korvel", std::string(std::istreambuf_iterator<char>(kernel), {}));
        attachWindow();
        BootController::instance();
        Preferences& p = BootMenu::instance()->preferences;
        BootMenu::instance()->selectPlatform(8);
        setRecordText(p.kernelDirectory, u"\\Storage Card\\");
        setRecordText(p.kernelName, u"korvel");
        p.serialConsole = 1;  // the hardware console, over serial port 3
    }

    static std::size_t count(const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }
};

TEST_F(TwoAttempts, BuildLineTwiceBannerOnceAndTheSecondReachesTheKernel) {
    machine.boxAnswers = {platform::answerNo};
    EXPECT_FALSE(sandbox::runUntilSwitch([] { BootMenu::instance()->boot(); }));
    EXPECT_EQ(utf8(machine.boxes.back().text), "Canceled by user.\n");

    machine.boxAnswers = {platform::answerYes};
    std::optional<sandbox::SwitchRecord> left = sandbox::runUntilSwitch([] { BootMenu::instance()->boot(); });
    ASSERT_TRUE(left) << utf8(consolePage.text);

    const std::string serial = machine.serialLine.transcript();
    EXPECT_EQ(count(serial, "--------TEMBREL--------"), 1u);
    EXPECT_EQ(count(serial, "tembrel build number: 15\r\n"), 2u);
    EXPECT_EQ(count(serial, "\n"), count(serial, "\r\n")) << "every line feed follows a carriage return";
    EXPECT_NE(serial.find("console = 2\r\n"), std::string::npos);
}

}  // namespace
