// The Console page's log file on the first storage card.
#pragma once

#include "boot/WindowLinks.h"
#include "platform/types.h"

class LogFile {
public:
    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    bool isOpen() const { return handle_ != platform::invalidHandle; }

    /// Creates "\<card>\<name>", replacing an earlier file, and tells `page` (window
    /// only) where it is, or that there is no card. False when it cannot be created.
    bool open(const char16_t* name, ConsolePageLink& page);

    /// Writes each character as one byte of its low 7 bits, then flushes, so that the
    /// log survives whatever the boot does next.
    void write(const char16_t* text);

private:
    platform::Handle handle_ = platform::invalidHandle;
};
