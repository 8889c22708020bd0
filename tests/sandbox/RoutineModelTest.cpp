// The C++ model of the privileged routines, which the window program runs them as,
// against the assembled routines on the emulated core.
#include <gtest/gtest.h>

#include <vector>

#include "arch/ArmRoutinesCode.h"
#include "sandbox/MachineProfile.h"
#include "sandbox/RoutineModel.h"

namespace {

struct NamedRoutine {
    const char* name;
    platform::ArmRoutine routine;
    friend void PrintTo(const NamedRoutine& r, std::ostream* out) { *out << r.name; }
};

const NamedRoutine routines[] = {
    {"disableInterrupts", armRoutines::disableInterrupts},
    {"enableInterrupts", armRoutines::enableInterrupts},
    {"readCpsr", armRoutines::readCpsr},
    {"readCp15Id", armRoutines::readCp15Id},
    {"readCp15Control", armRoutines::readCp15Control},
    {"readCp15TranslationTableBase", armRoutines::readCp15TranslationTableBase},
    {"readCp15DomainAccess", armRoutines::readCp15DomainAccess},
    {"readCp15FaultStatus", armRoutines::readCp15FaultStatus},
    {"readCp15FaultAddress", armRoutines::readCp15FaultAddress},
    {"readCp15ProcessId", armRoutines::readCp15ProcessId},
    {"readCp15Register14", armRoutines::readCp15Register14},
    {"cleanDataCache", armRoutines::cleanDataCache},
};

/// A thread state: mode and interrupt bits of the CPSR.
struct StateCase {
    const char* name;
    std::uint32_t cpsr;
    friend void PrintTo(const StateCase& c, std::ostream* out) { *out << c.name; }
};

const StateCase states[] = {
    {"userInterruptsOn", 0x10}, {"userInterruptsOff", 0xD0}, {"systemInterruptsOn", 0x1F},
    {"systemInterruptsOff", 0xDF}, {"supervisor", 0x93},
};

struct Outcome {
    std::uint32_t result;
    sandbox::ProcessorState state;
    sandbox::RoutineRun run;
};

/// Runs `routine` on a fresh state, by the core or by the model.
Outcome runOnce(const NamedRoutine& routine, std::uint32_t cpsr, std::uint32_t cacheBytes, bool model) {
    const sandbox::MachineProfile& profile = *sandbox::findProfile("jornada720");
    Outcome out{0, sandbox::initialProcessorState(profile), {}};
    out.state.cpsr = cpsr;
    std::uint32_t cacheSize = cacheBytes;
    std::vector<std::uint8_t> cleanArea(1024, 0);
    const platform::ArmData data[] = {
        {armRoutines::dataCacheSizeAddress, &cacheSize, sizeof cacheSize},
        {armRoutines::cacheCleanAreaAddress, cleanArea.data(), static_cast<std::uint32_t>(cleanArea.size())},
    };
    std::array<std::uint32_t, 4> args{0, 0, 0, 0};
    out.result = model ? sandbox::modelRoutine(out.state, armRoutines::code, routine.routine, args, data, out.run)
                       : sandbox::runRoutine(profile.processor, out.state, armRoutines::code, routine.routine, args,
                                             data, out.run);
    return out;
}

class RoutineModelTest : public ::testing::TestWithParam<std::tuple<NamedRoutine, StateCase>> {};

TEST_P(RoutineModelTest, GivesWhatTheCoreGives) {
    const auto& [routine, state] = GetParam();
    for (std::uint32_t cacheBytes : {0u, 100u, 512u}) {
        Outcome core = runOnce(routine, state.cpsr, cacheBytes, false);
        Outcome model = runOnce(routine, state.cpsr, cacheBytes, true);
        SCOPED_TRACE(cacheBytes);
        ASSERT_EQ(core.run.error, "");
        EXPECT_EQ(model.run.error, "");
        EXPECT_EQ(model.result, core.result);
        EXPECT_EQ(model.state.cpsr, core.state.cpsr);
        EXPECT_EQ(model.state.faultAddresses, core.state.faultAddresses);
        ASSERT_EQ(model.state.cp15Log.size(), core.state.cp15Log.size());
        for (std::size_t i = 0; i < core.state.cp15Log.size(); ++i) {
            EXPECT_EQ(model.state.cp15Log[i].crn, core.state.cp15Log[i].crn);
            EXPECT_EQ(model.state.cp15Log[i].value, core.state.cp15Log[i].value);
        }
        EXPECT_EQ(model.run.dataReads, core.run.dataReads);
    }
}

INSTANTIATE_TEST_SUITE_P(Routines, RoutineModelTest,
                         ::testing::Combine(::testing::ValuesIn(routines), ::testing::ValuesIn(states)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

TEST(RoutineModel, RefusesWhatItDoesNotKnow) {
    sandbox::ProcessorState state = sandbox::initialProcessorState(*sandbox::findProfile("jornada720"));
    sandbox::RoutineRun run;
    EXPECT_EQ(sandbox::modelRoutine(state, armRoutines::code, {armRoutines::code.base + 2, 4}, {}, {}, run), 0u);
    EXPECT_FALSE(run.error.empty());
}

}  // namespace
