#include "cli/MessageBoxes.h"

#include <cstdio>
#include <iostream>
#include <string>
#include "host/posix/TerminalQuery.h"

#include "host/CodePage.h"
#include "platform/ui.h"
#include "sandbox/Machine.h"

namespace {

bool isQuestion(const sandbox::MessageBoxRecord& box) { return (box.style & 0x0F) == platform::boxYesNo; }

/// Asks on the terminal until the answer is yes or no; end of input counts as no.
bool ask(Terminal& terminal) {
    for (;;) {
        terminal.show("  answer [y/n]: ");
        std::string line;
        if (!std::getline(std::cin, line)) return false;
        if (line == "y" || line == "yes") return true;
        if (line == "n" || line == "no") return false;
    }
}

}  // namespace

void answerBoxesOnTerminal(Terminal& terminal, std::optional<bool> standing) {
    bool interactive = host::standardInputIsTerminal();
    sandbox::machine().boxPolicy = [&terminal, standing, interactive](const sandbox::MessageBoxRecord& box) {
        std::string text = host::toUtf8(box.text);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        terminal.show("[" + host::toUtf8(box.caption) + "] " + text + "\n");
        if (!isQuestion(box)) return platform::answerOk;
        bool yes = true;
        if (standing) {
            yes = *standing;
        } else if (interactive) {
            yes = ask(terminal);
        }
        terminal.show(yes ? "  -> Yes\n" : "  -> No\n");
        return yes ? platform::answerYes : platform::answerNo;
    };
}
