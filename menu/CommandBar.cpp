#include "menu/CommandBar.h"

#include <commctrl.h>

namespace {

/// The height of a handheld's command bar, which the strip keeps whatever the
/// desktop's toolbar metrics are.
constexpr int stripHeight = 26;

}  // namespace

HWND createCommandBar(HINSTANCE instance, HWND parent, int id) {
    RECT client;
    GetClientRect(parent, &client);
    // CCS_NORESIZE keeps the strip at its own height instead of the toolbar's default.
    DWORD style = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_TOP | CCS_NODIVIDER | CCS_NORESIZE;
    HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, client.right - client.left, stripHeight,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (bar != nullptr) SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // The handheld's bar gets its close and help adornments here; the desktop window
    // has them in its title bar already.
    return bar;
}

int commandBarHeight(HWND bar) {
    RECT r;
    if (bar == nullptr || !GetWindowRect(bar, &r)) return 0;
    return r.bottom - r.top;
}
