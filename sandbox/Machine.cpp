#include "sandbox/Machine.h"

#include "platform/files.h"

namespace sandbox {

namespace {

std::unique_ptr<Machine>& slot() {
    static std::unique_ptr<Machine> current;
    return current;
}

platform::SystemInfo systemInfoFor(const MachineProfile& profile) {
    platform::SystemInfo info{};
    info.processorArchitecture = 5;  // ARM
    info.processorLevel = isStrongArm(profile) ? 4 : 5;
    info.processorRevision = isStrongArm(profile) ? 0x0B : 0x11;
    info.pageSize = 4096;
    info.allocationGranularity = 0x10000;
    info.processorType = 2577;  // StrongARM-compatible ARM core
    return info;
}

}  // namespace

Machine::Machine(const MachineProfile& profile)
    : profile(profile),
      systemInfo(systemInfoFor(profile)),
      displayWidth(profile.displayWidth),
      displayHeight(profile.displayHeight),
      displayDepth(profile.displayDepth),
      displayDpi(profile.displayDpi),
      processor(initialProcessorState(profile)),
      memory(profile),
      peripherals(profile, [this](char c) { serialLine.send(std::string_view(&c, 1)); }) {
    peripherals.attachTo(memory);
    devices[u"COM1:"] = openSerialPort;
}

platform::Handle Machine::addHandle(std::unique_ptr<OpenObject> object) {
    platform::Handle handle = nextHandle++;
    handles[handle] = std::move(object);
    return handle;
}

OpenObject* Machine::object(platform::Handle handle) {
    auto it = handles.find(handle);
    if (it == handles.end()) {
        lastError = platform::errorInvalidHandle;
        return nullptr;
    }
    return it->second.get();
}

Machine& machine() {
    if (!slot()) slot() = std::make_unique<Machine>(machineProfiles().front());
    return *slot();
}

Machine& resetMachine(const MachineProfile& profile) {
    slot() = std::make_unique<Machine>(profile);
    return *slot();
}

}  // namespace sandbox
