// Makes the tab control's pages.
#pragma once

class Application;
class TabControl;
class TabPage;

/// Page `index` (0 Main, 1 Option, 2 Console), recorded in the BootMenu and created;
/// null for any other index. The caller owns the page.
TabPage* createPage(Application& application, TabControl& tabControl, int index);
