// The heap part of the memory role.
#include <cstdlib>

#include "platform/memory.h"
#include "sandbox/Machine.h"

namespace platform {

void* heapAlloc(std::size_t bytes) {
    const sandbox::Machine& m = sandbox::machine();
    // A handheld's heap cannot hand out more than the machine has.
    if (m.heapExhausted || bytes > m.profile.ramSize) return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void heapFree(void* block) { std::free(block); }

}  // namespace platform
