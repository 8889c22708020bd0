#include "menu/OptionTab.h"

#include <commctrl.h>

#include <cstdio>

#include "boot/BootMenu.h"
#include "menu/Application.h"
#include "menu/DesignUnits.h"
#include "menu/DialogItems.h"
#include "menu/ResourceIds.h"
#include "menu/WideText.h"

namespace {

constexpr DWORD upDownStyle = 0x50800006;  // child, visible, border, right of its buddy, buddy holds an integer
constexpr int secondsLow = 1;
constexpr int secondsHigh = 60;
constexpr int secondsStart = 30;
constexpr int secondsUnits = 32;
constexpr int extraOptionsUnits = 256;

}  // namespace

OptionTab::OptionTab(Application& application, TabControl& tabControl)
    : TabPage(application, tabControl, L"WOption", optionPage) {}

void OptionTab::init(HWND dialog) {
    TabPage::init(dialog);
    const Preferences& p = BootMenu::instance()->preferences;
    seconds_ = GetDlgItem(dialog, IDC_AUTO_BOOT_SECONDS);
    createUpDown();
    setChecked(dialog, IDC_AUTO_BOOT, p.autoBootSeconds != 0);
    enableSeconds();
    if (p.autoBootSeconds != 0) {
        wchar_t text[16];
        std::swprintf(text, std::size(text), L"%d", static_cast<int>(p.autoBootSeconds));
        SetWindowTextW(seconds_, text);
    }
    setChecked(dialog, IDC_REVERSE_VIDEO, p.reverseVideo);
    setChecked(dialog, IDC_PAUSE_BEFORE_BOOT, p.pauseBeforeBoot);
    setChecked(dialog, IDC_LOAD_DEBUG_INFO, p.loadDebugInfo);
    setChecked(dialog, IDC_SAFETY_MESSAGE, p.safetyMessage);
    SetDlgItemTextW(dialog, IDC_EXTRA_OPTIONS, wide(p.extraKernelOptions));
}

void OptionTab::command(WORD id, WORD) {
    if (id == IDC_AUTO_BOOT) enableSeconds();
}

void OptionTab::collect() {
    Preferences& p = BootMenu::instance()->preferences;
    HWND d = dialog();
    if (isChecked(d, IDC_AUTO_BOOT)) {
        wchar_t seconds[secondsUnits];
        GetWindowTextW(seconds_, seconds, secondsUnits);
        p.autoBootSeconds = static_cast<std::int32_t>(readDecimal(seconds));
    } else {
        p.autoBootSeconds = 0;
    }
    p.reverseVideo = isChecked(d, IDC_REVERSE_VIDEO);
    p.pauseBeforeBoot = isChecked(d, IDC_PAUSE_BEFORE_BOOT);
    p.loadDebugInfo = isChecked(d, IDC_LOAD_DEBUG_INFO);
    p.safetyMessage = isChecked(d, IDC_SAFETY_MESSAGE);
    wchar_t options[extraOptionsUnits];
    GetDlgItemTextW(d, IDC_EXTRA_OPTIONS, options, extraOptionsUnits);
    setRecordText(p.extraKernelOptions, utf16(options));
}

void OptionTab::createUpDown() {
    using namespace designUnits;
    upDown_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, upDownStyle, toPixelsX(80), toPixelsY(0), toPixelsX(50),
                              toPixelsY(50), dialog(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_AUTO_BOOT_UPDOWN)),
                              application_.instance, nullptr);
    SendMessageW(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(seconds_), 0);
    SendMessageW(upDown_, UDM_SETRANGE32, secondsLow, secondsHigh);
    SendMessageW(upDown_, UDM_SETPOS32, 0, secondsStart);
}

void OptionTab::enableSeconds() {
    BOOL on = isChecked(dialog(), IDC_AUTO_BOOT);
    EnableWindow(seconds_, on);
    EnableWindow(upDown_, on);
}
