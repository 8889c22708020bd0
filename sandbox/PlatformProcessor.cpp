// The processor role: the kernel-mode switch of the calling thread.
#include "platform/processor.h"
#include "sandbox/Machine.h"

namespace platform {

bool setKernelMode(bool privileged) {
    sandbox::Machine& m = sandbox::machine();
    bool previous = m.kernelMode;
    m.kernelMode = privileged;
    return previous;
}

}  // namespace platform
