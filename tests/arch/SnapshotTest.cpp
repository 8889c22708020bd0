// The snapshot at the switch, and the same hand-over booted from it in QEMU's collie
// and mainstone models.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "arch/ArmRoutinesCode.h"
#include "sandbox/QemuRun.h"
#include "sandbox/Snapshot.h"
#include "sandbox/SnapshotShimCode.h"
#include "tests/arch/StagedBoot.h"
#include "tests/support/MemoryFileManager.h"

namespace {

struct Family {
    const char* profile;
    friend void PrintTo(const Family& f, std::ostream* out) { *out << f.profile; }
};

class SnapshotTest : public StagedBoot, public ::testing::WithParamInterface<Family> {
protected:
    SnapshotTest() : StagedBoot(GetParam().profile) {}

    /// Stages the boot and writes its snapshot.
    void snapshot() {
        left = boot();
        ASSERT_TRUE(left) << transcript();
        std::string error;
        ASSERT_TRUE(sandbox::writeSnapshot(machine, *left, path, info, error)) << error;
    }

    /// `length` bytes of the snapshot file from `offset` on.
    std::vector<std::uint8_t> readFile(std::size_t offset, std::size_t length) {
        std::ifstream in(path, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset));
        std::vector<std::uint8_t> bytes(length);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
        EXPECT_EQ(in.gcount(), static_cast<std::streamsize>(length));
        return bytes;
    }
    std::uint32_t word(std::size_t offset) {
        std::vector<std::uint8_t> bytes = readFile(offset, 4);
        std::uint32_t value = 0;
        std::memcpy(&value, bytes.data(), 4);
        return value;
    }

    std::filesystem::path path = storage.path() / "snapshot.elf";
    std::optional<sandbox::SwitchRecord> left;
    sandbox::SnapshotInfo info{};
};

TEST_P(SnapshotTest, HoldsAllOfRamAndEntersTheRealSwitch) {
    snapshot();
    EXPECT_EQ(std::filesystem::file_size(path), 0x1000u + machine.memory.ramSize());
    std::vector<std::uint8_t> ident = readFile(0, 7);
    EXPECT_EQ(std::memcmp(ident.data(), "\x7F" "ELF\x01\x01\x01", 7), 0);
    EXPECT_EQ(word(24), info.entry);
    // One loadable segment: RAM at its physical address.
    EXPECT_EQ(word(52), 1u);
    EXPECT_EQ(word(52 + 12), machine.memory.ramStart());
    EXPECT_EQ(word(52 + 16), machine.memory.ramSize());

    std::size_t shim = 0x1000 + (info.entry - machine.memory.ramStart());
    std::uint32_t arguments = snapshotShim::shimArguments.address;
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(word(shim + arguments + 4 * i), left->args[i]);
    const platform::ArmRoutine& flatJump =
        sandbox::isStrongArm(machine.profile) ? armRoutines::FlatJump_sa11x0 : armRoutines::FlatJump_pxa2x0;
    const std::uint8_t* routine = armRoutines::bytes + (flatJump.address - armRoutines::base);
    EXPECT_EQ(readFile(shim + snapshotShim::size, flatJump.size), std::vector<std::uint8_t>(routine, routine + flatJump.size));
    // The staged pages are there as they were, and untouched RAM holds the pattern.
    std::vector<std::uint8_t> loader(16);
    ASSERT_TRUE(machine.memory.read(left->loader(), loader.data(), 16));
    EXPECT_EQ(readFile(0x1000 + (left->loader() - machine.memory.ramStart()), 16), loader);
    EXPECT_EQ(readFile(0x1000 + 0x300000, 1)[0], 0xA5);
}

TEST_P(SnapshotTest, BootsInQemu) {
    if (!sandbox::findQemu()) {
        std::fprintf(stderr, "\n*** qemu-system-arm is not installed (scripts/setup-deps installs it): the QEMU boot is NOT tested ***\n\n");
        GTEST_SKIP() << "qemu-system-arm is not installed";
    }
    machine.timeZone = {60, 0, -60};
    machine.timeZoneState = platform::timeZoneDaylight;
    snapshot();
    sandbox::QemuReport report = sandbox::runSnapshotInQemu(machine.profile, info, path, std::chrono::seconds(60));
    ASSERT_TRUE(report.ran) << report.detail;
    ASSERT_TRUE(report.exitStatus) << report.detail << "\n" << report.serialOutput;
    EXPECT_EQ(*report.exitStatus, 0) << report.serialOutput;
    std::string& uart = report.serialOutput;
    EXPECT_NE(uart.find(sandbox::isStrongArm(machine.profile) ? "handover kernel SA-11x0" : "handover kernel PXA2x0"),
              std::string::npos)
        << uart;
    for (const char* line : {"argv[0]=korvel", "timezone=0", "checksum: ok", "bss: ok", "data tail: ok", "ksyms: ok",
                             "image: ok", "result: ok"}) {
        EXPECT_NE(uart.find(line), std::string::npos) << line << "\n" << uart;
    }
}

INSTANTIATE_TEST_SUITE_P(Families, SnapshotTest, ::testing::Values(Family{"jornada720"}, Family{"ws003sh"}),
                         [](const auto& info) { return std::string(info.param.profile[0] == 'j' ? "Collie" : "Mainstone"); });

TEST(QemuMachines, PutTheKernelsUartOnStandardOutput) {
    std::vector<std::string> collie = sandbox::qemuCommand(*sandbox::findProfile("jornada720"), "s.elf");
    std::vector<std::string> mainstone = sandbox::qemuCommand(*sandbox::findProfile("ws003sh"), "s.elf");
    auto serials = [](const std::vector<std::string>& command) {
        std::vector<std::string> list;
        for (std::size_t i = 0; i + 1 < command.size(); ++i) {
            if (command[i] == "-serial") list.push_back(command[i + 1]);
        }
        return list;
    };
    // Serial port 3 of the SA-1110 is collie's third serial device.
    EXPECT_EQ(serials(collie), (std::vector<std::string>{"null", "null", "stdio"}));
    EXPECT_EQ(serials(mainstone), (std::vector<std::string>{"stdio"}));
    EXPECT_EQ(collie.back(), "loader,file=s.elf,cpu-num=0");
}

TEST(QemuMachines, RefuseRamTheModelLacks) {
    // The Advanced/W-ZERO3[es] has 128 MiB; mainstone has 64.
    const sandbox::MachineProfile& profile = *sandbox::findProfile("ws011sh");
    sandbox::QemuReport report = sandbox::runSnapshotInQemu(profile, {0xA0000000, 0xA0000000, 0x08000000}, "s.elf",
                                                            std::chrono::seconds(1));
    EXPECT_FALSE(report.ran);
    EXPECT_EQ(report.detail, "the machine's RAM does not fit QEMU's mainstone model");
}

}  // namespace
