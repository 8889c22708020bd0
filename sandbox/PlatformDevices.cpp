// The device I/O control part of the devices role: requests go to the object behind
// the handle, which refuses them unless it is a device model.
#include "platform/devices.h"
#include "sandbox/Machine.h"

namespace platform {

bool deviceIoControl(Handle device, std::uint32_t code, void* input, std::uint32_t inputSize, void* output,
                     std::uint32_t outputSize, std::uint32_t* returned) {
    std::uint32_t count = 0;
    sandbox::OpenObject* object = sandbox::machine().object(device);
    bool ok = object != nullptr && object->ioControl(code, input, inputSize, output, outputSize, count);
    if (returned != nullptr) *returned = count;
    return ok;
}

}  // namespace platform
