#include "sandbox/SwitchModel.h"

#include "sandbox/ChainWalk.h"

namespace sandbox {

namespace {

/// Where the loader writes `dst`: as it is on SA-11x0; on PXA2x0 only the low 24 bits
/// survive, in the first SDRAM bank.
std::uint32_t destination(bool strongArm, std::uint32_t dst) {
    return strongArm ? dst : (dst & 0x00FFFFFFu) | 0xA0000000u;
}

/// The kernel's stack starts 8 KiB behind the end of the last range, on a 4 KiB
/// boundary; with no range the end is the loader's own address, still in r3.
std::uint32_t kernelStack(std::uint32_t lastEnd) { return (lastEnd + 0x2000) & ~0xFFFu; }

}  // namespace

bool modelKernelEntry(Machine& machine, const SwitchRecord& record, ModelledEntry& entry, std::string& error) {
    bool strongArm = isStrongArm(machine.profile);
    ChainWalk walk = walkChain(machine.memory, record.tagChain());
    if (!walk.sound) {
        error = "the tag chain leaves the staged pages or does not end";
        return false;
    }
    std::uint32_t lastEnd = record.loader();
    for (const StagedRange& range : walk.ranges) lastEnd = destination(strongArm, range.tag.dst) + range.tag.len;
    std::uint32_t words[4];
    if (!machine.memory.read(record.handoverBlock(), words, sizeof words)) {
        error = "the hand-over block is not in RAM";
        return false;
    }
    entry = {destination(strongArm, words[0]), words[1], words[2], words[3], kernelStack(lastEnd)};
    return true;
}

}  // namespace sandbox
