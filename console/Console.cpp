#include "console/Console.h"

#include <new>

#include "boot/BootMenu.h"

namespace {
Console* current = nullptr;
Console* created = nullptr;
}  // namespace

Console* Console::window() {
    if (created == nullptr) created = new (std::nothrow) Console();
    // Callers print without testing the result, so a console must always exist:
    // without memory for one, a static one takes its place.
    static Console fallback;
    return created != nullptr ? created : &fallback;
}

Console* Console::instance() {
    if (current == nullptr) current = window();
    return current;
}

void Console::setInstance(Console* console) { current = console; }

void Console::destroyInstance() {
    delete created;
    created = nullptr;
    current = nullptr;
}

void Console::emit() { BootMenu::instance()->print(buffer); }
