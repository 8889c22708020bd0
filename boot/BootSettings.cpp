// The settings a boot attempt takes from the Preferences.
#include <string_view>

#include "boot/BootController.h"
#include "console/Console.h"

namespace {

/// Copies a Preferences text whole; a text without an end within its field is
/// refused rather than cut, since a cut name would open some other file.
bool copyWhole(Console* console, char16_t (&to)[Preferences::textUnits], const char16_t (&from)[Preferences::textUnits],
               const char16_t* what) {
    std::u16string_view text = recordText(from);
    if (text.size() >= Preferences::textUnits) {
        console->print(u"%s is longer than %d characters.\n", what, static_cast<int>(Preferences::textUnits - 1));
        return false;
    }
    setRecordText(to, text);
    return true;
}

}  // namespace

std::uint32_t BootController::fileSourceKindOf(std::u16string_view directory) {
    if (directory.find(u"http://") != std::u16string_view::npos) return httpFiles;
    if (directory.find(u'/') != std::u16string_view::npos) return ufsFiles;
    return localFiles;
}

bool BootController::readSettings(const Preferences& p) {
    useSerialConsole = p.serialConsole != 0 ? 1 : 0;
    if (!copyWhole(console, kernelDirectory, p.kernelDirectory, u"kernel directory") ||
        !copyWhole(console, kernelName, p.kernelName, u"kernel name")) {
        return false;
    }
    fileSourceKind = fileSourceKindOf(recordText(kernelDirectory));
    hasFileSystemImage = p.rootDevice == Preferences::rootMd ? 1 : 0;
    if (hasFileSystemImage != 0 && !copyWhole(console, fileSystemImageName, p.rootImageName, u"image name")) return false;
    architectureDebug = 0;
    memoryDebug = 0;
    fileDebug = 0;
    return true;
}
