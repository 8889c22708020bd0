#include "menu/MainTab.h"

#include <algorithm>
#include <new>

#include "boot/BootMenu.h"
#include "menu/DesignUnits.h"
#include "menu/DialogItems.h"
#include "menu/ResourceIds.h"
#include "menu/WideText.h"
#include "platform/queries.h"

namespace {

/// The flag boxes, in the order they are stacked in their column.
constexpr int optionColumn[] = {IDC_VERBOSE, IDC_SINGLE_USER, IDC_ASK_NAME, IDC_KERNEL_DEBUGGER, IDC_SERIAL_CONSOLE};

constexpr const wchar_t* serialSpeeds[] = {L"9600", L"19200", L"115200"};

/// Moves a control to a place in design units, keeping its size and stacking order.
void moveTo(HWND control, int x, int y) {
    SetWindowPos(control, nullptr, designUnits::toPixelsX(x), designUnits::toPixelsY(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

MainTab::MainTab(Application& application, TabControl& tabControl)
    : TabPage(application, tabControl, L"WMain", mainPage) {}

void MainTab::init(HWND dialog) {
    TabPage::init(dialog);
    const Preferences& p = BootMenu::instance()->preferences;
    fillDirectories();
    fillPlatforms();
    SetDlgItemTextW(dialog, IDC_KERNEL_NAME, p.kernelNameSaved != 0 ? wide(p.kernelName) : L"korvel.gz");
    CheckDlgButton(dialog, IDC_ROOT_WD + static_cast<int>(p.rootDevice), BST_CHECKED);
    imageName_ = GetDlgItem(dialog, IDC_ROOT_IMAGE);
    SetWindowTextW(imageName_, wide(p.rootImageName));
    enableImageName();
    placeOptionBoxes();
    setChecked(dialog, IDC_ASK_NAME, p.askName);
    setChecked(dialog, IDC_KERNEL_DEBUGGER, p.kernelDebugger);
    setChecked(dialog, IDC_SINGLE_USER, p.singleUser);
    setChecked(dialog, IDC_VERBOSE, p.verbose);
    setChecked(dialog, IDC_SERIAL_CONSOLE, p.serialConsole);
    fillSerialSpeeds();
    enableSerialSpeed();
}

void MainTab::command(WORD id, WORD) {
    if (id >= IDC_ROOT_WD && id <= IDC_ROOT_NFS) enableImageName();
    if (id == IDC_SERIAL_CONSOLE) enableSerialSpeed();
}

void MainTab::collect() {
    BootMenu& menu = *BootMenu::instance();
    Preferences& p = menu.preferences;
    HWND d = dialog();
    wchar_t text[Preferences::textUnits];
    GetDlgItemTextW(d, IDC_DIRECTORY, text, Preferences::textUnits);
    setRecordText(p.kernelDirectory, utf16(text));
    p.directorySaved = 1;
    GetDlgItemTextW(d, IDC_KERNEL_NAME, text, Preferences::textUnits);
    setRecordText(p.kernelName, utf16(text));
    p.kernelNameSaved = 1;
    LRESULT position = SendDlgItemMessageW(d, IDC_PLATFORM, CB_GETCURSEL, 0, 0);
    if (position != CB_ERR) menu.selectPlatform(platforms_ ? platforms_[position].index : static_cast<std::int32_t>(position));
    for (int id = IDC_ROOT_WD; id <= IDC_ROOT_NFS; ++id) {
        if (!isChecked(d, id)) continue;
        p.rootDevice = static_cast<std::uint32_t>(id - IDC_ROOT_WD);
        break;
    }
    p.askName = isChecked(d, IDC_ASK_NAME);
    p.kernelDebugger = isChecked(d, IDC_KERNEL_DEBUGGER);
    p.verbose = isChecked(d, IDC_VERBOSE);
    p.singleUser = isChecked(d, IDC_SINGLE_USER);
    p.serialConsole = isChecked(d, IDC_SERIAL_CONSOLE);
    GetWindowTextW(imageName_, text, Preferences::textUnits);
    setRecordText(p.rootImageName, utf16(text));
    wchar_t speed[8];
    GetWindowTextW(serialSpeed_, speed, std::size(speed));
    p.serialSpeed = static_cast<std::uint32_t>(readDecimal(speed));
}

void MainTab::fillDirectories() {
    const BootMenu& menu = *BootMenu::instance();
    HWND combo = GetDlgItem(dialog(), IDC_DIRECTORY);
    char16_t entry[Preferences::textUnits];
    for (std::int32_t i = 0; menu.directoryEntry(i, entry); ++i) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry)));
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(menu.currentDirectoryIndex()), 0);
}

void MainTab::fillPlatforms() {
    const BootMenu& menu = *BootMenu::instance();
    HWND combo = GetDlgItem(dialog(), IDC_PLATFORM);
    std::int32_t count = 0;
    while (menu.platformName(count) != nullptr) ++count;
    std::int32_t current = menu.currentPlatformIndex();
    platforms_.reset(new (std::nothrow) PlatformEntry[static_cast<std::size_t>(count)]);
    if (!platforms_) {
        for (std::int32_t i = 0; i < count; ++i) {
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(menu.platformName(i))));
        }
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(current), 0);
        return;
    }
    for (std::int32_t i = 0; i < count; ++i) platforms_[i] = {i, menu.platformName(i)};
    std::sort(platforms_.get(), platforms_.get() + count, [](const PlatformEntry& a, const PlatformEntry& b) {
        return lstrcmpW(wide(a.name), wide(b.name)) < 0;
    });
    std::int32_t selected = 0;
    for (std::int32_t position = 0; position < count; ++position) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(platforms_[position].name)));
        if (platforms_[position].index == current) selected = position;
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void MainTab::placeOptionBoxes() {
    int width = platform::displayCapability(platform::DisplayCapability::width);
    int height = platform::displayCapability(platform::DisplayCapability::height);
    // A wide, low display has room for a column beside the root-file-system box.
    bool beside = width > 320 && height <= 240;
    int x = beside ? 250 : 5;
    int y = beside ? 5 : 125;
    for (int row = 0; row < static_cast<int>(std::size(optionColumn)); ++row) {
        moveTo(GetDlgItem(dialog(), optionColumn[row]), x, y + 20 * row);
    }
    moveTo(GetDlgItem(dialog(), IDC_SERIAL_SPEED), x + 100, y + 80);
}

void MainTab::fillSerialSpeeds() {
    serialSpeed_ = GetDlgItem(dialog(), IDC_SERIAL_SPEED);
    std::uint32_t saved = BootMenu::instance()->preferences.serialSpeed;
    int selected = 0;
    for (int i = static_cast<int>(std::size(serialSpeeds)) - 1; i >= 0; --i) {
        if (static_cast<std::uint32_t>(readDecimal(serialSpeeds[i])) == saved) selected = i;
    }
    for (const wchar_t* speed : serialSpeeds) SendMessageW(serialSpeed_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(speed));
    SendMessageW(serialSpeed_, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void MainTab::enableImageName() { EnableWindow(imageName_, isChecked(dialog(), IDC_ROOT_MD)); }

void MainTab::enableSerialSpeed() { EnableWindow(serialSpeed_, isChecked(dialog(), IDC_SERIAL_CONSOLE)); }
