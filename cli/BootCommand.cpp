#include "cli/BootCommand.h"

#include "platform/ui.h"

bool runBootCommand(BootMenu& menu, RootWindowLink& window) {
    menu.collect();
    if (menu.preferences.safetyMessage != 0) {
        std::uint32_t icon = menu.preferences.pauseBeforeBoot != 0 ? 0x20 : platform::boxIconExclamation;
        if (menu.messageBox(u"Data in memory will be lost.\nAre you sure?", u"WARNING", platform::boxYesNo | icon) !=
            platform::answerYes) {
            return false;
        }
        menu.redraw();
    }
    window.progressReset();
    menu.print(u"BOOT START\n");
    menu.collect();
    menu.savePreferences();
    menu.boot();
    return true;
}
