#include "cli/Terminal.h"

#include <cstdio>
#include <string>
#include "host/posix/TerminalQuery.h"

#include "console/Console.h"
#include "host/CodePage.h"

namespace {
constexpr int progressSteps = 11;
}  // namespace

Terminal::Terminal(bool logToFile) : logToFile_(logToFile), interactive_(host::standardOutputIsTerminal()) {}

void Terminal::progress(const char* label) {
    Console::instance()->print(u"[progress] %S\n", label);
    if (position_ < progressSteps) ++position_;
    drawBar();
}

void Terminal::progressReset() {
    position_ = 0;
    eraseBar();
}

void Terminal::print(const char16_t* text, bool windowOnly) {
    if (!windowOnly && logToFile_) {
        if (!log_.isOpen() && !log_.open(u"bootlog.txt", *this)) logToFile_ = false;
        if (log_.isOpen()) {
            log_.write(text);
            return;
        }
    }
    show(host::toUtf8(text));
}

void Terminal::show(const std::string& text) {
    bool hadBar = barShown_;
    eraseBar();
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    if (hadBar) drawBar();
}

void Terminal::eraseBar() {
    if (!barShown_) return;
    std::fputs("\r\033[K", stdout);
    barShown_ = false;
}

void Terminal::drawBar() {
    if (!interactive_) return;
    eraseBar();
    std::string bar = "[" + std::string(static_cast<std::size_t>(position_), '#') +
                      std::string(static_cast<std::size_t>(progressSteps - position_), ' ') + "] " +
                      std::to_string(position_) + "/" + std::to_string(progressSteps);
    std::fputs(bar.c_str(), stdout);
    std::fflush(stdout);
    barShown_ = true;
}
