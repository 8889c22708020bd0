// Check boxes and radio buttons of a page, by control id.
#pragma once

#include <windows.h>

#include <cstdint>

inline bool isChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

/// Checks the box when `flag` is set (not 0), unchecks it otherwise.
inline void setChecked(HWND dialog, int id, std::uint32_t flag) {
    CheckDlgButton(dialog, id, flag != 0 ? BST_CHECKED : BST_UNCHECKED);
}
