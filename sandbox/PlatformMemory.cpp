// The virtual-memory part of the memory role, over the machine's physical memory.
#include "platform/memory.h"
#include "sandbox/Machine.h"

namespace platform {

void* virtualAlloc(void* address, std::uint32_t size, std::uint32_t type, std::uint32_t) {
    // The boot loader only ever asks for new blocks; committing into a reserved range
    // is not something it does.
    if (address != nullptr) return nullptr;
    sandbox::PhysicalMemory& memory = sandbox::machine().memory;
    if ((type & memCommit) != 0) return memory.commit(size);
    if (type == memReserve) return memory.reserve(size);
    return nullptr;
}

bool virtualFree(void* address, std::uint32_t size, std::uint32_t type) {
    if (type != memRelease || size != 0) return false;
    return sandbox::machine().memory.release(address);
}

bool virtualCopy(void* destination, std::uint32_t source, std::uint32_t size, std::uint32_t protect) {
    // Only physical sources: the source is the physical address / 256.
    if ((protect & pagePhysical) == 0 || source > 0x00FFFFFF) return false;
    return sandbox::machine().memory.map(destination, source << 8, size);
}

}  // namespace platform
