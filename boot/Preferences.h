// The user's settings: 2152 bytes, byte for byte the configuration file.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

static_assert(std::endian::native == std::endian::little, "the record is stored little-endian as it lies in memory");

struct Preferences {
    static constexpr std::uint32_t magicValue = 0x177D5753;
    static constexpr std::uint32_t currentVersion = 258;
    static constexpr std::uint32_t recordBytes = 2152;
    static constexpr std::size_t textUnits = 260;
    static constexpr std::size_t optionUnits = 256;

    // Root device choices.
    static constexpr std::uint32_t rootWd = 0;
    static constexpr std::uint32_t rootSd = 1;
    static constexpr std::uint32_t rootMd = 2;
    static constexpr std::uint32_t rootNfs = 3;

    std::uint32_t magic;
    std::uint32_t version;
    std::uint32_t recordSize;
    std::uint32_t reserved;
    std::uint32_t directorySaved;
    char16_t kernelDirectory[textUnits];
    std::uint32_t kernelNameSaved;
    char16_t kernelName[textUnits];
    std::uint32_t cpuCode;
    std::uint32_t machineCode;
    std::uint32_t rootDevice;
    char16_t rootImageName[textUnits];
    std::uint32_t serialConsole;
    std::uint32_t verbose;
    std::uint32_t singleUser;
    std::uint32_t askName;
    std::uint32_t kernelDebugger;
    std::int32_t autoBootSeconds;
    std::uint32_t reverseVideo;
    std::uint32_t pauseBeforeBoot;
    std::uint32_t loadDebugInfo;
    std::uint32_t safetyMessage;
    std::uint32_t serialSpeed;
    char16_t extraKernelOptions[optionUnits];
};

static_assert(sizeof(Preferences) == Preferences::recordBytes);
static_assert(offsetof(Preferences, magic) == 0);
static_assert(offsetof(Preferences, version) == 4);
static_assert(offsetof(Preferences, recordSize) == 8);
static_assert(offsetof(Preferences, reserved) == 12);
static_assert(offsetof(Preferences, directorySaved) == 16);
static_assert(offsetof(Preferences, kernelDirectory) == 20);
static_assert(offsetof(Preferences, kernelNameSaved) == 540);
static_assert(offsetof(Preferences, kernelName) == 544);
static_assert(offsetof(Preferences, cpuCode) == 1064);
static_assert(offsetof(Preferences, machineCode) == 1068);
static_assert(offsetof(Preferences, rootDevice) == 1072);
static_assert(offsetof(Preferences, rootImageName) == 1076);
static_assert(offsetof(Preferences, serialConsole) == 1596);
static_assert(offsetof(Preferences, verbose) == 1600);
static_assert(offsetof(Preferences, singleUser) == 1604);
static_assert(offsetof(Preferences, askName) == 1608);
static_assert(offsetof(Preferences, kernelDebugger) == 1612);
static_assert(offsetof(Preferences, autoBootSeconds) == 1616);
static_assert(offsetof(Preferences, reverseVideo) == 1620);
static_assert(offsetof(Preferences, pauseBeforeBoot) == 1624);
static_assert(offsetof(Preferences, loadDebugInfo) == 1628);
static_assert(offsetof(Preferences, safetyMessage) == 1632);
static_assert(offsetof(Preferences, serialSpeed) == 1636);
static_assert(offsetof(Preferences, extraKernelOptions) == 1640);

/// The text of a record array up to its terminator, or the whole array when a loaded
/// record left it unterminated.
template <std::size_t N>
std::u16string_view recordText(const char16_t (&text)[N]) {
    std::size_t length = 0;
    while (length < N && text[length] != 0) ++length;
    return {text, length};
}

/// Stores `text` into a record array, cut to fit, always terminated.
template <std::size_t N>
void setRecordText(char16_t (&field)[N], std::u16string_view text) {
    std::size_t length = text.size() < N ? text.size() : N - 1;
    text.copy(field, length);
    for (std::size_t i = length; i < N; ++i) field[i] = 0;
}
