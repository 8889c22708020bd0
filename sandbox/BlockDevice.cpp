#include "sandbox/BlockDevice.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "host/HostFile.h"
#include "platform/files.h"
#include "sandbox/Machine.h"

namespace sandbox {

namespace {

constexpr std::uint32_t sectorBytes = 512;

/// A geometry that fits `bytes`: 16 heads of 63 sectors, as a card reader reports it.
platform::DiskInfo geometryFor(std::uint64_t bytes) {
    auto sectors = static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes / sectorBytes, 0xFFFFFFFF));
    return {sectors, sectorBytes, sectors / (16 * 63), 16, 63, platform::diskFlagMbr};
}

class BlockDevice : public OpenObject {
public:
    BlockDevice(std::shared_ptr<DiskSettings> settings, host::File image)
        : settings_(std::move(settings)), image_(std::move(image)) {}

    bool ioControl(std::uint32_t code, void* input, std::uint32_t inputSize, void*, std::uint32_t,
                   std::uint32_t& returned) override {
        returned = 0;
        if (code == platform::diskGetInfo) return answerInfo(input, inputSize);
        if (code == platform::diskRead) return answerRead(input, inputSize);
        return fail(platform::errorNotSupported);
    }

private:
    static bool fail(std::uint32_t error) {
        machine().lastError = error;
        return false;
    }

    bool answerInfo(void* input, std::uint32_t inputSize) {
        if (settings_->infoError) return fail(*settings_->infoError);
        if (input == nullptr || inputSize < sizeof(platform::DiskInfo)) return fail(platform::errorInvalidParameter);
        std::memcpy(input, &settings_->info, sizeof(platform::DiskInfo));
        return true;
    }

    bool answerRead(void* input, std::uint32_t inputSize) {
        if (input == nullptr || inputSize < sizeof(platform::DiskRequest)) return fail(platform::errorInvalidParameter);
        auto* request = static_cast<platform::DiskRequest*>(input);
        std::uint64_t bytes = std::uint64_t{request->sectorCount} * sectorBytes;
        if (request->bufferCount != 1 || request->buffer.length < bytes ||
            (bytes > 0 && request->buffer.address == nullptr)) {
            return fail(platform::errorInvalidParameter);
        }
        if (settings_->readError) return fail(*settings_->readError);
        ++settings_->readRequests;
        request->status = statusFor(request->firstSector, request->sectorCount);
        if (request->status == 0 && !readSectors(request->firstSector, bytes, request->buffer.address)) {
            request->status = platform::errorSectorNotFound;
        }
        return true;
    }

    /// The injected status of the first faulty sector in the range, or 0.
    std::uint32_t statusFor(std::uint32_t first, std::uint32_t count) const {
        auto it = settings_->readStatus.lower_bound(first);
        bool covered = it != settings_->readStatus.end() && it->first - first < count;
        return covered ? it->second : 0;
    }

    /// Copies the sectors; false when they lie beyond the end of the disk.
    bool readSectors(std::uint32_t first, std::uint64_t bytes, void* buffer) {
        std::uint64_t offset = std::uint64_t{first} * sectorBytes;
        if (!image_.isOpen()) {
            const std::vector<std::uint8_t>& disk = settings_->bytes;
            if (offset > disk.size() || bytes > disk.size() - offset) return false;
            if (bytes > 0) std::memcpy(buffer, disk.data() + offset, bytes);
            return true;
        }
        return image_.readAt(offset, buffer, bytes) == static_cast<std::int64_t>(bytes);
    }

    std::shared_ptr<DiskSettings> settings_;
    host::File image_;
};

/// Registers the factory of "DSK<unit>:" over `settings`.
DiskSettings& attach(unsigned unit, std::shared_ptr<DiskSettings> settings) {
    std::u16string name = u"DSK";
    for (char digit : std::to_string(unit)) name += static_cast<char16_t>(digit);
    name += u':';
    machine().devices[name] = [settings]() -> std::unique_ptr<OpenObject> {
        host::File image;
        if (!settings->image.empty()) {
            image = host::File::open(settings->image, host::File::Mode::readExisting);
            if (!image.isOpen()) {
                machine().lastError = platform::errorFileNotFound;
                return nullptr;
            }
        }
        return std::make_unique<BlockDevice>(settings, std::move(image));
    };
    return *settings;
}

}  // namespace

DiskSettings& attachDisk(unsigned unit, const std::filesystem::path& image) {
    auto settings = std::make_shared<DiskSettings>();
    settings->image = image;
    host::File file = host::File::open(image, host::File::Mode::readExisting);
    settings->info = geometryFor(file.isOpen() ? static_cast<std::uint64_t>(file.size()) : 0);
    return attach(unit, std::move(settings));
}

DiskSettings& attachDisk(unsigned unit, std::vector<std::uint8_t> bytes) {
    auto settings = std::make_shared<DiskSettings>();
    settings->info = geometryFor(bytes.size());
    settings->bytes = std::move(bytes);
    return attach(unit, std::move(settings));
}

}  // namespace sandbox
