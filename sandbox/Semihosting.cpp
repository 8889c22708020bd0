#include "sandbox/Semihosting.h"

namespace sandbox {

namespace {

constexpr std::uint32_t sysWritec = 0x03;
constexpr std::uint32_t sysWrite0 = 0x04;
constexpr std::uint32_t sysExit = 0x18;
constexpr std::uint32_t sysExitExtended = 0x20;
constexpr std::uint32_t applicationExit = 0x20026;  // ADP_Stopped_ApplicationExit
/// A string longer than this is cut: the kernel has lost its terminator.
constexpr std::size_t maxText = 65536;

void readText(ArmCore& core, std::uint32_t address, std::string& out) {
    for (std::size_t i = 0; i < maxText; ++i) {
        char c = 0;
        if (!core.read(address + static_cast<std::uint32_t>(i), &c, 1) || c == 0) return;
        out += c;
    }
}

}  // namespace

void carryOutSemihosting(ArmCore& core, SemihostingState& state) {
    std::uint32_t operation = core.reg(0);
    std::uint32_t argument = core.reg(1);
    std::uint32_t result = 0;
    switch (operation) {
        case sysWritec: {
            char c = 0;
            if (core.read(argument, &c, 1)) state.output += c;
            break;
        }
        case sysWrite0: readText(core, argument, state.output); break;
        case sysExit: state.exitStatus = argument == applicationExit ? 0 : 1; break;
        case sysExitExtended: {
            std::uint32_t block[2] = {0, 1};
            bool read = core.read(argument, block, sizeof block);
            state.exitStatus = read && block[0] == applicationExit ? static_cast<int>(block[1]) : 1;
            break;
        }
        default: result = 0xFFFFFFFF; break;
    }
    core.setReg(0, result);
}

}  // namespace sandbox
