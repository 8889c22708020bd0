#include "menu/Window.h"

bool Window::windowProc(HWND, UINT message, WPARAM, LPARAM) {
    if (message != WM_DESTROY) return false;
    PostQuitMessage(0);
    return true;
}
