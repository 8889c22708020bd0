// One boot attempt, from the serial banner to the jump into the kernel.
#pragma once

#include <cstdint>

/// The build number printed at every attempt and shown in the window title.
inline constexpr std::int32_t buildNumber = 15;

/// Carries out one boot attempt with the process-wide BootController. Returns only
/// when the attempt failed, after one "BOOT FAILED" box and a progress reset.
void runBootSequence();
