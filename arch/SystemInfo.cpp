// The platform description printed at the start of every attempt.
#include "arch/Architecture.h"
#include "boot/DisplayDescription.h"
#include "console/Console.h"
#include "platform/library.h"
#include "platform/queries.h"

namespace {

/// The platform version the system is built for.
constexpr std::int32_t builtForVersion = 420;

/// The process-wide version record the queries fill.
platform::VersionRecord versionRecord{sizeof(platform::VersionRecord), 0, 0, 0, 0};

}  // namespace

void Architecture::systemInfo() {
    Console& out = **console;
    out.print(u"_WIN32_WCE = %d\n", builtForVersion);
    auto versionEx = reinterpret_cast<platform::GetVersionExProcedure>(getProcedure(u"GetVersionEx"));
    if (versionEx != nullptr) {
        versionEx(&versionRecord);
        out.print(u"GetVersionEx\n");
    } else {
        platform::getVersion(&versionRecord);
        out.print(u"GetVersionExW\n");
    }
    out.print(u"Windows CE %d.%d\n", versionRecord.majorVersion, versionRecord.minorVersion);

    platform::SystemInfo info{};
    platform::getSystemInfo(&info);
    // Labels are padded to 28 columns, so the values line up.
    out.print(u"GetSystemInfo:\n");
    out.print(u"wProcessorArchitecture      0x%x\n", info.processorArchitecture);
    out.print(u"wProcessorLevel             0x%x\n", info.processorLevel);
    out.print(u"wProcessorRevision          0x%x\n", info.processorRevision);
    out.print(u"dwPageSize                  0x%x\n", info.pageSize);
    out.print(u"dwAllocationGranularity     0x%08x\n", info.allocationGranularity);
    out.print(u"dwProcessorType             0x%x\n", info.processorType);

    // No platform row matches (0, 0), so this describes the screen itself.
    DisplayDescription display(0, 0);
    out.print(u"Display: %dx%d %dbpp\n", display.width(), display.height(), display.depth());
}
