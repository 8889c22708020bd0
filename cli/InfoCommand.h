// tembrel info: what the loader would stage for a kernel.
#pragma once

#include <string>

/// Stages the host file `kernel` (gzip or plain ELF) into a sandbox page pool as a
/// boot would, printing the loader's lines: the memorySize summary, each segment, the
/// symbol block and the chain's link counts. Returns the exit code.
int showKernelInfo(const std::string& kernel);
