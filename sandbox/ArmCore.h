// An emulated ARM core of one of the machines' processor models (unicorn), with the
// MMU off: every address it uses is physical. The owner maps memory and devices,
// sets the registers and runs it.
#pragma once

#include <cstdint>
#include <string>

#include "sandbox/Cp15Model.h"
#include "sandbox/DeviceModel.h"
#include "sandbox/MachineProfile.h"
#include "sandbox/ProcessorState.h"

struct uc_struct;

namespace sandbox {

class ArmCore {
public:
    static constexpr std::uint32_t pageBytes = 4096;

    explicit ArmCore(Processor processor);
    ~ArmCore();
    ArmCore(const ArmCore&) = delete;
    ArmCore& operator=(const ArmCore&) = delete;

    /// False when the emulator could not be started; error() says why.
    bool ok() const { return engine_ != nullptr; }
    const std::string& error() const { return error_; }

    /// Maps [base, base + size) onto `host`, which outlives the core. Base and size
    /// are whole pages.
    bool mapHost(std::uint32_t base, std::uint32_t size, std::uint8_t* host);
    /// Maps the pages that cover [base, base + size) as memory of the core's own,
    /// cleared.
    bool mapOwn(std::uint32_t base, std::uint32_t size);
    /// Maps [base, base + size) (whole pages) onto a device model.
    bool mapDevice(std::uint32_t base, std::uint32_t size, DeviceModel& model);
    bool write(std::uint32_t address, const void* data, std::uint32_t length);
    bool read(std::uint32_t address, void* out, std::uint32_t length);

    /// Register r0..r15 by number.
    std::uint32_t reg(unsigned number);
    void setReg(unsigned number, std::uint32_t value);
    std::uint32_t cpsr();
    void setCpsr(std::uint32_t value);

    /// CP15 instructions in [begin, end] act on `state` instead of the core's own
    /// coprocessor, so the routines see the platform's registers while the core keeps
    /// its MMU off. In user mode they trap: the fault is recorded and the instruction
    /// skipped.
    void emulateCp15(ProcessorState& state, std::uint32_t begin, std::uint32_t end);

    /// Runs from `start` until the PC reaches `until`, a hook stops the core, or
    /// `limit` instructions have run (0: no limit). False when the emulator reports
    /// an error (an unmapped access, an undefined instruction); error() says what.
    bool run(std::uint32_t start, std::uint32_t until, std::uint64_t limit);
    /// Ends the current run after the instruction under way; for hooks.
    void stop();

    uc_struct* engine() { return engine_; }
    /// Carries out the CP15 transfer at `address` for the hook of emulateCp15.
    void carryOutCp15(const Cp15Transfer& transfer, std::uint32_t address);

private:
    bool checked(int result, const char* what);

    uc_struct* engine_ = nullptr;
    std::string error_;
    ProcessorState* cp15State = nullptr;
};

/// The first page at or below `address`, and the page count that covers [address,
/// address + size).
inline std::uint32_t pageBase(std::uint32_t address) { return address & ~(ArmCore::pageBytes - 1); }
inline std::uint32_t pagesSpan(std::uint32_t address, std::uint32_t size) {
    std::uint64_t end = std::uint64_t{address} + size;
    std::uint64_t last = (end + ArmCore::pageBytes - 1) & ~std::uint64_t{ArmCore::pageBytes - 1};
    return static_cast<std::uint32_t>(last - pageBase(address));
}

}  // namespace sandbox
