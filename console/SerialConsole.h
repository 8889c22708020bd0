// The process-wide serial debug port.
#pragma once

#include "platform/types.h"

class SerialConsole {
public:
    /// Opens the serial debug port with its banner, once per process.
    /// Returns the port, or platform::invalidHandle when there is none.
    static platform::Handle openPort();
};
