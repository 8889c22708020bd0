// The kernel's argument vector, built inside the hand-over page.
#include <cstring>
#include <string_view>

#include "boot/BootMenu.h"
#include "platform/memory.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace {

constexpr std::uint32_t slotCount = 16;
constexpr std::uint32_t slotBytes = slotCount * 4;
constexpr std::uint32_t warningStyle = platform::boxOk | platform::boxIconExclamation;

/// Fills the argument slots and the string area behind them. Every pointer stored is
/// physical: the kernel reads the vector after the MMU is off.
class ArgumentWriter {
public:
    ArgumentWriter(std::uint8_t* argv, std::uint32_t physical, std::uint32_t capacity)
        : argv_(argv), physical_(physical), capacity_(capacity) {}

    std::int32_t count() const { return static_cast<std::int32_t>(count_); }

    /// True when another argument of `length` bytes fits in the slots and the area.
    bool fits(std::size_t length) const {
        return count_ < slotCount && capacity_ >= slotBytes && length + 1 <= capacity_ - cursor_;
    }

    /// Adds an argument; false (nothing written) when it does not fit.
    bool add(std::string_view text) {
        if (!fits(text.size())) return false;
        std::uint32_t address = physical_ + cursor_;
        for (int b = 0; b < 4; ++b) argv_[count_ * 4 + b] = static_cast<std::uint8_t>(address >> (8 * b));
        std::memcpy(argv_ + cursor_, text.data(), text.size());
        argv_[cursor_ + text.size()] = 0;
        cursor_ += static_cast<std::uint32_t>(text.size()) + 1;
        ++count_;
        return true;
    }

private:
    std::uint8_t* argv_;
    std::uint32_t physical_;
    std::uint32_t capacity_;
    std::uint32_t cursor_ = slotBytes;
    std::uint32_t count_ = 0;
};

/// 8-bit text in the default code page, in a buffer the caller frees with heapFree;
/// null when it cannot be allocated. Empty text gives an empty string.
char* narrowCopy(std::u16string_view text) {
    auto length = static_cast<std::int32_t>(text.size());
    std::int32_t bytes = length == 0 ? 0 : platform::wideToNarrow(text.data(), length, nullptr, 0);
    auto* copy = static_cast<char*>(platform::heapAlloc(static_cast<std::size_t>(bytes) + 1));
    if (copy == nullptr) return nullptr;
    if (bytes > 0) bytes = platform::wideToNarrow(text.data(), length, copy, bytes);
    copy[bytes] = 0;
    return copy;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::int32_t BootMenu::buildKernelArguments(std::uint8_t* argv, std::uint32_t argvPhysical, std::uint32_t capacity) {
    ArgumentWriter writer(argv, argvPhysical, capacity);
    const Preferences& p = preferences;

    // The fixed part always fits a hand-over page; the writer still refuses what
    // would run past `capacity`.
    char name[2 * Preferences::textUnits + 1] = {};
    std::u16string_view kernelName = recordText(p.kernelName);
    if (!kernelName.empty()) {
        std::int32_t n = platform::wideToNarrow(kernelName.data(), static_cast<std::int32_t>(kernelName.size()), name,
                                                sizeof name - 1);
        name[n] = 0;
    }
    writer.add(name);

    const std::pair<std::uint32_t, const char*> flags[] = {
        {p.serialConsole, "h"}, {p.verbose, "v"}, {p.singleUser, "s"}, {p.askName, "a"}, {p.kernelDebugger, "d"}};
    for (const auto& [set, letter] : flags) {
        if (set != 0) writer.add(letter);
    }

    if (p.rootDevice == Preferences::rootSd) writer.add("b=sd0");
    if (p.rootDevice == Preferences::rootNfs) writer.add("b=nfs");
    if (p.rootDevice == Preferences::rootMd) {
        char image[2 + 2 * Preferences::textUnits + 1] = "m=";
        std::u16string_view imageName = recordText(p.rootImageName);
        std::int32_t n = imageName.empty() ? 0
                                           : platform::wideToNarrow(imageName.data(), static_cast<std::int32_t>(imageName.size()),
                                                                    image + 2, sizeof image - 3);
        image[2 + n] = 0;
        writer.add(image);
    }

    char* options = narrowCopy(recordText(p.extraKernelOptions));
    if (options == nullptr) {
        messageBox(u"Can't allocate memory for extra kernel options.", u"WARNING", warningStyle);
        redraw();
        return writer.count();
    }
    const char* cursor = options;
    while (isBlank(*cursor)) ++cursor;
    while (*cursor != 0) {
        const char* end = cursor;
        while (*end != 0 && !isBlank(*end)) ++end;
        if (!writer.add(std::string_view(cursor, static_cast<std::size_t>(end - cursor)))) {
            messageBox(u"Too many extra kernel options.", u"WARNING", warningStyle);
            redraw();
            break;
        }
        cursor = end;
        while (isBlank(*cursor)) ++cursor;
    }
    platform::heapFree(options);
    return writer.count();
}
