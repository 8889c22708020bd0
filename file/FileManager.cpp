#include "file/FileManager.h"

#include <string_view>

#include "console/Console.h"
#include "platform/text.h"

bool FileManager::toNarrow(char* destination, const char16_t* text, std::uint32_t capacity) {
    auto length = static_cast<std::int32_t>(text != nullptr ? std::u16string_view(text).size() : 0);
    std::int32_t count = platform::wideToNarrow(text, length, nullptr, 0);
    if (static_cast<std::uint32_t>(count) + 1 > capacity) {
        (*console)->print(u"buffer insufficeint. %d > %d\n", count + 1, capacity);
        return false;
    }
    if (count == 0 || platform::wideToNarrow(text, length, destination, count) != count) {
        (*console)->print(u"can't convert to ASCII.\n");
        return false;
    }
    destination[count] = 0;
    return true;
}
