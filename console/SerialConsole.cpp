#include "console/SerialConsole.h"

// The serial port driver and its banner are not part of this build yet: no port.
platform::Handle SerialConsole::openPort() { return platform::invalidHandle; }
