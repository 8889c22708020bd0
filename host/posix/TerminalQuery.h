// Whether the front end talks to a person.
#pragma once

namespace host {

bool standardInputIsTerminal();
bool standardOutputIsTerminal();

}  // namespace host
