#include "sandbox/OpenObject.h"

#include "platform/files.h"
#include "sandbox/Machine.h"

namespace sandbox {

bool OpenObject::read(void*, std::uint32_t, std::uint32_t& transferred) {
    transferred = 0;
    machine().lastError = platform::errorInvalidHandle;
    return false;
}

bool OpenObject::write(const void*, std::uint32_t, std::uint32_t& transferred) {
    transferred = 0;
    machine().lastError = platform::errorInvalidHandle;
    return false;
}

std::uint32_t OpenObject::seek(std::int32_t, std::uint32_t) {
    machine().lastError = platform::errorInvalidHandle;
    return platform::invalidFileSize;
}

std::uint32_t OpenObject::size() {
    machine().lastError = platform::errorInvalidHandle;
    return platform::invalidFileSize;
}

bool OpenObject::ioControl(std::uint32_t, void*, std::uint32_t, void*, std::uint32_t, std::uint32_t& returned) {
    returned = 0;
    machine().lastError = platform::errorNotSupported;
    return false;
}

}  // namespace sandbox
