// The files role over the storage root.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "host/CodePage.h"
#include "host/HostDirectory.h"
#include "host/HostFile.h"
#include "platform/files.h"
#include "sandbox/Machine.h"
#include "sandbox/StoragePath.h"

namespace sandbox {

namespace {

std::uint32_t errorCode(int error) {
    switch (error) {
        case ENOENT: return platform::errorFileNotFound;
        case ENOTDIR: return platform::errorPathNotFound;
        case EACCES: case EPERM: case EISDIR: case EROFS: return platform::errorAccessDenied;
        case ENOMEM: return platform::errorNotEnoughMemory;
        case ENOSPC: return platform::errorDiskFull;
        case ENAMETOOLONG: return platform::errorInvalidName;
        default: return platform::errorWriteFault;
    }
}

class HostFileObject : public OpenObject {
public:
    explicit HostFileObject(host::File file) : file_(std::move(file)) {}

    bool read(void* buffer, std::uint32_t length, std::uint32_t& transferred) override {
        std::int64_t n = file_.read(buffer, length);
        transferred = n < 0 ? 0 : static_cast<std::uint32_t>(n);
        if (n < 0) machine().lastError = platform::errorReadFault;
        return n >= 0;
    }

    bool write(const void* buffer, std::uint32_t length, std::uint32_t& transferred) override {
        std::optional<std::uint64_t>& space = machine().storageSpace;
        std::uint32_t allowed = space && *space < length ? static_cast<std::uint32_t>(*space) : length;
        std::int64_t n = file_.write(buffer, allowed);
        if (space && n > 0) *space -= static_cast<std::uint64_t>(n);
        if (n == allowed && allowed < length) {
            transferred = static_cast<std::uint32_t>(n);
            machine().lastError = platform::errorDiskFull;
            return false;
        }
        transferred = n < 0 ? 0 : static_cast<std::uint32_t>(n);
        if (n < static_cast<std::int64_t>(length)) machine().lastError = errorCode(file_.error());
        return n == static_cast<std::int64_t>(length);
    }

    std::uint32_t seek(std::int32_t distance, std::uint32_t method) override {
        int whence = method == platform::fromCurrent ? SEEK_CUR : method == platform::fromEnd ? SEEK_END : SEEK_SET;
        std::int64_t position = file_.seek(distance, whence);
        if (position < 0 || position >= platform::invalidFileSize) {
            machine().lastError = platform::errorAccessDenied;
            return platform::invalidFileSize;
        }
        return static_cast<std::uint32_t>(position);
    }

    std::uint32_t size() override {
        std::int64_t bytes = file_.size();
        if (bytes < 0 || bytes >= platform::invalidFileSize) return platform::invalidFileSize;
        return static_cast<std::uint32_t>(bytes);
    }

private:
    host::File file_;
};

/// An enumeration in progress: the remaining entries of one folder.
class SearchObject : public OpenObject {
public:
    std::vector<platform::FindData> entries;
    std::size_t next = 0;
};

/// Spends one call of the machine's file-call budget; false, with "not ready", once
/// the budget is spent.
bool fileCallAllowed() {
    std::optional<std::uint64_t>& left = machine().fileCallsLeft;
    if (!left) return true;
    if (*left == 0) {
        machine().lastError = platform::errorNotReady;
        return false;
    }
    --*left;
    return true;
}

bool isDeviceName(const std::u16string& name) { return !name.empty() && name.back() == u':'; }

platform::Handle openDevice(const std::u16string& name) {
    Machine& m = machine();
    auto it = m.devices.find(name);
    if (it == m.devices.end()) {
        m.lastError = platform::errorFileNotFound;
        return platform::invalidHandle;
    }
    std::unique_ptr<OpenObject> device = it->second();
    return device ? m.addHandle(std::move(device)) : platform::invalidHandle;
}

platform::FindData findData(const host::DirectoryEntry& entry, bool atRoot) {
    platform::FindData data{};
    const std::vector<std::string>& cards = machine().storageCards;
    bool card = atRoot && entry.isDirectory && std::find(cards.begin(), cards.end(), entry.name) != cards.end();
    data.attributes = entry.isDirectory ? platform::attributeDirectory : platform::attributeNormal;
    if (card) data.attributes |= platform::attributeTemporary;
    std::u16string name = host::fromUtf8(entry.name);
    std::size_t length = std::min<std::size_t>(name.size(), 259);
    name.copy(data.name, length);
    data.name[length] = 0;
    return data;
}

}  // namespace

}  // namespace sandbox

namespace platform {

using sandbox::machine;

Handle createFile(const char16_t* path, std::uint32_t access, std::uint32_t, std::uint32_t disposition,
                  std::uint32_t) {
    if (!sandbox::fileCallAllowed()) return invalidHandle;
    std::u16string name = path != nullptr ? path : u"";
    if (sandbox::isDeviceName(name)) return sandbox::openDevice(name);
    auto held = machine().memoryFiles.find(name);
    if (held != machine().memoryFiles.end()) {
        return machine().addHandle(std::make_unique<sandbox::MemoryFile>(held->second));
    }
    std::optional<std::filesystem::path> host = sandbox::hostPath(path);
    if (!host) {
        machine().lastError = errorPathNotFound;
        return invalidHandle;
    }
    host::File::Mode mode = host::File::Mode::readExisting;
    if (disposition == createAlways) {
        mode = host::File::Mode::createAlways;
    } else if ((access & genericWrite) != 0) {
        mode = host::File::Mode::readWriteExisting;
    }
    host::File file = host::File::open(*host, mode);
    if (!file.isOpen()) {
        machine().lastError = sandbox::errorCode(file.error());
        return invalidHandle;
    }
    return machine().addHandle(std::make_unique<sandbox::HostFileObject>(std::move(file)));
}

bool readFile(Handle handle, void* buffer, std::uint32_t length, std::uint32_t* transferred) {
    std::uint32_t count = 0;
    bool ok = sandbox::fileCallAllowed();
    sandbox::OpenObject* object = ok ? machine().object(handle) : nullptr;
    ok = object != nullptr && object->read(buffer, length, count);
    if (transferred != nullptr) *transferred = count;
    return ok;
}

bool writeFile(Handle handle, const void* buffer, std::uint32_t length, std::uint32_t* transferred) {
    std::uint32_t count = 0;
    bool ok = sandbox::fileCallAllowed();
    sandbox::OpenObject* object = ok ? machine().object(handle) : nullptr;
    ok = object != nullptr && object->write(buffer, length, count);
    if (transferred != nullptr) *transferred = count;
    return ok;
}

bool flushFile(Handle handle) { return sandbox::fileCallAllowed() && machine().object(handle) != nullptr; }

std::uint32_t setFilePointer(Handle handle, std::int32_t distance, std::uint32_t method) {
    if (!sandbox::fileCallAllowed()) return invalidFileSize;
    sandbox::OpenObject* object = machine().object(handle);
    return object != nullptr ? object->seek(distance, method) : invalidFileSize;
}

std::uint32_t getFileSize(Handle handle) {
    if (!sandbox::fileCallAllowed()) return invalidFileSize;
    sandbox::OpenObject* object = machine().object(handle);
    return object != nullptr ? object->size() : invalidFileSize;
}

bool closeHandle(Handle handle) {
    if (!sandbox::fileCallAllowed()) return false;
    if (machine().handles.erase(handle) == 0) {
        machine().lastError = errorInvalidHandle;
        return false;
    }
    return true;
}

std::uint32_t getLastError() { return machine().lastError; }

bool deleteFile(const char16_t* path) {
    if (!sandbox::fileCallAllowed()) return false;
    std::optional<std::filesystem::path> host = sandbox::hostPath(path);
    int error = ENOENT;
    if (!host || !host::removeFile(*host, error)) {
        machine().lastError = sandbox::errorCode(error);
        return false;
    }
    return true;
}

bool replaceFile(const char16_t* target, const char16_t* source) {
    if (!sandbox::fileCallAllowed()) return false;
    std::optional<std::filesystem::path> to = sandbox::hostPath(target);
    std::optional<std::filesystem::path> from = sandbox::hostPath(source);
    int error = ENOENT;
    if (!to || !from || !host::renameFile(*from, *to, error)) {
        machine().lastError = sandbox::errorCode(error);
        return false;
    }
    return true;
}

Handle findFirstFile(const char16_t* pattern, FindData* entry) {
    if (!sandbox::fileCallAllowed()) return invalidHandle;
    // Patterns name every entry of one folder: "<folder>\*.*" or "<folder>\*".
    std::u16string text = pattern != nullptr ? pattern : u"";
    std::size_t cut = text.find_last_of(u"\\/");
    std::u16string leaf = cut == std::u16string::npos ? text : text.substr(cut + 1);
    std::u16string folder = cut == std::u16string::npos ? u"" : text.substr(0, cut);
    std::optional<std::filesystem::path> host = sandbox::hostPath(folder.c_str());
    if (!host || (leaf != u"*.*" && leaf != u"*")) {
        machine().lastError = errorPathNotFound;
        return invalidHandle;
    }
    auto search = std::make_unique<sandbox::SearchObject>();
    bool atRoot = sandbox::rootEntry(folder.c_str()).empty();
    for (const host::DirectoryEntry& e : host::listDirectory(*host)) search->entries.push_back(sandbox::findData(e, atRoot));
    if (search->entries.empty()) {
        machine().lastError = errorFileNotFound;
        return invalidHandle;
    }
    *entry = search->entries[search->next++];
    return machine().addHandle(std::move(search));
}

bool findNextFile(Handle search, FindData* entry) {
    if (!sandbox::fileCallAllowed()) return false;
    auto* state = dynamic_cast<sandbox::SearchObject*>(machine().object(search));
    if (state == nullptr || state->next >= state->entries.size()) {
        machine().lastError = 18;  // no more files
        return false;
    }
    *entry = state->entries[state->next++];
    return true;
}

bool findClose(Handle search) { return closeHandle(search); }

}  // namespace platform
