#include "menu/PageFactory.h"

#include "boot/BootMenu.h"
#include "menu/ConsoleTab.h"
#include "menu/MainTab.h"
#include "menu/OptionTab.h"

TabPage* createPage(Application& application, TabControl& tabControl, int index) {
    BootMenu& menu = *BootMenu::instance();
    TabPage* page = nullptr;
    switch (index) {
        case TabPage::mainPage: {
            auto* main = new MainTab(application, tabControl);
            menu.mainTab = main;
            page = main;
            break;
        }
        case TabPage::optionPage: {
            auto* option = new OptionTab(application, tabControl);
            menu.optionTab = option;
            page = option;
            break;
        }
        case TabPage::consolePage: {
            auto* console = new ConsoleTab(application, tabControl);
            menu.consoleTab = console;
            page = console;
            break;
        }
        default:
            return nullptr;
    }
    page->create(nullptr);
    return page;
}
