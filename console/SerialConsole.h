// The process-wide serial debug port, and the console bound to it.
#pragma once

#include <cstdint>

#include "console/Console.h"
#include "platform/types.h"

/// Base of the consoles that drive a UART. Only its variants are ever created: they
/// supply the output path, this class the port and the 8-bit conversion.
class SerialConsole : public Console {
public:
    static constexpr std::uint32_t narrowUnits = 256;

    SerialConsole() { type = serialConsole; }

    /// Opens "COM1:" at the Preferences' speed and writes the banner, once per process.
    /// Returns the port, or platform::invalidHandle when it cannot be opened.
    static platform::Handle openPort();
    /// Forgets the process-wide port without closing it: the process is ending, or a
    /// new machine takes the old one's place.
    static void forgetPort();

    /// True when the console has a port; prints the port's settings to the window.
    bool open() override;

protected:
    void emit() override = 0;

    /// Converts `buffer` into `narrowBuffer`; false (the message is dropped) when it
    /// needs 256 bytes or more, or cannot be converted.
    bool toNarrow();

    platform::Handle port = platform::invalidHandle;
    char narrowBuffer[narrowUnits] = {};

private:
    /// Formats into `buffer` and hands it to the window, whatever this console is.
    template <class... Args>
    void printToWindow(console::FormatString<std::type_identity_t<Args>...> format, const Args&... args) {
        console::format<Args...>(buffer, bufferUnits, format, args...);
        Console::emit();
    }
};
