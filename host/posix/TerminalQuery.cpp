#include "host/posix/TerminalQuery.h"

#include <unistd.h>

namespace host {

bool standardInputIsTerminal() { return ::isatty(STDIN_FILENO) != 0; }
bool standardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

}  // namespace host
