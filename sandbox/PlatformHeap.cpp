// The heap part of the memory role.
#include <cstdlib>

#include "platform/memory.h"
#include "sandbox/Machine.h"

namespace platform {

void* heapAlloc(std::size_t bytes) {
    if (sandbox::machine().heapExhausted) return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void heapFree(void* block) { std::free(block); }

}  // namespace platform
