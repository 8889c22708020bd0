// The kernel's argument vector built from Preferences taken from the input, into a
// buffer of exactly the capacity it is given.
//
// Input: a byte of switches (the five boot flags, an exhausted heap, the Japanese code
// page, a small capacity), a byte of root device, a byte of capacity (in 16-byte steps,
// used when the small capacity is chosen), then the kernel name, the image name and the
// extra options in UTF-16LE, each ended by a zero unit; a text that fills its field
// leaves the field without a terminator, as a loaded record may.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "boot/BootMenu.h"
#include "platform/text.h"
#include "sandbox/Machine.h"

namespace {

constexpr std::uint32_t pageCapacity = 4028;
constexpr std::uint32_t argvPhysical = 0xA0000044;
constexpr std::uint32_t slotBytes = 64;

void check(bool condition) {
    if (!condition) __builtin_trap();
}

/// Fills `field` with the units up to the next zero unit (or the input's end).
template <std::size_t N>
void readText(const std::uint8_t*& p, const std::uint8_t* end, char16_t (&field)[N]) {
    std::size_t length = 0;
    while (end - p >= 2) {
        auto unit = static_cast<char16_t>(p[0] | p[1] << 8);
        p += 2;
        if (unit == 0) break;
        if (length < N) field[length++] = unit;
    }
    for (std::size_t i = length; i < N; ++i) field[i] = 0;
}

std::string narrow(std::u16string_view text) {
    if (text.empty()) return {};
    std::string out(4 * text.size(), '\0');
    std::int32_t n = platform::wideToNarrow(text.data(), static_cast<std::int32_t>(text.size()), out.data(),
                                            static_cast<std::int32_t>(out.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

/// The vector's rule, as a list: each fixed argument that still fits, in order, then
/// the extra options up to the first that does not; `refused` tells whether one did not.
std::vector<std::string> expectedArguments(const Preferences& p, std::uint32_t capacity, bool& refused) {
    std::vector<std::string> fixed{narrow(recordText(p.kernelName))};
    const std::pair<std::uint32_t, const char*> flags[] = {
        {p.serialConsole, "h"}, {p.verbose, "v"}, {p.singleUser, "s"}, {p.askName, "a"}, {p.kernelDebugger, "d"}};
    for (const auto& [set, letter] : flags) {
        if (set != 0) fixed.emplace_back(letter);
    }
    if (p.rootDevice == Preferences::rootSd) fixed.emplace_back("b=sd0");
    if (p.rootDevice == Preferences::rootMd) fixed.push_back("m=" + narrow(recordText(p.rootImageName)));
    if (p.rootDevice == Preferences::rootNfs) fixed.emplace_back("b=nfs");

    std::vector<std::string> result;
    std::uint32_t room = capacity >= slotBytes ? capacity - slotBytes : 0;
    auto add = [&](const std::string& text) {
        if (result.size() >= 16 || text.size() + 1 > room) return false;
        room -= static_cast<std::uint32_t>(text.size()) + 1;
        result.push_back(text);
        return true;
    };
    for (const std::string& text : fixed) add(text);
    refused = false;
    std::string options = narrow(recordText(p.extraKernelOptions));
    std::size_t at = options.find_first_not_of(" \t");
    while (at != std::string::npos && !refused) {
        std::size_t end = std::min(options.find_first_of(" \t", at), options.size());
        refused = !add(options.substr(at, end - at));
        at = options.find_first_not_of(" \t", end);
    }
    return result;
}

/// The arguments as the kernel would read them: each slot's physical pointer, within
/// the string area, at the byte after the previous string's terminator.
std::vector<std::string> writtenArguments(const std::uint8_t* argv, std::uint32_t capacity, std::int32_t count) {
    std::vector<std::string> result;
    std::uint32_t next = slotBytes;
    for (std::int32_t i = 0; i < count; ++i) {
        std::uint32_t slot;
        std::memcpy(&slot, argv + 4 * i, 4);
        check(slot - argvPhysical == next);
        const void* terminator = std::memchr(argv + next, 0, capacity - next);
        check(terminator != nullptr);
        result.emplace_back(reinterpret_cast<const char*>(argv + next));
        next += static_cast<std::uint32_t>(result.back().size()) + 1;
    }
    return result;
}

bool showed(const sandbox::Machine& m, const char16_t* text) {
    for (const sandbox::MessageBoxRecord& box : m.boxes) {
        if (box.text == text) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    // One machine for every run; its profile's code page is Western or Japanese (with
    // double-byte characters) as the input chooses.
    static sandbox::MachineProfile profile = *sandbox::findProfile("ipaq-h3600");
    static sandbox::Machine& m = sandbox::resetMachine(profile);
    profile.codePage = (data[0] & 0x40) != 0 ? 932 : 1252;
    m.heapExhausted = (data[0] & 0x20) != 0;

    Preferences& p = BootMenu::instance()->preferences;
    p.serialConsole = data[0] & 1;
    p.verbose = data[0] >> 1 & 1;
    p.singleUser = data[0] >> 2 & 1;
    p.askName = data[0] >> 3 & 1;
    p.kernelDebugger = data[0] >> 4 & 1;
    p.rootDevice = data[1] % 5;
    std::uint32_t capacity = (data[0] & 0x80) != 0 ? data[2] * 16u : pageCapacity;
    const std::uint8_t* text = data + 3;
    readText(text, data + size, p.kernelName);
    readText(text, data + size, p.rootImageName);
    readText(text, data + size, p.extraKernelOptions);

    // Exactly `capacity` bytes, so that a write past the area is caught.
    std::unique_ptr<std::uint8_t[]> argv(new std::uint8_t[capacity]);
    std::int32_t count = BootMenu::instance()->buildKernelArguments(argv.get(), argvPhysical, capacity);
    check(count >= 0 && count <= 16);
    std::vector<std::string> written = writtenArguments(argv.get(), capacity, count);

    // Without memory for the options the vector ends after the fixed part.
    Preferences model = p;
    if (m.heapExhausted) setRecordText(model.extraKernelOptions, u"");
    bool refused = false;
    check(written == expectedArguments(model, capacity, refused));
    check(showed(m, u"Too many extra kernel options.") == refused);
    check(showed(m, u"Can't allocate memory for extra kernel options.") == m.heapExhausted);
    // Kept boxes would hold memory from one run to the next, which libFuzzer takes for
    // a possible leak and checks at length.
    m.boxes.clear();
    return 0;
}
