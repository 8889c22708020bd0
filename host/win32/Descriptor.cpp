#include "host/Descriptor.h"

#include <io.h>

namespace host {

Descriptor::~Descriptor() {
    if (fd_ >= 0) ::_close(fd_);
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::_close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

}  // namespace host
