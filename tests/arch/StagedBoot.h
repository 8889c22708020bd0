// A whole boot through the real Parts on a sandbox machine, up to the switch: the
// boot sequence with the real back end, page-locking memory manager and ELF loader,
// over files held in memory, with the hand-over test kernel of the machine's family.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sandbox/SwitchRecord.h"
#include "tests/support/SandboxTest.h"

class StagedBoot : public SandboxTest {
protected:
    explicit StagedBoot(std::string_view profileKey);

    /// Boots with the Preferences as they are; the switch, or nothing when the boot
    /// failed (its box is in machine.boxes).
    std::optional<sandbox::SwitchRecord> boot();

    /// The test kernel of the machine's family and the memory-disk image, by name.
    std::map<std::u16string, std::vector<std::uint8_t>> files;
    /// What the boot printed on the Console.
    std::string transcript() const;
};

/// The folder that holds the built test kernels.
std::string handoverKernelsDir();
