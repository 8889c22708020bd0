// Sector reads of the open partition, and the rest of the device switch entry.
#include <cstring>

#include "file/DebugPrint.h"
#include "file/FailureNote.h"
#include "file/IoResult.h"
#include "file/Winblk.h"
#include "platform/files.h"

const DeviceSwitch winblkSwitch{"winblk", winblkStrategy, winblkOpen, winblkClose, winblkIoctl};

WinblkDevice::~WinblkDevice() {
    if (handle != platform::invalidHandle) platform::closeHandle(handle);
}

std::int32_t rawread(WinblkDevice& device, std::uint32_t first, std::uint32_t count, void* buffer) {
    debugPrint(u"rawread(0x%x, %d)", first, count);
    platform::DiskRequest request{first, count, 1, 0, nullptr, {buffer, count * WinblkDevice::sectorBytes}};
    if (!platform::deviceIoControl(device.handle, platform::diskRead, &request, sizeof request, nullptr, 0, nullptr)) {
        std::uint32_t error = platform::getLastError();
        debugPrint(u"DeviceIoControl() failed.error=%d\n", error);
        keepFailureNote(u"can't read sector 0x%x of the disk: error %d.\n", first, error);
        return io::ioError;
    }
    debugPrint(u"=%d\n", request.status);
    if (request.status != 0) {
        debugPrint(u"DeviceIoControl(READ): status=%d\n", request.status);
        keepFailureNote(u"can't read sector 0x%x of the disk: status %d.\n", first, request.status);
        return io::ioError;
    }
    return io::ok;
}

std::int32_t winblkStrategy(WinblkDevice* device, std::int32_t direction, std::uint32_t block, std::uint32_t size,
                            void* buffer, std::uint32_t* done) {
    if (device == nullptr) return io::noSuchDevice;
    if (direction != deviceRead) return io::readOnly;
    std::uint32_t whole = size / WinblkDevice::sectorBytes;
    std::uint32_t tail = size - whole * WinblkDevice::sectorBytes;
    std::uint64_t end = std::uint64_t{block} + whole + (tail != 0 ? 1 : 0);
    if (end > device->sectorCount) {
        noteFailure(u"winblk.strategy: sectors 0x%x-0x%x beyond the partition of 0x%x sectors\n", block,
                   static_cast<std::uint32_t>(end - 1), device->sectorCount);
        return io::invalid;
    }
    block += device->startSector;
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    if (whole > 0) {
        std::int32_t result = rawread(*device, block, whole, bytes);
        if (result != io::ok) return result;
    }
    if (tail != 0) {
        // The partial last sector goes through the sector buffer so that the caller's
        // buffer is never written past `size`.
        std::int32_t result = rawread(*device, block + whole, 1, device->sectorBuffer);
        if (result != io::ok) return result;
        std::memcpy(bytes + std::size_t{whole} * WinblkDevice::sectorBytes, device->sectorBuffer, tail);
    }
    if (done != nullptr) *done = size;
    return io::ok;
}

std::int32_t winblkClose(OpenFile& file) {
    file.deviceData.reset();
    return io::ok;
}

std::int32_t winblkIoctl(OpenFile&, std::uint32_t, void*) { return io::ioError; }
