// The hand-over test kernels staged through the real Parts and run after the switch
// on the emulated core of their machine: the switch, the copied second-stage loader,
// then the kernel, which checks what it was handed.
#include <gtest/gtest.h>

#include "boot/BootMenu.h"
#include "memory/PageTag.h"
#include "sandbox/MachineExecution.h"
#include "sandbox/SwitchModel.h"
#include "tests/arch/StagedBoot.h"

namespace {

struct Machine {
    const char* profile;
    const char* bootInfo;  // the kernel's BootInfo line
    friend void PrintTo(const Machine& m, std::ostream* out) { *out << m.profile; }
};

class HandoverEndToEnd : public StagedBoot, public ::testing::WithParamInterface<Machine> {
protected:
    HandoverEndToEnd() : StagedBoot(GetParam().profile) {}
};

TEST_P(HandoverEndToEnd, KernelReportsThatItGotEverything) {
    machine.timeZone = {-540, 0, -60};
    machine.timeZoneState = platform::timeZoneDaylight;
    std::optional<sandbox::SwitchRecord> left = boot();
    ASSERT_TRUE(left) << transcript();
    // The C++ model of the loader, taken before the real one changes the memory.
    sandbox::ModelledEntry modelled{};
    std::string modelError;
    ASSERT_TRUE(sandbox::modelKernelEntry(machine, *left, modelled, modelError)) << modelError;
    sandbox::ExecutorOptions options;
    options.runKernel = true;
    sandbox::ExecutionReport report = sandbox::runAfterSwitch(machine, *left, options);
    std::string uart = machine.peripherals.serialOutput;
    ASSERT_EQ(report.outcome, sandbox::ExecutionReport::Outcome::kernelExited) << sandbox::describe(report) << "\n" << uart;
    EXPECT_EQ(*report.semihosting.exitStatus, 0) << uart;

    // The switch left the loader with the MMU, the caches and interrupts off.
    ASSERT_TRUE(report.loaderEntry);
    EXPECT_EQ(report.loaderEntry->control, 0x2030u);
    EXPECT_EQ(report.loaderEntry->cpsr & 0xDF, 0xDFu);
    EXPECT_EQ(report.loaderEntry->r0, left->handoverBlock());
    EXPECT_EQ(report.loaderEntry->r1, left->tagChain());
    EXPECT_EQ(report.loaderEntry->r2, left->stackPointer());

    // The kernel entry as the hand-over block has it, in the first bank on PXA2x0.
    ASSERT_TRUE(report.kernelEntry);
    EXPECT_EQ(report.kernelEntry->entry, sandbox::isStrongArm(machine.profile) ? 0xC0200000u : 0xA0200000u);
    EXPECT_EQ(report.kernelEntry->r2, left->handoverBlock() + 16);
    EXPECT_GT(report.kernelEntry->loaderInstructions, 1000u);
    // The model of the loader, which the window program reports from, agrees.
    EXPECT_EQ(modelled.entry, report.kernelEntry->entry);
    EXPECT_EQ(modelled.r0, report.kernelEntry->r0);
    EXPECT_EQ(modelled.r1, report.kernelEntry->r1);
    EXPECT_EQ(modelled.r2, report.kernelEntry->r2);
    EXPECT_EQ(modelled.sp, report.kernelEntry->sp);

    EXPECT_NE(uart.find("argc=2\r\nargv[0]=korvel\r\nargv[1]=m=miniroot.fs\r\nargv: ok\r\n"), std::string::npos) << uart;
    EXPECT_NE(uart.find(GetParam().bootInfo), std::string::npos) << uart;
    for (const char* line : {"checksum: ok", "bss: ok", "data tail: ok", "ksyms: ok", "image: ok bytes=20480", "result: ok"}) {
        EXPECT_NE(uart.find(line), std::string::npos) << line << "\n" << uart;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Families, HandoverEndToEnd,
    ::testing::Values(
        Machine{"jornada720",
                "bootinfo: length=36 magic=0x13536135 fb=0x48200000 linebytes=1280 width=640 height=240 type=5 "
                "console=1 cpu=0x0c108000 machine=0x02c20201 timezone=-600"},
        Machine{"ws003sh",
                "bootinfo: length=36 magic=0x13536135 fb=0x00000000 linebytes=0 width=480 height=640 type=5 "
                "console=1 cpu=0x0c208000 machine=0x01040100 timezone=-600"}),
    [](const auto& info) { return std::string(info.param.profile[0] == 'j' ? "Sa11x0" : "Pxa2x0"); });

class HandoverEndToEndConflict : public StagedBoot {
protected:
    HandoverEndToEndConflict() : StagedBoot("jornada720") {}
};

TEST_F(HandoverEndToEndConflict, PoolWhereTheKernelGoesRefusesTheJump) {
    // The platform gave the pool pages where the kernel is linked: its first range
    // would overwrite tags and payload that the walk has still to read.
    machine.memory.setFrameRegion(0xC0200000, 0x100000);
    machine.memory.setFrameOrder(sandbox::FrameOrder::ascending);
    EXPECT_FALSE(boot());
    EXPECT_NE(transcript().find("would overwrite the"), std::string::npos) << transcript();
    ASSERT_FALSE(machine.boxes.empty());
    EXPECT_EQ(machine.boxes.back().text, u"Can't jump to the kernel.\n");
    EXPECT_EQ(machine.boxes.back().caption, u"BOOT FAILED");
    EXPECT_FALSE(machine.platformLeft);
}

/// A change to what the boot loader staged, made after the switch, and the check
/// of the kernel that must catch it.
struct Corruption {
    const char* name;
    void (*apply)(sandbox::Machine&, const sandbox::SwitchRecord&);
    int status;
    friend void PrintTo(const Corruption& c, std::ostream* out) { *out << c.name; }
};

void writeWord(sandbox::Machine& m, std::uint32_t physical, std::uint32_t value) {
    ASSERT_TRUE(m.memory.write(physical, &value, sizeof value));
}

/// The tags of the chain, in walk order.
std::vector<std::pair<std::uint32_t, PageTag>> chainOf(sandbox::Machine& m, std::uint32_t tag) {
    std::vector<std::pair<std::uint32_t, PageTag>> tags;
    while (tag != PageTag::endOfChain && tags.size() < 4096) {
        PageTag t{};
        if (!m.memory.read(tag, &t, sizeof t)) break;
        tags.emplace_back(tag, t);
        tag = t.next;
    }
    return tags;
}

const Corruption corruptions[] = {
    {"argc", [](sandbox::Machine& m, const sandbox::SwitchRecord& r) { writeWord(m, r.handoverBlock() + 4, 0); }, 1},
    {"bootInfoMagic", [](sandbox::Machine& m, const sandbox::SwitchRecord& r) { writeWord(m, r.handoverBlock() + 20, 0); }, 4},
    {"readOnlyData",
     [](sandbox::Machine& m, const sandbox::SwitchRecord& r) {
         // A word of the kernel's table, which lies at 0xC0202000 to 0xC0204000.
         for (auto& [address, tag] : chainOf(m, r.tagChain())) {
             if (tag.src != PageTag::zeroFill && tag.dst >= 0xC0202000 && tag.dst < 0xC0203000) writeWord(m, tag.src + 0x100, 0x12345678);
         }
     },
     9},
    {"missingClear",
     [](sandbox::Machine& m, const sandbox::SwitchRecord& r) {
         for (auto& [address, tag] : chainOf(m, r.tagChain())) {
             if (tag.src == PageTag::zeroFill) writeWord(m, address + 12, 4);  // clear 4 bytes only
         }
     },
     10},
};

class HandoverEndToEndFaults : public StagedBoot, public ::testing::WithParamInterface<Corruption> {
protected:
    HandoverEndToEndFaults() : StagedBoot("jornada720") {}
};

TEST_P(HandoverEndToEndFaults, KernelNamesTheCheckThatFails) {
    std::optional<sandbox::SwitchRecord> left = boot();
    ASSERT_TRUE(left) << transcript();
    GetParam().apply(machine, *left);
    sandbox::ExecutorOptions options;
    options.runKernel = true;
    sandbox::ExecutionReport report = sandbox::runAfterSwitch(machine, *left, options);
    ASSERT_EQ(report.outcome, sandbox::ExecutionReport::Outcome::kernelExited) << sandbox::describe(report);
    EXPECT_EQ(*report.semihosting.exitStatus, GetParam().status) << machine.peripherals.serialOutput;
    EXPECT_NE(machine.peripherals.serialOutput.find("result: FAILED"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Corruptions, HandoverEndToEndFaults, ::testing::ValuesIn(corruptions),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
