// The processor primitives: the real ARM routines, run by the sandbox's processor
// role against the simulated CPSR and CP15 of each processor family.
#include <gtest/gtest.h>

#include "arch/ArmPrimitives.h"
#include "arch/ArmRoutinesCode.h"
#include "platform/processor.h"
#include "tests/support/SandboxTest.h"

namespace {

class ProcessorPrimitives : public SandboxTest {
protected:
    explicit ProcessorPrimitives(std::string_view profile = "jornada720") : SandboxTest(profile) {}
    void TearDown() override {
        for (const sandbox::RoutineRun& run : machine.routineRuns) EXPECT_EQ(run.error, "") << std::hex << run.routine;
    }
};

class PxaProcessorPrimitives : public ProcessorPrimitives {
protected:
    PxaProcessorPrimitives() : ProcessorPrimitives("ws003sh") {}
};

TEST_F(ProcessorPrimitives, ReadTheRealMainIdOfTheSa1110) {
    platform::setKernelMode(true);
    EXPECT_EQ(readCp15Id(), 0x6901B119u);
}

TEST_F(PxaProcessorPrimitives, ReadTheRealMainIdOfThePxa270) {
    platform::setKernelMode(true);
    EXPECT_EQ(readCp15Id(), 0x69054117u);
}

TEST_F(ProcessorPrimitives, ReadEachCp15RegisterFromItsOwnNumber) {
    sandbox::Cp15Registers& cp15 = machine.processor.cp15;
    cp15 = {0x6901B119, 0x11111111, 0x22222222, 0x33333333, 0x55555555, 0x66666666, 0xDDDDDDDD, 0xEEEEEEEE};
    platform::setKernelMode(true);
    EXPECT_EQ(readCp15Control(), 0x11111111u);
    EXPECT_EQ(readCp15TranslationTableBase(), 0x22222222u);
    EXPECT_EQ(readCp15DomainAccess(), 0x33333333u);
    EXPECT_EQ(readCp15FaultStatus(), 0x55555555u);
    EXPECT_EQ(readCp15FaultAddress(), 0x66666666u);
    EXPECT_EQ(readCp15ProcessId(), 0xDDDDDDDDu);
    EXPECT_EQ(readCp15Register14(), 0xEEEEEEEEu);
}

TEST_F(ProcessorPrimitives, MaskAndUnmaskInterruptsInSystemMode) {
    platform::setKernelMode(true);
    disableInterrupts();
    std::uint32_t masked = readCpsr();
    EXPECT_EQ(masked & 0x1F, 0x1Fu);
    EXPECT_EQ(masked & 0xC0, 0xC0u);
    enableInterrupts();
    EXPECT_EQ(readCpsr() & 0xC0, 0u);
    EXPECT_EQ(machine.processor.cpsr & 0xFF, 0x1Fu);
}

TEST_F(ProcessorPrimitives, CannotMaskInterruptsOrReadCp15InUserMode) {
    disableInterrupts();
    EXPECT_EQ(readCpsr() & 0xDF, 0x10u);
    readCp15Id();
    EXPECT_EQ(machine.processor.faultAddresses.size(), 1u);
}

TEST_F(ProcessorPrimitives, KernelModeSwitchCanLeaveTheThreadOutOfSystemMode) {
    machine.processor.privilegedMode = sandbox::supervisorMode;
    EXPECT_FALSE(platform::setKernelMode(true));
    EXPECT_EQ(readCpsr() & 0x1F, 0x13u);
    EXPECT_TRUE(platform::setKernelMode(false));
    EXPECT_EQ(readCpsr() & 0x1F, 0x10u);
}

struct CleanCase {
    const char* profile;
    std::uint32_t cacheSize;
    std::size_t reads;
    friend void PrintTo(const CleanCase& c, std::ostream* out) { *out << c.profile; }
};

class CleanDataCache : public SandboxTest, public ::testing::WithParamInterface<CleanCase> {
protected:
    CleanDataCache() : SandboxTest(GetParam().profile) {}
};

TEST_P(CleanDataCache, ReadsOneWordPerLineOfTheCacheSize) {
    dataCacheSize = GetParam().cacheSize;
    platform::setKernelMode(true);
    cleanDataCache();
    ASSERT_EQ(machine.routineRuns.size(), 1u);
    const sandbox::RoutineRun& run = machine.routineRuns.back();
    EXPECT_EQ(run.error, "");
    ASSERT_EQ(run.dataReads.size(), GetParam().reads + 1);  // the size word, then the lines
    EXPECT_EQ(run.dataReads.front(), armRoutines::dataCacheSizeAddress);
    EXPECT_EQ(run.dataReads[1], armRoutines::cacheCleanAreaAddress);
    EXPECT_EQ(run.dataReads.back(), armRoutines::cacheCleanAreaAddress + GetParam().cacheSize - 32);
    dataCacheSize = 8192;
}

INSTANTIATE_TEST_SUITE_P(BackEnds, CleanDataCache,
                         ::testing::Values(CleanCase{"jornada720", 8192, 256}, CleanCase{"ws003sh", 65536, 2048}),
                         [](const auto& info) { return std::string(info.param.cacheSize == 8192 ? "Sa11x0" : "Pxa2x0"); });

}  // namespace
