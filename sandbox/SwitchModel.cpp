#include "sandbox/SwitchModel.h"

#include "sandbox/ChainWalk.h"

namespace sandbox {

bool modelKernelEntry(Machine& machine, const SwitchRecord& record, ModelledEntry& entry, std::string& error) {
    DestinationRule rule = destinationRule(machine.profile);
    ChainWalk walk = walkChain(machine.memory, record.tagChain());
    if (!walk.sound) {
        error = "the tag chain leaves the staged pages or does not end";
        return false;
    }
    // With no range the end is the loader's own address, still in r3.
    std::uint32_t lastEnd = record.loader();
    for (const StagedRange& range : walk.ranges) lastEnd = walkDestination(rule, range.tag.dst) + range.tag.len;
    std::uint32_t words[4];
    if (!machine.memory.read(record.handoverBlock(), words, sizeof words)) {
        error = "the hand-over block is not in RAM";
        return false;
    }
    entry = {walkDestination(rule, words[0]), words[1], words[2], words[3], kernelStackTop(lastEnd)};
    return true;
}

}  // namespace sandbox
