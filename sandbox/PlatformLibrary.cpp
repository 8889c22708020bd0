// The library role: "coredll.dll" with LockPages, UnlockPages and GetVersionEx.
#include <string_view>

#include "platform/library.h"
#include "platform/queries.h"
#include "sandbox/Machine.h"

namespace {

// The handle the sandbox gives out for the core library.
int coreLibraryHandle;

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

/// Locks every page of [address, address + length) and reports their frames.
bool lockPages(void* address, std::uint32_t length, std::uint32_t* frames, std::int32_t) {
    sandbox::Machine& m = sandbox::machine();
    ++m.coreLibrary.locks;
    auto* page = static_cast<std::uint8_t*>(address);
    for (std::uint32_t done = 0; done < length; done += sandbox::PhysicalMemory::frameSize) {
        auto found = m.memory.committedPage(page + done);
        if (!found || found->index == m.coreLibrary.lockFailsAtPage) return false;
    }
    // The address of the page as given: callers with pages smaller than a frame learn
    // where inside the frame theirs lies.
    for (std::uint32_t done = 0, i = 0; done < length; done += sandbox::PhysicalMemory::frameSize, ++i) {
        frames[i] = m.memory.committedPage(page + done)->physical >> m.coreLibrary.pageFrameShift;
    }
    return true;
}

bool unlockPages(void* address, std::uint32_t) {
    sandbox::Machine& m = sandbox::machine();
    ++m.coreLibrary.unlocks;
    return !m.coreLibrary.unlockFails && m.memory.committedPage(address).has_value();
}

bool getVersionEx(platform::VersionRecord* record) { return platform::getVersion(record); }

}  // namespace

namespace platform {

LibraryHandle loadLibrary(const char16_t* name) {
    sandbox::Machine& m = sandbox::machine();
    if (name == nullptr || !equalsIgnoringCase(name, u"coredll.dll") || m.coreLibrary.missing) return nullptr;
    ++m.coreLibrary.loads;
    return &coreLibraryHandle;
}

void* findProcedure(LibraryHandle library, const char16_t* name) {
    const sandbox::CoreLibrary& core = sandbox::machine().coreLibrary;
    if (library != &coreLibraryHandle || name == nullptr || core.missingProcedures.contains(name)) return nullptr;
    std::u16string_view wanted(name);
    if (wanted == u"LockPages") return reinterpret_cast<void*>(&lockPages);
    if (wanted == u"UnlockPages") return reinterpret_cast<void*>(&unlockPages);
    if (wanted == u"GetVersionEx") return reinterpret_cast<void*>(&getVersionEx);
    return nullptr;
}

void freeLibrary(LibraryHandle library) {
    if (library == &coreLibraryHandle) ++sandbox::machine().coreLibrary.frees;
}

}  // namespace platform
