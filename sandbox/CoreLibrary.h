// The core library "coredll.dll" as the sandbox provides it, with its faults.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace sandbox {

struct CoreLibrary {
    /// The library cannot be loaded at all.
    bool missing = false;
    /// Procedures the library does not export, by name ("LockPages").
    std::set<std::u16string> missingProcedures;
    /// LockPages fails when asked for the page with this index inside its block.
    std::optional<std::uint32_t> lockFailsAtPage;
    bool unlockFails = false;
    /// LockPages reports physical address >> pageFrameShift for each page.
    std::uint32_t pageFrameShift = 0;

    // What the boot loader did with the library.
    int loads = 0;
    int frees = 0;
    int locks = 0;
    int unlocks = 0;
};

}  // namespace sandbox
