// The console's formatting dialect with the format string and its arguments taken
// from the input, as a message built from outside text would reach it.
//
// Input: one byte of buffer capacity (0 to 254 units; 255 is the console's own
// buffer), one byte choosing the code page and the argument count, then each argument
// (a kind byte and its value: a 4-byte integer, a 2- or 1-byte character, text up to
// its terminator), then the format string in UTF-16LE.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console/Console.h"
#include "console/format.h"
#include "platform/text.h"
#include "sandbox/Machine.h"

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    char16_t unit() { return static_cast<char16_t>(byte() | byte() << 8); }
    std::uint32_t word() { return static_cast<std::uint32_t>(unit()) | static_cast<std::uint32_t>(unit()) << 16; }
    std::u16string wideText() {
        std::u16string text;
        for (char16_t c = unit(); c != 0; c = unit()) text += c;
        return text;
    }
    std::string narrowText() {
        std::string text;
        for (char c = static_cast<char>(byte()); c != 0; c = static_cast<char>(byte())) text += c;
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

/// The arguments and the texts they point into.
struct Arguments {
    std::vector<console::FormatArg> list;
    std::vector<std::u16string> wide;
    std::vector<std::string> narrow;
};

Arguments readArguments(Reader& in, std::size_t count) {
    Arguments args;
    // Reserved so that the pointers taken below stay valid.
    args.wide.reserve(count);
    args.narrow.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        console::FormatArg arg{};
        switch (in.byte() % 7) {
            case 0: arg.kind = console::ArgKind::integer; arg.integer = static_cast<std::int32_t>(in.word()); break;
            case 1: arg.kind = console::ArgKind::wideChar; arg.integer = in.unit(); break;
            case 2: arg.kind = console::ArgKind::narrowChar; arg.integer = static_cast<char>(in.byte()); break;
            case 3: arg.kind = console::ArgKind::wideText; arg.wide = args.wide.emplace_back(in.wideText()).c_str(); break;
            case 4: arg.kind = console::ArgKind::narrowText; arg.narrow = args.narrow.emplace_back(in.narrowText()).c_str(); break;
            case 5: arg.kind = console::ArgKind::wideText; arg.wide = nullptr; break;
            default: arg.kind = console::ArgKind::narrowText; arg.narrow = nullptr; break;
        }
        args.list.push_back(arg);
    }
    return args;
}

void check(bool condition) {
    if (!condition) __builtin_trap();
}

/// A room large enough for any message the fuzzer's inputs make, so that what a small
/// buffer got can be compared with the whole message.
constexpr std::size_t roomyUnits = 1 << 16;

/// "%S" of a narrow text must give what converting the whole text at once gives,
/// however the formatter slices it.
void checkNarrowText(const std::string& text) {
    static std::vector<char16_t> whole(roomyUnits);
    static std::vector<char16_t> formatted(roomyUnits);
    if (text.size() > roomyUnits / 4) return;
    auto length = static_cast<std::int32_t>(text.size());
    std::int32_t units = length == 0 ? 0 : platform::narrowToWide(text.data(), length, whole.data(), roomyUnits);
    if (length != 0 && units <= 0) return;
    console::FormatArg arg{};
    arg.kind = console::ArgKind::narrowText;
    arg.narrow = text.c_str();
    std::size_t n = console::formatInto(formatted.data(), roomyUnits, u"%S", std::span(&arg, 1));
    check(n == static_cast<std::size_t>(units) && std::equal(whole.begin(), whole.begin() + units, formatted.begin()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    std::uint8_t capacityByte = in.byte();
    std::size_t capacity = capacityByte == 255 ? Console::bufferUnits : capacityByte;
    std::uint8_t choice = in.byte();
    // One machine for every run; its profile's code page is Western or Japanese (with
    // double-byte characters) as the input chooses.
    static sandbox::MachineProfile profile = *sandbox::findProfile("ipaq-h3600");
    [[maybe_unused]] static sandbox::Machine& machine = sandbox::resetMachine(profile);
    profile.codePage = (choice & 0x80) != 0 ? 932 : 1252;

    Arguments args = readArguments(in, choice % 9);
    std::u16string format;
    while (!in.empty()) format += in.unit();
    format = format.c_str();  // up to the first terminator

    // Exactly `capacity` units, so that a write past the buffer is caught.
    std::unique_ptr<char16_t[]> buffer(new char16_t[capacity]);
    std::size_t written = console::formatInto(buffer.get(), capacity, format.c_str(), args.list);
    static std::vector<char16_t> full(roomyUnits);
    std::size_t fullLength = console::formatInto(full.data(), roomyUnits, format.c_str(), args.list);
    if (capacity == 0) {
        check(written == 0);
        return 0;
    }
    // What fits is the start of the whole message; a cut message keeps its line feed.
    check(written < capacity && buffer[written] == 0);
    if (fullLength < roomyUnits - 1) {
        check(written == std::min(fullLength, capacity - 1));
        bool cut = fullLength > written;
        for (std::size_t i = 0; i < written; ++i) {
            bool keptLineFeed = cut && i + 1 == written && full[fullLength - 1] == u'\n';
            check(buffer[i] == (keptLineFeed ? u'\n' : full[i]));
        }
    }
    for (const std::string& text : args.narrow) checkNarrowText(text);
    return 0;
}
