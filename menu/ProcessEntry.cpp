#include "menu/ProcessEntry.h"

#include <commctrl.h>

#include <memory>

#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "menu/Application.h"
#include "menu/MessageLoop.h"
#include "menu/RootWindow.h"

namespace {

void initCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
}

}  // namespace

int processEntry(HINSTANCE instance) {
    BootMenu::instance();
    initCommonControls();
    auto application = std::make_unique<Application>(instance);
    application->rootWindow = std::make_unique<RootWindow>(*application);
    int result = 0;
    if (registerRootWindowClass(instance) && application->rootWindow->create(nullptr)) {
        BootController::instance();
        result = runMessageLoop(*application);
    }
    BootController::destroyInstance();
    application->rootWindow.reset();
    application.reset();
    Console::destroyInstance();
    BootMenu::destroyInstance();
    return result;
}
