// Opening a disk and selecting the partition that holds the file system.
#include <cstring>
#include <iterator>

#include "file/DebugPrint.h"
#include "file/FailureNote.h"
#include "file/IoResult.h"
#include "file/LittleEndian.h"
#include "file/Winblk.h"
#include "file/WinblkPartition.h"
#include "platform/files.h"

namespace {

constexpr std::uint32_t partitionTableOffset = 446;

/// Fixes the partition, keeping its end within 32-bit sector numbers.
void selectRange(WinblkDevice& device, SectorRange range) {
    device.startSector = range.start;
    device.sectorCount = range.count <= 0xFFFFFFFF - range.start ? range.count : 0xFFFFFFFF - range.start;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

void printDiskInfo(const platform::DiskInfo& info) {
    static constexpr struct {
        std::uint32_t bit;
        const char16_t* name;
    } flagNames[] = {
        {platform::diskFlagMbr, u"MBR "},
        {platform::diskFlagChsUncertain, u"CHS_UNCERTAIN "},
        {platform::diskFlagUnformatted, u"UNFORMATTED "},
        {platform::diskFlagPageable, u"PAGEABLE "},
    };
    debugPrint(u"DISK_INFO: CHS=%d:%d:%d  block size=%d  flag=", info.cylinders, info.heads, info.sectorsPerTrack,
               info.bytesPerSector);
    for (const auto& flag : flagNames) {
        if ((info.flags & flag.bit) != 0) debugPrint(u"%s", flag.name);
    }
    debugPrint(u"\n");
}

bool geometryUsable(const platform::DiskInfo& info) {
    return (info.flags & platform::diskFlagMbr) != 0 &&
           (info.flags & (platform::diskFlagChsUncertain | platform::diskFlagUnformatted)) == 0 &&
           info.bytesPerSector == WinblkDevice::sectorBytes;
}

void printPartitionTable(const std::uint8_t* table) {
    for (std::int32_t i = 0; i < 4; ++i) {
        const std::uint8_t* e = table + i * 16;
        debugPrint(u"%d: type=%d %d(%d) (%d:%d:%d - %d:%d:%d) flag=0x%02x\n", i, e[4], le::load32(e + 8),
                   le::load32(e + 12), e[3], e[1], e[2], e[7], e[5], e[6], e[0]);
    }
}

/// Opens the device behind `name` and checks that its geometry can be read.
std::int32_t openDisk(WinblkDevice& device, const char16_t* name) {
    device.handle = platform::createFile(name, platform::genericRead, 0, platform::openExisting, 0);
    if (device.handle == platform::invalidHandle) {
        noteFailure(u"can't open %s.\n", name);
        return io::noSuchDevice;
    }
    if (!platform::deviceIoControl(device.handle, platform::diskGetInfo, &device.diskInfo, sizeof device.diskInfo,
                                   nullptr, 0, nullptr)) {
        std::uint32_t error = platform::getLastError();
        debugPrint(u"DeviceIoControl() failed.error=%d\n", error);
        keepFailureNote(u"can't learn the geometry of %s: error %d.\n", name, error);
        return io::ioError;
    }
    printDiskInfo(device.diskInfo);
    if (!geometryUsable(device.diskInfo)) {
        debugPrint(u"invalid flags\n");
        keepFailureNote(u"%s is no partitioned disk of 512 byte sectors (flags 0x%x, %d byte sectors).\n", name,
                        device.diskInfo.flags, device.diskInfo.bytesPerSector);
        return io::invalid;
    }
    return io::ok;
}

/// Refines the MBR partition `mbr` with the disk label in its second sector.
std::int32_t readDiskLabel(WinblkDevice& device, SectorRange mbr, std::int32_t partition) {
    bool labelled = false;
    if (mbr.start < 0xFFFFFFFF) {
        std::int32_t result = rawread(device, mbr.start + 1, 1, device.sectorBuffer);
        if (result != io::ok) return result;
        std::memcpy(device.diskLabel, device.sectorBuffer, sizeof device.diskLabel);
        labelled = diskLabelValid(device.diskLabel);
    }
    if (!labelled) {
        selectRange(device, mbr);
        debugPrint(u"invalid disklabel, start sector=0x%x\n", mbr.start);
        console::format(device.remark, std::size(device.remark),
                        u"the partition at sector 0x%x has no valid disk label.\n", mbr.start);
        return io::ok;
    }
    if (partition < 0 || partition >= labelPartitionCount(device.diskLabel)) {
        noteFailure(u"the disk label has no partition %d.\n", partition);
        return io::invalid;
    }
    auto index = static_cast<std::uint32_t>(partition);
    selectRange(device, labelPartition(device.diskLabel, index));
    debugPrint(u"start sector=0x%x\n", device.startSector);
    // The label's type field is not looked at: label editors leave it "unused".
    if (device.sectorCount == 0) {
        console::format(device.remark, std::size(device.remark), u"partition %c of the disk label is empty.\n",
                        static_cast<char16_t>(u'a' + index));
    }
    return io::ok;
}

std::int32_t openPartition(WinblkDevice& device, const char* type, std::int32_t unit, std::int32_t partition) {
    if (type == nullptr || std::strlen(type) != 3 || unit < 0 || unit > 9) return io::noSuchDevice;
    char16_t name[8];
    console::format(name, 8, u"%C%C%C%d:", upper(type[0]), upper(type[1]), upper(type[2]), unit);
    debugPrint(u"winblk.open: block device name is '%s'\n", name);
    std::int32_t result = openDisk(device, name);
    if (result == io::ok) result = rawread(device, 0, 1, device.sectorBuffer);
    if (result != io::ok) return result;
    std::memcpy(device.partitionTable, device.sectorBuffer + partitionTableOffset, sizeof device.partitionTable);
    printPartitionTable(device.partitionTable);
    SectorRange mbr{};
    if (selectMbrPartition(device.partitionTable, mbr)) return readDiskLabel(device, mbr, partition);
    // No partition of ours: the whole disk, as far as the driver tells its size.
    std::uint32_t total = device.diskInfo.totalSectors;
    selectRange(device, {0, total != 0 ? total : 0xFFFFFFFF});
    debugPrint(u"no KVX partition, start sector=0x%x\n", 0);
    console::format(device.remark, std::size(device.remark),
                    u"the disk has no partition of type 0xA9 or 0xA5; it was read from sector 0.\n");
    return io::ok;
}

}  // namespace

std::int32_t winblkOpen(OpenFile& file, const char* type, std::int32_t unit, std::int32_t partition) {
    file.deviceData = makeHeapRecord<WinblkDevice>();
    if (!file.deviceData) return io::outOfMemory;
    std::int32_t result = openPartition(*file.deviceData, type, unit, partition);
    if (result != io::ok) file.deviceData.reset();
    return result;
}
