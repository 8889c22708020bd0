// One whole boot on the current sandbox machine, as the Boot button starts it: the
// real boot controller, back end, memory manager, file sources and ELF loader, then
// the switch and the copied second-stage loader on the emulated core, stopped at the
// kernel's first instruction.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sandbox/ArmExecutor.h"

struct BootRequest {
    std::u16string kernelName;     // on the first storage card
    std::u16string imageName;      // the memory-disk image; empty for none
    bool safetyMessage = true;
    bool pauseBeforeBoot = true;
};

struct BootOutcome {
    std::optional<sandbox::KernelEntry> entry;  // none when the boot stopped before it
    std::uint32_t handoverBlock = 0;
    std::string failure;                        // why there is no entry
    std::string transcript;                     // what the Console showed
};

/// Boots `request` on sandbox::machine(), which must have its storage card in place.
BootOutcome bootToKernelEntry(const BootRequest& request);
