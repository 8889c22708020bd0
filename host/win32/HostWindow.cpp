#include "host/win32/HostWindow.h"

#include <windows.h>

namespace host {

std::int32_t showMessageBox(void* owner, const char16_t* text, const char16_t* caption, std::uint32_t style) {
    return MessageBoxW(static_cast<HWND>(owner), reinterpret_cast<const wchar_t*>(text),
                       reinterpret_cast<const wchar_t*>(caption), style);
}

}  // namespace host
