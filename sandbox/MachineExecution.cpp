#include "sandbox/MachineExecution.h"

#include <cstdlib>
#include <cstring>
#include <memory>

namespace sandbox {

namespace {

constexpr std::uint32_t frameSize = PhysicalMemory::frameSize;

/// The machine's RAM in one block of host memory, as a core needs it. Frames the
/// boot loader never touched hold the fill pattern, so a range the loader should
/// have cleared shows up.
class RamImage {
public:
    explicit RamImage(PhysicalMemory& memory)
        : memory(memory), bytes(static_cast<std::uint8_t*>(std::aligned_alloc(frameSize, memory.ramSize()))) {
        if (!bytes) return;
        for (std::uint32_t offset = 0; offset < memory.ramSize(); offset += frameSize) {
            const std::uint8_t* frame = memory.existingFrame(memory.ramStart() + offset);
            if (frame != nullptr) {
                std::memcpy(bytes.get() + offset, frame, frameSize);
            } else {
                std::memset(bytes.get() + offset, PhysicalMemory::fillByte, frameSize);
            }
        }
    }
    RamImage(const RamImage&) = delete;
    RamImage& operator=(const RamImage&) = delete;

    bool ok() const { return bytes != nullptr; }
    PhysicalSpace::Ram ram() { return {memory.ramStart(), memory.ramSize(), bytes.get()}; }

    /// Copies the frames the core changed back into the machine.
    void writeBack() {
        for (std::uint32_t offset = 0; offset < memory.ramSize(); offset += frameSize) {
            const std::uint8_t* page = bytes.get() + offset;
            const std::uint8_t* frame = memory.existingFrame(memory.ramStart() + offset);
            bool changed = frame != nullptr ? std::memcmp(frame, page, frameSize) != 0 : !holdsFill(page);
            if (changed) memory.write(memory.ramStart() + offset, page, frameSize);
        }
    }

private:
    static bool holdsFill(const std::uint8_t* page) {
        for (std::uint32_t i = 0; i < frameSize; ++i) {
            if (page[i] != PhysicalMemory::fillByte) return false;
        }
        return true;
    }

    struct FreeDeleter {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    PhysicalMemory& memory;
    std::unique_ptr<std::uint8_t, FreeDeleter> bytes;
};

}  // namespace

ExecutionReport runAfterSwitch(Machine& machine, const SwitchRecord& record, const ExecutorOptions& options) {
    RamImage image(machine.memory);
    if (!image.ok()) {
        ExecutionReport report;
        report.detail = "no host memory for the machine's RAM";
        return report;
    }
    PhysicalSpace space;
    space.ram.push_back(image.ram());
    space.devices = machine.peripherals.windows();
    ExecutionReport report = runAfterSwitch(machine.profile.processor, space, record, options);
    image.writeBack();
    return report;
}

}  // namespace sandbox
