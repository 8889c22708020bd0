#include "file/FileManager.h"

#include <string_view>

#include "console/Console.h"
#include "platform/text.h"

bool FileManager::toNarrow(char* destination, const char16_t* text, std::uint32_t capacity) {
    auto length = static_cast<std::int32_t>(std::u16string_view(text).size());
    std::int32_t needed = length == 0 ? 0 : platform::wideToNarrow(text, length, nullptr, 0);
    if (static_cast<std::uint32_t>(needed) + 1 > capacity) {
        (*console)->print(u"buffer insufficeint. %d > %d\n", needed + 1, capacity);
        return false;
    }
    std::int32_t converted = needed == 0 ? 0 : platform::wideToNarrow(text, length, destination, needed);
    if (converted == 0) {
        (*console)->print(u"can't convert to ASCII.\n");
        return false;
    }
    destination[converted] = 0;
    return true;
}
