// What runs after the switch: how the emulated core's run ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "memory/SecondStageLoader.h"
#include "sandbox/ArmExecutor.h"

namespace {

constexpr std::uint32_t ramBase = 0xC0000000;
constexpr std::uint32_t ramSize = 0x100000;
constexpr std::uint32_t loader = ramBase + 0x80000;
constexpr std::uint32_t handover = ramBase + 0x81000;
constexpr std::uint32_t stack = ramBase + 0x83000;
constexpr std::uint32_t kernel = ramBase + 0x8000;

/// RAM with the SA-11x0 loader and a hand-over block, entered with an empty chain.
class ArmExecutor : public ::testing::Test {
protected:
    ArmExecutor() : ram(static_cast<std::uint8_t*>(std::aligned_alloc(4096, ramSize))) {
        std::memset(ram.get(), 0, ramSize);
        std::span<const std::uint8_t> block = sa11x0LoaderBlock();
        std::memcpy(at(loader), block.data(), block.size());
        setWord(handover, kernel);
    }

    std::uint8_t* at(std::uint32_t address) { return ram.get() + (address - ramBase); }
    void setWord(std::uint32_t address, std::uint32_t value) { std::memcpy(at(address), &value, 4); }
    void setCode(std::initializer_list<std::uint32_t> words) {
        std::uint32_t address = kernel;
        for (std::uint32_t w : words) {
            setWord(address, w);
            address += 4;
        }
    }

    sandbox::ExecutionReport run(std::uint32_t chain = 0xFFFFFFFF, std::uint64_t limit = 1000000) {
        sandbox::PhysicalSpace space;
        space.ram.push_back({ramBase, ramSize, ram.get()});
        sandbox::ExecutorOptions options;
        options.runKernel = true;
        options.instructionLimit = limit;
        return sandbox::runLoader(sandbox::Processor::sa1110, space, loader, {handover, chain, stack}, options);
    }

    struct FreeDeleter {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t, FreeDeleter> ram;
};

TEST_F(ArmExecutor, EndsAtTheKernelsSemihostingExitWithItsStatus) {
    setCode({
        0xE3A00004, 0xE28F1014,              // mov r0, #SYS_WRITE0; add r1, pc, #20 (the text)
        0xEF123456,                          // svc 0x123456
        0xE3A00018,                          // mov r0, #SYS_EXIT
        0xE3A01802, 0xE3811026,              // r1 = ADP_Stopped_ApplicationExit
        0xEF123456, 0xEAFFFFFE,              // svc 0x123456; b .
        0x0A69680A, 0x00000000,              // the text: newline, "hi", newline
    });
    sandbox::ExecutionReport report = run();
    ASSERT_EQ(report.outcome, sandbox::ExecutionReport::Outcome::kernelExited) << sandbox::describe(report);
    EXPECT_EQ(report.semihosting.exitStatus, 0);
    EXPECT_EQ(report.semihosting.output, "\nhi\n");
    EXPECT_EQ(report.kernelEntry->entry, kernel);
    EXPECT_EQ(report.kernelEntry->sp, (loader + 0x2000) & ~0xFFFu);
}

TEST_F(ArmExecutor, StopsAKernelThatRunsOutOfItsBound) {
    setCode({0xEAFFFFFE});  // b .
    sandbox::ExecutionReport report = run(0xFFFFFFFF, 10000);
    EXPECT_EQ(report.outcome, sandbox::ExecutionReport::Outcome::stopped);
    EXPECT_EQ(report.detail, "the instruction bound ran out");
    EXPECT_TRUE(report.kernelEntry);
}

TEST_F(ArmExecutor, StopsALoaderThatNeverEnters) {
    // A tag whose next is itself: the walk never ends.
    std::uint32_t tag = ramBase + 0x82000;
    setWord(tag, tag);
    setWord(tag + 4, 0xFFFFFFFF);
    setWord(tag + 8, ramBase + 0x40000);
    setWord(tag + 12, 16);
    sandbox::ExecutionReport report = run(tag, 10000);
    EXPECT_EQ(report.outcome, sandbox::ExecutionReport::Outcome::stopped);
    EXPECT_EQ(report.detail, "the instruction bound ran out");
    EXPECT_TRUE(report.loaderEntry);
    EXPECT_FALSE(report.kernelEntry);
}

TEST_F(ArmExecutor, ReportsAKernelEntryWhereNoMemoryIs) {
    setWord(handover, 0x10000000);
    sandbox::ExecutionReport report = run();
    EXPECT_EQ(report.outcome, sandbox::ExecutionReport::Outcome::stopped);
    ASSERT_TRUE(report.kernelEntry);
    EXPECT_EQ(report.kernelEntry->entry, 0x10000000u);
    EXPECT_NE(report.detail.find("fetch from unmapped address 0x10000000"), std::string::npos) << report.detail;
}

TEST_F(ArmExecutor, StopsAtAnExceptionOtherThanSemihosting) {
    setCode({0xEF000011});  // svc 0x11
    sandbox::ExecutionReport report = run();
    EXPECT_EQ(report.outcome, sandbox::ExecutionReport::Outcome::stopped);
    EXPECT_NE(report.detail.find("processor exception 2"), std::string::npos) << report.detail;
}

}  // namespace
