// Machine identifiers, the platform table and the frame-buffer table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

/// A (processor, machine) pair; a zero field names a group and matches anything
/// when the identifier is used as a pattern.
struct PlatformId {
    std::uint32_t cpuCode;
    std::uint32_t machineCode;
};

struct PlatformEntry {
    PlatformId id;
    const char16_t* name;
};

struct FramebufferEntry {
    PlatformId pattern;
    std::uint32_t depth;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t lineBytes;
    std::uint32_t address;
};

/// True when every compared field of `pattern` is 0 or equals that field of `id`.
constexpr bool matchPlatform(PlatformId id, PlatformId pattern) {
    struct Field {
        bool inCpu;
        unsigned shift;
        unsigned bits;
    };
    constexpr Field fields[] = {
        {true, 8, 6},  {true, 14, 6}, {true, 20, 6},  {true, 26, 6},
        {false, 0, 8}, {false, 8, 8}, {false, 16, 6}, {false, 22, 10},
    };
    for (const Field& f : fields) {
        std::uint32_t mask = (1u << f.bits) - 1;
        std::uint32_t want = ((f.inCpu ? pattern.cpuCode : pattern.machineCode) >> f.shift) & mask;
        std::uint32_t have = ((f.inCpu ? id.cpuCode : id.machineCode) >> f.shift) & mask;
        if (want != 0 && want != have) return false;
    }
    return true;
}

inline constexpr PlatformEntry platformTable[] = {
    {{0x0C000000, 0x00000000}, u"ARM"},
    {{0x0C100000, 0x00000000}, u"ARM STRONGARM"},
    {{0x0C104000, 0x00000000}, u"ARM STRONGARM SA1100"},
    {{0x0C108000, 0x00000000}, u"ARM STRONGARM SA1110"},
    {{0x0C200000, 0x00000000}, u"ARM XSCALE"},
    {{0x0C204000, 0x00000000}, u"ARM XSCALE PXA250"},
    {{0x0C208000, 0x00000000}, u"ARM XSCALE PXA270"},
    {{0x00000000, 0x00C00000}, u"CASIO"},
    {{0x00000000, 0x01000000}, u"Sharp"},
    {{0x00000000, 0x01040000}, u"Sharp WZERO3"},
    {{0x0C208000, 0x01040100}, u"Sharp W-ZERO3 (WS003SH)"},
    {{0x0C208000, 0x01040200}, u"Sharp W-ZERO3 (WS004SH)"},
    {{0x0C208000, 0x01040300}, u"Sharp W-ZERO3[es] (WS007SH)"},
    {{0x0C208000, 0x01040400}, u"Sharp Advanced/W-ZERO3[es] (WS011SH)"},
    {{0x00000000, 0x01C00000}, u"Compaq"},
    {{0x00000000, 0x01C40000}, u"Compaq iPAQ"},
    {{0x00000000, 0x01C40100}, u"Compaq iPAQ H31XX"},
    {{0x0C108000, 0x01C40101}, u"Compaq iPAQ H3100"},
    {{0x00000000, 0x01C40200}, u"Compaq iPAQ H36XX"},
    {{0x0C108000, 0x01C40201}, u"Compaq iPAQ H3600"},
    {{0x0C108000, 0x01C40202}, u"Compaq iPAQ H3660"},
    {{0x00000000, 0x01C40300}, u"Compaq iPAQ H39XX"},
    {{0x0C204000, 0x01C40301}, u"Compaq iPAQ H3900"},
    {{0x00000000, 0x02C00000}, u"HP"},
    {{0x00000000, 0x02C20000}, u"HP Jornada"},
    {{0x00000000, 0x02C20200}, u"HP Jornada 7XX"},
    {{0x0C108000, 0x02C20201}, u"HP Jornada 720 (US/UK)"},
    {{0x0C108000, 0x02C20202}, u"HP Jornada 720 (Japanese)"},
    {{0x0C108000, 0x02C20203}, u"HP Jornada 720 (European)"},
    {{0x0C108000, 0x02C20204}, u"HP Jornada 720 (German)"},
    {{0x0C108000, 0x02C20205}, u"HP Jornada 720 (French)"},
    {{0x0C108000, 0x02C20206}, u"HP Jornada 720 (Scandinavian)"},
    {{0x0C108000, 0x02C20207}, u"HP Jornada 720 (Spanish)"},
    {{0x00000000, 0x02C20300}, u"HP Jornada 8XX"},
    {{0x0C104000, 0x02C20301}, u"HP Jornada 820"},
    {{0x0C104000, 0x02C20302}, u"HP Jornada 820 (Japanese)"},
};
inline constexpr std::size_t platformCount = 36;
static_assert(std::size(platformTable) == platformCount);

/// Offered to the user only when both words are set.
constexpr bool isSelectable(const PlatformEntry& entry) {
    return entry.id.cpuCode != 0 && entry.id.machineCode != 0;
}

/// The selectable row `index` (numbered from 0 in table order), or null.
constexpr const PlatformEntry* selectablePlatform(std::int32_t index) {
    if (index < 0) return nullptr;
    for (const PlatformEntry& entry : platformTable) {
        if (isSelectable(entry) && index-- == 0) return &entry;
    }
    return nullptr;
}

inline constexpr std::int32_t selectablePlatformCount = [] {
    std::int32_t n = 0;
    for (const PlatformEntry& entry : platformTable) n += isSelectable(entry) ? 1 : 0;
    return n;
}();
static_assert(selectablePlatformCount == 17);

/// Ended by the row whose cpuCode is 0.
inline constexpr FramebufferEntry framebufferTable[] = {
    {{0x0C104000, 0x02C20301}, 8, 640, 480, 0, 0},
    {{0x0C104000, 0x02C20302}, 8, 640, 480, 0, 0},
    {{0x0C108000, 0x02C20200}, 16, 640, 240, 1280, 0x48200000},
    {{0x0C108000, 0x01C40201}, 16, 320, 240, 640, 0},
    {{0x0C204000, 0x01C40301}, 16, 320, 240, 640, 0},
    {{0, 0}, 0, 0, 0, 0, 0},
};
