// What runs after the switch, on a sandbox machine: the emulated core over the
// machine's physical memory as the boot loader left it, and its UART.
#pragma once

#include "sandbox/ArmExecutor.h"
#include "sandbox/Machine.h"

namespace sandbox {

/// Runs the switch of `record` and what follows on `machine`: its RAM (written back
/// when the run ends) and its peripherals. The kernel's UART output is in
/// `machine.peripherals.serialOutput`.
ExecutionReport runAfterSwitch(Machine& machine, const SwitchRecord& record, const ExecutorOptions& options);

}  // namespace sandbox
