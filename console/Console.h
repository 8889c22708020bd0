// The process-wide diagnostic channel.
//
// The base class is the window console: each message goes to the BootMenu, which hands
// it to the Console tab when the window exists and drops it otherwise. Serial consoles
// derive from it and replace `emit`.
#pragma once

#include <cstdint>

#include "console/format.h"

class Console {
public:
    /// Units in `buffer`: 258 characters and the terminator.
    static constexpr std::size_t bufferUnits = 259;

    // Console type codes reported to the kernel.
    static constexpr std::int16_t windowConsole = 1;
    static constexpr std::int16_t serialConsole = 2;

    Console() = default;
    virtual ~Console() = default;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    /// Formats one message into `buffer` and emits it. No newline is added.
    template <class... Args>
    void print(console::FormatString<std::type_identity_t<Args>...> format, const Args&... args) {
        console::format<Args...>(buffer, bufferUnits, format, args...);
        emit();
    }

    /// Makes the console ready for output; the window console is always ready.
    virtual bool open() { return true; }

    std::int16_t consoleType() const { return type; }

    /// The current console; creates the window console when none is installed.
    static Console* instance();
    /// The window console itself, whatever console is current; created when needed.
    static Console* window();
    /// Makes `console` the current console. The caller keeps ownership.
    static void setInstance(Console* console);
    /// Destroys the window console, if one was created, and empties the slot.
    static void destroyInstance();

protected:
    /// Hands the formatted `buffer` on.
    virtual void emit();

    std::int16_t type = windowConsole;
    char16_t buffer[bufferUnits] = {};
};
