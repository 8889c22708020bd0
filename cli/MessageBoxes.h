// Message boxes on the terminal: each is shown with its caption and answered by the
// user's standing answer, or asked when the terminal is interactive.
#pragma once

#include <optional>

#include "cli/Terminal.h"

/// Installs the policy on the sandbox machine. `standing` is --yes or --no, if given.
void answerBoxesOnTerminal(Terminal& terminal, std::optional<bool> standing);
