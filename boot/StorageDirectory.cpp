#include "boot/StorageDirectory.h"

#include "platform/files.h"

bool findStorageDirectory(char16_t (&name)[storageNameUnits]) {
    constexpr std::uint32_t cardAttributes = platform::attributeDirectory | platform::attributeTemporary;
    platform::FindData entry{};
    platform::Handle search = platform::findFirstFile(u"\\*.*", &entry);
    if (search == platform::invalidHandle) return false;
    bool found = false;
    do {
        if ((entry.attributes & cardAttributes) == cardAttributes) {
            std::size_t i = 0;
            for (; i + 1 < storageNameUnits && entry.name[i] != 0; ++i) name[i] = entry.name[i];
            name[i] = 0;
            found = true;
        }
    } while (!found && platform::findNextFile(search, &entry));
    platform::findClose(search);
    return found;
}
