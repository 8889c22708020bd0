// The state of the simulated handheld, in one place.
//
// A test or the front end builds the machine it needs (a profile, a storage root,
// faults to inject, answers for message boxes) and runs the real boot loader on it.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/queries.h"
#include "platform/types.h"
#include "sandbox/CoreLibrary.h"
#include "sandbox/MachineProfile.h"
#include "sandbox/MemoryFile.h"
#include "sandbox/Network.h"
#include "sandbox/OpenObject.h"
#include "sandbox/Peripherals.h"
#include "sandbox/PhysicalMemory.h"
#include "sandbox/ProcessorState.h"
#include "sandbox/RoutineRunner.h"
#include "sandbox/SerialLine.h"
#include "sandbox/SerialPort.h"
#include "sandbox/SwitchRecord.h"

namespace sandbox {

struct MessageBoxRecord {
    platform::WindowHandle owner;
    std::u16string text;
    std::u16string caption;
    std::uint32_t style;
    std::int32_t answer;
};

/// Creates the object behind a device name such as "COM1:"; null when the device
/// cannot be opened (the factory sets the last error).
using DeviceFactory = std::function<std::unique_ptr<OpenObject>()>;

class Machine {
public:
    explicit Machine(const MachineProfile& profile);

    const MachineProfile& profile;

    // Storage: a host folder whose subfolders are the object store's root entries.
    // Root folders named in `storageCards` carry the temporary attribute of a card.
    std::filesystem::path storageRoot;
    std::vector<std::string> storageCards;
    /// Read-only files held in memory, by the exact object-store path the boot loader
    /// opens ("\Storage Card\tembrel.cnf"); they hide a host file of the same name.
    std::map<std::u16string, FileBytes> memoryFiles;

    // Queries.
    platform::VersionRecord version{sizeof(platform::VersionRecord), 4, 20, 0, 3};
    platform::SystemInfo systemInfo{};
    platform::TimeZoneInfo timeZone{0, 0, 0};
    std::uint32_t timeZoneState = platform::timeZoneStandard;
    std::int32_t displayWidth;
    std::int32_t displayHeight;
    std::int32_t displayDepth;
    std::int32_t displayDpi;
    std::u16string debugLog;

    // Processor: the thread's kernel mode, its CPSR and CP15, and the privileged
    // routines the boot loader ran.
    bool kernelMode = false;
    ProcessorState processor;
    std::vector<RoutineRun> routineRuns;
    /// Set when the boot loader has left the platform.
    std::optional<SwitchRecord> platformLeft;
    /// Takes the machine over when the boot loader leaves the platform. When it is
    /// unset, or returns, the switch comes back to the boot loader as a failed one.
    std::function<void(const SwitchRecord&)> onLeave;

    // Physical memory: RAM, the free-frame pool, blocks, mappings, device models.
    PhysicalMemory memory;
    // The devices behind the register windows, attached to `memory`.
    Peripherals peripherals;
    // The core library and the calls looked up in it, with their faults.
    CoreLibrary coreLibrary;

    // Message boxes: answered from `boxAnswers` in order, then by `boxPolicy` when the
    // front end set one (its `answer` field holds the default), else Yes for a Yes/No
    // box (or `defaultYesNoAnswer`) and OK for the rest. Every box is recorded.
    std::deque<std::int32_t> boxAnswers;
    std::function<std::int32_t(const MessageBoxRecord&)> boxPolicy;
    std::int32_t defaultYesNoAnswer = 6;
    std::vector<MessageBoxRecord> boxes;
    unsigned windowUpdates = 0;

    // Faults a test can inject. Heap requests larger than the machine's RAM fail too.
    bool heapExhausted = false;
    /// Bytes that writes to storage may still add before the card is full; unset
    /// means unlimited.
    std::optional<std::uint64_t> storageSpace;
    /// Calls of the files role that may still be made; once they are spent every later
    /// one fails with "not ready", as when the process ends or the card goes away in
    /// the middle of a save. Unset means unlimited.
    std::optional<std::uint64_t> fileCallsLeft;

    // The network behind the socket library.
    Network network;

    // Devices by name ("COM1:", "DSK1:"); "COM1:" is there from the start.
    std::map<std::u16string, DeviceFactory> devices;

    // The first serial line and the driver of "COM1:" on it.
    SerialLine serialLine;
    SerialPortState serialPort;

    // Open handles and the calling thread's last error.
    std::map<platform::Handle, std::unique_ptr<OpenObject>> handles;
    platform::Handle nextHandle = 0x100;
    std::uint32_t lastError = 0;

    /// Registers `object` and returns its handle.
    platform::Handle addHandle(std::unique_ptr<OpenObject> object);
    /// The object behind `handle`, or null (and last error "invalid handle").
    OpenObject* object(platform::Handle handle);
};

/// The machine the platform roles act on. A default machine (the first profile, no
/// storage) exists until a test or the front end installs one.
Machine& machine();

/// Replaces the machine with a fresh one of `profile`; returns it.
Machine& resetMachine(const MachineProfile& profile);

}  // namespace sandbox
