// The machine's first serial line: what COM1 and the UART models send ends up here.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace sandbox {

class SerialLine {
public:
    SerialLine() = default;
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    /// Also copies every byte to `path` (a host file, replaced) or, for "-", to standard
    /// error. False when the file cannot be created.
    bool copyTo(const std::string& path);

    void send(std::string_view bytes);
    /// Everything sent so far.
    const std::string& transcript() const { return transcript_; }

private:
    std::string transcript_;
    std::FILE* copy_ = nullptr;
    bool ownsCopy_ = false;
};

}  // namespace sandbox
