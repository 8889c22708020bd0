#include "menu/Controls.h"

#include <commctrl.h>

#include "menu/Application.h"
#include "menu/ResourceIds.h"

namespace {

constexpr DWORD buttonStyle = 0x50014000;  // child, visible, tab stop, notify
constexpr DWORD progressStyle = 0x50000001;  // child, visible, smooth
constexpr DWORD tabStyle = 0x54010280;  // child, visible, clip siblings, tab stop, multi-line, vertical
constexpr int progressSteps = 11;
constexpr int tabImageWidth = 16;
constexpr int tabImageHeight = 36;

const wchar_t* const tabImages[] = {L"IDI_QELMENU_MAIN", L"IDI_QELMENU_OPTION", L"IDI_QELMENU_CONSOLE"};

}  // namespace

bool ChildControl::createControl(DWORD exStyle, const wchar_t* className, DWORD style, int x, int y, int width,
                                 int height, int id, const wchar_t* text) {
    window_ = CreateWindowExW(exStyle, className, text, style, x, y, width, height, parent_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), application_.instance, nullptr);
    return window_ != nullptr;
}

bool BootButton::create(const CREATESTRUCTW*) {
    return createControl(0, L"BUTTON", buttonStyle, layout_.left, layout_.top, width_, height_, ID_BOOT, L"Boot");
}

bool CancelButton::create(const CREATESTRUCTW*) {
    return createControl(0, L"BUTTON", buttonStyle, layout_.right - width_, layout_.top, width_, height_, ID_CANCEL,
                         L"Cancel");
}

bool ProgressBar::create(const CREATESTRUCTW*) {
    int width = layout_.right - layout_.left - 2 * width_;
    if (!createControl(WS_EX_CLIENTEDGE, PROGRESS_CLASSW, progressStyle, layout_.left + width_, layout_.top, width,
                       height_, ID_PROGRESS)) {
        return false;
    }
    SendMessageW(window_, PBM_SETRANGE, 0, MAKELPARAM(0, progressSteps));
    SendMessageW(window_, PBM_SETSTEP, 1, 0);
    SendMessageW(window_, PBM_SETPOS, 0, 0);
    return true;
}

TabControl::~TabControl() {
    if (images_ != nullptr) ImageList_Destroy(images_);
}

bool TabControl::create(const CREATESTRUCTW*) {
    if (!createControl(0, WC_TABCONTROLW, tabStyle, layout_.left, layout_.top, layout_.right - layout_.left,
                       layout_.bottom - layout_.top, id_)) {
        return false;
    }
    images_ = ImageList_Create(tabImageWidth, tabImageHeight, ILC_COLOR8, 3, 0);
    for (const wchar_t* name : tabImages) {
        HBITMAP bitmap = LoadBitmapW(application_.instance, name);
        ImageList_Add(images_, bitmap, nullptr);
        if (bitmap != nullptr) DeleteObject(bitmap);
    }
    SendMessageW(window_, TCM_SETPADDING, 0, MAKELPARAM(1, 1));
    SendMessageW(window_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    return true;
}
