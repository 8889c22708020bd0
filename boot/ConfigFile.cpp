// The Preferences record kept in "\<card>\tembrel.cnf".
#include "boot/BootMenu.h"
#include "boot/StorageDirectory.h"
#include "console/format.h"
#include "platform/files.h"

namespace {

constexpr std::uint32_t headerBytes = 12;

/// An open platform file, closed when it goes out of scope.
class OpenFile {
public:
    explicit OpenFile(platform::Handle handle) : handle_(handle) {}
    ~OpenFile() { close(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool isOpen() const { return handle_ != platform::invalidHandle; }
    platform::Handle handle() const { return handle_; }
    /// Closes now; true when the platform closed it.
    bool close() {
        bool closed = isOpen() && platform::closeHandle(handle_);
        handle_ = platform::invalidHandle;
        return closed;
    }

private:
    platform::Handle handle_;
};

using Path = char16_t[Preferences::textUnits + 32];

/// "\<card>\<leaf>" on the first storage card; false without a card.
bool cardPath(Path& path, const char16_t* leaf) {
    char16_t card[storageNameUnits];
    if (!findStorageDirectory(card)) return false;
    console::format(path, std::size(path), u"\\%s\\%s", static_cast<const char16_t*>(card), leaf);
    return true;
}

bool readExactly(platform::Handle file, void* buffer, std::uint32_t length, std::uint32_t& got) {
    got = 0;
    return platform::readFile(file, buffer, length, &got);
}

}  // namespace

bool BootMenu::loadPreferences() {
    Path path;
    if (!cardPath(path, u"tembrel.cnf")) return false;
    OpenFile file(platform::createFile(path, platform::genericRead, 0, platform::openExisting, platform::attributeNormal));
    if (!file.isOpen()) return false;

    // Read into a fresh record so that a rejected file leaves the Preferences as they
    // were; fields beyond the stored bytes keep their defaults.
    Preferences loaded{};
    BootMenu::setDefaults(loaded);
    std::uint32_t got = 0;
    if (!readExactly(file.handle(), &loaded, headerBytes, got) || got < headerBytes) return false;
    if (loaded.magic != Preferences::magicValue) return false;

    // The stored size says how much to read, but never more than the record holds.
    std::uint32_t size = loaded.recordSize < Preferences::recordBytes ? loaded.recordSize : Preferences::recordBytes;
    if (platform::setFilePointer(file.handle(), 0, platform::fromBeginning) != 0) return false;
    if (!readExactly(file.handle(), &loaded, size, got)) return false;
    preferences = loaded;
    return true;
}

bool BootMenu::savePreferences() {
    Path path;
    Path staging;
    if (!cardPath(path, u"tembrel.cnf") || !cardPath(staging, u"tembrel.new")) return false;

    // The record goes to a new file that then replaces the old one, so a save that
    // stops halfway leaves the previous good file in place.
    OpenFile file(platform::createFile(staging, platform::genericWrite, 0, platform::createAlways, platform::attributeNormal));
    if (!file.isOpen()) return false;
    std::uint32_t size = preferences.recordSize < Preferences::recordBytes ? preferences.recordSize : Preferences::recordBytes;
    std::uint32_t written = 0;
    bool complete = platform::writeFile(file.handle(), &preferences, size, &written) && written == size;
    complete = file.close() && complete;
    if (complete && platform::replaceFile(path, staging)) return true;
    platform::deleteFile(staging);
    return false;
}

void BootMenu::setDefaults() { setDefaults(preferences); }

void BootMenu::setDefaults(Preferences& p) {
    p.magic = Preferences::magicValue;
    p.reserved = 0;
    p.directorySaved = 0;
    p.kernelNameSaved = 0;
    p.cpuCode = 0;
    p.machineCode = 0;
    p.rootDevice = Preferences::rootWd;
    setRecordText(p.rootImageName, u"miniroot.fs");
    p.serialConsole = 0;
    p.verbose = 0;
    p.singleUser = 0;
    p.askName = 0;
    p.kernelDebugger = 0;
    setRecordText(p.extraKernelOptions, u"");
    p.autoBootSeconds = 0;
    p.reverseVideo = 0;
    p.pauseBeforeBoot = 1;
    p.safetyMessage = 1;
    p.serialSpeed = 19200;
}
