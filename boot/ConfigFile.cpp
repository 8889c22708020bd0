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

constexpr const char16_t* recordLeaf = u"tembrel.cnf";
/// Where a save writes the record before it replaces the file.
constexpr const char16_t* stagingLeaf = u"tembrel.new";

/// "\<card>\<leaf>".
void cardPath(Path& path, const char16_t (&card)[storageNameUnits], const char16_t* leaf) {
    console::format(path, std::size(path), u"\\%s\\%s", static_cast<const char16_t*>(card), leaf);
}

/// The record size a header claims, never more than the record holds.
std::uint32_t storedSize(const Preferences& p) {
    return p.recordSize < Preferences::recordBytes ? p.recordSize : Preferences::recordBytes;
}

/// Reads the record in `path` into `loaded`, over its defaults. False when the file is
/// missing, foreign, or holds fewer bytes than its header claims: such a file was cut
/// off while it was written, and half a record is not the user's settings.
bool readRecord(const char16_t* path, Preferences& loaded) {
    OpenFile file(platform::createFile(path, platform::genericRead, 0, platform::openExisting, platform::attributeNormal));
    if (!file.isOpen()) return false;
    std::uint32_t got = 0;
    if (!platform::readFile(file.handle(), &loaded, headerBytes, &got) || got < headerBytes) return false;
    if (loaded.magic != Preferences::magicValue) return false;
    std::uint32_t size = storedSize(loaded);
    if (platform::setFilePointer(file.handle(), 0, platform::fromBeginning) != 0) return false;
    return platform::readFile(file.handle(), &loaded, size, &got) && got == size;
}

}  // namespace

bool BootMenu::loadPreferences() {
    char16_t card[storageNameUnits];
    if (!findStorageDirectory(card)) return false;
    // A save that stopped after its staging file was whole but before the replace
    // left the newest record there; it stands in when the record file holds none.
    for (const char16_t* leaf : {recordLeaf, stagingLeaf}) {
        Path path;
        cardPath(path, card, leaf);
        // A fresh record, so that a rejected file leaves the Preferences as they were;
        // fields beyond a shorter stored record keep their defaults.
        Preferences loaded{};
        BootMenu::setDefaults(loaded);
        if (readRecord(path, loaded)) {
            preferences = loaded;
            return true;
        }
    }
    return false;
}

bool BootMenu::savePreferences() {
    // The card is found once, so that both files of the save lie on the same card.
    char16_t card[storageNameUnits];
    if (!findStorageDirectory(card)) return false;
    Path path;
    Path staging;
    cardPath(path, card, recordLeaf);
    cardPath(staging, card, stagingLeaf);

    // The record goes to a new file that then replaces the old one in one step, so a
    // save that stops anywhere leaves either the previous record or the new one whole.
    OpenFile file(platform::createFile(staging, platform::genericWrite, 0, platform::createAlways, platform::attributeNormal));
    if (!file.isOpen()) return false;
    std::uint32_t size = storedSize(preferences);
    std::uint32_t written = 0;
    bool complete = platform::writeFile(file.handle(), &preferences, size, &written) && written == size;
    // The bytes reach the card before the replace: a replace that landed first would
    // expose a file whose bytes never arrived.
    complete = complete && platform::flushFile(file.handle());
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
