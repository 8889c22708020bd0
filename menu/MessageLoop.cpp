#include "menu/MessageLoop.h"

#include "boot/BootMenu.h"
#include "menu/Application.h"
#include "menu/ResourceIds.h"
#include "menu/RootWindow.h"

int runMessageLoop(Application& application) {
    MSG message{};
    // GetMessage gives -1 on failure: that ends the loop too, with code 0.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) handleMessage(application, message);
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

void handleMessage(Application& application, MSG& message) {
    RootWindow* root = application.rootWindow.get();
    bool keyOrTap = message.message == WM_KEYDOWN || message.message == WM_LBUTTONDOWN;
    if (keyOrTap && root != nullptr && root->hwnd() != nullptr &&
        BootMenu::instance()->preferences.autoBootSeconds > 0) {
        KillTimer(root->hwnd(), ID_AUTOBOOT_TIMER);
    }
    if (root != nullptr && root->navigate(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}
