// Queries role: version, system information, time zone, display and debug output.
#pragma once

#include <cstdint>

namespace platform {

struct VersionRecord {
    std::uint32_t size;
    std::uint32_t majorVersion;
    std::uint32_t minorVersion;
    std::uint32_t buildNumber;
    std::uint32_t platformId;
};

struct SystemInfo {
    std::uint16_t processorArchitecture;
    std::uint16_t processorLevel;
    std::uint16_t processorRevision;
    std::uint32_t pageSize;
    std::uint32_t allocationGranularity;
    std::uint32_t processorType;
};

struct TimeZoneInfo {
    std::int32_t bias;          // minutes; universal time = local time + bias
    std::int32_t standardBias;  // minutes added in standard time
    std::int32_t daylightBias;  // minutes added in daylight-saving time
};

// getTimeZoneInformation results.
inline constexpr std::uint32_t timeZoneUnknown = 0;
inline constexpr std::uint32_t timeZoneStandard = 1;
inline constexpr std::uint32_t timeZoneDaylight = 2;
inline constexpr std::uint32_t timeZoneInvalid = 0xFFFFFFFF;

/// Display capability indices of the screen's drawing context.
enum class DisplayCapability : std::int32_t {
    width = 8,           // horizontal resolution in pixels
    height = 10,         // vertical resolution in pixels
    bitsPerPixel = 12,
    pixelsPerInch = 88,  // horizontal
    pixelsPerInchY = 90,
};

/// The statically bound version query. False on failure.
bool getVersion(VersionRecord* record);
void getSystemInfo(SystemInfo* info);
/// Fills `info`; returns timeZoneStandard, timeZoneDaylight, timeZoneUnknown or timeZoneInvalid.
std::uint32_t getTimeZoneInformation(TimeZoneInfo* info);
std::int32_t displayCapability(DisplayCapability capability);
/// Writes text to the platform's debug output.
void debugOutput(const char16_t* text);

}  // namespace platform
