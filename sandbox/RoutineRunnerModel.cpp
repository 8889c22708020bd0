// The routine runner of a build without an emulated core: the C++ model.
#include "sandbox/RoutineModel.h"

namespace sandbox {

std::uint32_t runRoutine(Processor, ProcessorState& state, const platform::ArmCode& code,
                         platform::ArmRoutine routine, const std::array<std::uint32_t, 4>& args,
                         std::span<const platform::ArmData> data, RoutineRun& run) {
    return modelRoutine(state, code, routine, args, data, run);
}

}  // namespace sandbox
