// Filling the hand-over page.
#include "arch/BootInfo.h"

#include <cstring>

#include "arch/Architecture.h"
#include "boot/BootMenu.h"
#include "boot/DisplayDescription.h"
#include "console/Console.h"
#include "load/Loader.h"
#include "memory/MemoryManager.h"
#include "platform/queries.h"

namespace {

/// The bias in effect now. A failed query gives universal time: its record holds
/// nothing to trust.
std::int32_t currentTimeZone() {
    platform::TimeZoneInfo zone{};
    std::uint32_t state = platform::getTimeZoneInformation(&zone);
    if (state == platform::timeZoneInvalid) return 0;
    // In standard time the standard bias is not added, as the kernel expects.
    return state == platform::timeZoneDaylight ? zone.bias + zone.daylightBias : zone.bias;
}

BootInfo describePlatform(const Preferences& preferences) {
    DisplayDescription display(preferences.cpuCode, preferences.machineCode);
    BootInfo info{};
    info.length = sizeof(BootInfo);
    info.magic = BootInfo::magicValue;
    info.framebufferAddress = display.address();
    // The 16-bit fields keep the low 16 bits of the 32-bit values.
    info.framebufferType = static_cast<std::int16_t>(framebufferType(display, preferences.reverseVideo != 0));
    info.lineBytes = static_cast<std::int16_t>(display.lineBytes());
    info.width = static_cast<std::int16_t>(display.width());
    info.height = static_cast<std::int16_t>(display.height());
    info.cpuCode = preferences.cpuCode;
    info.machineCode = preferences.machineCode;
    info.timeZone = currentTimeZone();
    info.console = Console::instance()->consoleType();
    return info;
}

}  // namespace

std::uint32_t Architecture::setupBootInfo(Loader& loader) {
    BootMenu& menu = *BootMenu::instance();
    MemoryManager& memory = **memoryManager;
    void* page = nullptr;
    std::uint32_t physical = 0;
    if (!memory.takeLastPage(page, physical)) {
        (*console)->print(u"can't get page for boot information.\n");
        return noAddress;
    }
    handoverBlock = page;
    auto* bytes = static_cast<std::uint8_t*>(page);

    HandoverBlock block{};
    block.argc = static_cast<std::uint32_t>(menu.buildKernelArguments(
        bytes + argumentAreaOffset, physical + argumentAreaOffset, memory.payloadPerPage() - argumentAreaOffset));
    block.argv = physical + argumentAreaOffset;
    block.info = describePlatform(menu.preferences);
    block.bootInfo = physical + offsetof(HandoverBlock, info);
    block.entry = loader.jumpAddress();
    std::memcpy(bytes, &block, sizeof block);

    const BootInfo& info = block.info;
    (*console)->print(u"framebuffer: %dx%d type=%d linebytes=%d addr=0x%08x\n", info.width, info.height,
                      info.framebufferType, info.lineBytes, info.framebufferAddress);
    (*console)->print(u"console = %d\n", info.console);
    return physical;
}
