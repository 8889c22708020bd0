#include "menu/Application.h"

#include "console/Console.h"
#include "menu/RootWindow.h"

Application::Application(HINSTANCE instance) : instance(instance), console(Console::instance()) {}

Application::~Application() = default;
