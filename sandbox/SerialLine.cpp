#include "sandbox/SerialLine.h"

namespace sandbox {

SerialLine::~SerialLine() {
    if (ownsCopy_) std::fclose(copy_);
}

bool SerialLine::copyTo(const std::string& path) {
    if (ownsCopy_) std::fclose(copy_);
    ownsCopy_ = path != "-";
    copy_ = ownsCopy_ ? std::fopen(path.c_str(), "wb") : stderr;
    if (copy_ == nullptr) ownsCopy_ = false;
    return copy_ != nullptr;
}

void SerialLine::send(std::string_view bytes) {
    transcript_.append(bytes);
    if (copy_ != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), copy_);
        std::fflush(copy_);
    }
}

}  // namespace sandbox
