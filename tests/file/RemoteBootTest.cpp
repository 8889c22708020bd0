// Boots the hand-over test kernel, with an "md" image, from a UFS partition of a card
// made with the real tools and from a real HTTP server, on both processor families:
// the real Parts stage it, the emulated core runs the loader and the kernel, and the
// kernel's own report decides.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "sandbox/BlockDevice.h"
#include "sandbox/BootHarness.h"
#include "sandbox/MachineExecution.h"
#include "tests/file/DiskImages.h"
#include "tests/file/HttpServers.h"
#include "tests/support/SandboxTest.h"

namespace {

struct Family {
    const char* profile;
    const char* kernel;
    std::int32_t platformIndex;
};

const Family families[] = {{"jornada720", "handover-sa11x0.elf", 8}, {"ws003sh", "handover-pxa2x0.elf", 0}};

void gzipInto(const std::string& source, const std::filesystem::path& target) {
    std::string command = "gzip -9n -c '" + source + "' > '" + target.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class RemoteBoot : public SandboxTest, public ::testing::WithParamInterface<Family> {
protected:
    RemoteBoot() : SandboxTest(GetParam().profile) {
        attachWindow();
        const std::string kernels = TEMBREL_HANDOVER_KERNELS;
        gzipInto(kernels + "/" + GetParam().kernel, served.path() / "korvel.gz");
        gzipInto(kernels + "/miniroot.fs", served.path() / "miniroot.fs");
    }

    /// Runs the boot sequence with the kernel directory `root`, kernel `name` and the
    /// "md" image, up to the switch.
    std::optional<sandbox::SwitchRecord> attempt(const char16_t* root, const char16_t* name) {
        BootController::instance();
        BootMenu& menu = *BootMenu::instance();
        menu.selectPlatform(GetParam().platformIndex);
        setRecordText(menu.preferences.kernelDirectory, root);
        setRecordText(menu.preferences.kernelName, name);
        menu.preferences.rootDevice = Preferences::rootMd;
        setRecordText(menu.preferences.rootImageName, std::u16string(name).find(u'/') == 0 ? u"/miniroot.fs" : u"miniroot.fs");
        menu.preferences.pauseBeforeBoot = 0;
        return sandbox::runUntilSwitch([] { BootMenu::instance()->boot(); });
    }

    /// Boots as attempt() does, runs the kernel and returns what it reported.
    std::string boot(const char16_t* root, const char16_t* name) {
        std::optional<sandbox::SwitchRecord> left = attempt(root, name);
        if (!left) return "no switch: " + utf8(consolePage.text);
        sandbox::ExecutorOptions options;
        options.runKernel = true;
        sandbox::ExecutionReport report = sandbox::runAfterSwitch(machine, *left, options);
        EXPECT_EQ(report.outcome, sandbox::ExecutionReport::Outcome::kernelExited);
        EXPECT_EQ(report.semihosting.exitStatus, 0);
        return machine.peripherals.serialOutput;
    }

    TempFolder served;
};

TEST_P(RemoteBoot, FromAUfsPartition) {
    std::filesystem::path tree = served.path();
    std::filesystem::path image = served.path() / ".." / (served.path().filename().string() + ".ufs");
    std::filesystem::path card = image;
    card += ".card";
    // The label editor works in whole cylinders (16 heads, 63 sectors): make the
    // partition larger than one.
    writeFile(tree / "padding", patternBytes(1 << 20, 7));
    makeUfs(tree, image);
    makeLabelledCard(card, image);
    sandbox::attachDisk(2, card);
    std::string report = boot(u"2:/", u"korvel.gz");
    EXPECT_NE(report.find("argv[1]=m=miniroot.fs"), std::string::npos) << report;
    EXPECT_NE(report.find("image: ok"), std::string::npos) << report;
    EXPECT_NE(report.find("result: ok"), std::string::npos) << report;
    std::filesystem::remove(image);
    std::filesystem::remove(card);
}

std::u16string httpRoot(const ServerProcess& server) {
    std::string port = std::to_string(server.port());
    return u"http://127.0.0.1:" + std::u16string(port.begin(), port.end()) + u"/";
}

TEST_P(RemoteBoot, FromAnHttpServer) {
    std::unique_ptr<ServerProcess> server = startPythonServer(served.path(), served.path());
    ASSERT_NE(server, nullptr);
    std::string report = boot(httpRoot(*server).c_str(), u"/korvel.gz");
    EXPECT_NE(report.find("argv[1]=m=/miniroot.fs"), std::string::npos) << report;
    EXPECT_NE(report.find("image: ok"), std::string::npos) << report;
    EXPECT_NE(report.find("result: ok"), std::string::npos) << report;
}

// The server's 404 for the image stops the boot at the image: it must not go on with
// an image of 0 bytes.
TEST_P(RemoteBoot, AnImageTheServerLacksStopsTheBoot) {
    std::filesystem::remove(served.path() / "miniroot.fs");
    std::unique_ptr<ServerProcess> server = startNginxServer(served.path(), served.path());
    ASSERT_NE(server, nullptr);
    EXPECT_FALSE(attempt(httpRoot(*server).c_str(), u"/korvel.gz")) << utf8(consolePage.text);
    ASSERT_EQ(machine.boxes.size(), 1u);
    EXPECT_EQ(utf8(machine.boxes[0].caption), "BOOT FAILED");
    EXPECT_EQ(utf8(machine.boxes[0].text), "Can't open file system image.\n");
    EXPECT_NE(utf8(consolePage.text).find("server replied \"HTTP/1.1 404 Not Found\".\n"), std::string::npos)
        << utf8(consolePage.text);
}

INSTANTIATE_TEST_SUITE_P(Families, RemoteBoot, ::testing::ValuesIn(families),
                         [](const auto& info) { return std::string(info.param.profile).substr(0, 7) == "jornada" ? std::string("SA11x0") : std::string("PXA2x0"); });

}  // namespace
