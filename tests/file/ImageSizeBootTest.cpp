// The boot sequence learns the file-system image's size through GzipFileManager:
// a damaged image stops the boot at the image step instead of sizing the memory
// request from a wrong or wrapped count.
#include <algorithm>
#include <string>

#include "arch/Architecture.h"
#include "boot/BootController.h"
#include "boot/BootSequence.h"
#include "load/Loader.h"
#include "memory/MemoryManager.h"
#include "tests/file/FileFixture.h"

namespace {

constexpr std::uint32_t kernelBytes = 8192;

class StandInMemory : public MemoryManager {
public:
    explicit StandInMemory(Console** console) : MemoryManager(console, 4096) {}
    std::uint32_t physicalAddress(void*) override { return noAddress; }
};

/// Records the memory request and refuses it, which ends the attempt there.
class StandInArchitecture : public Architecture {
public:
    using Architecture::Architecture;
    bool init() override { return true; }
    void systemInfo() override {}
    bool setupLoader() override { return false; }
    void jump(std::uint32_t, std::uint32_t) override {}
    bool allocateMemory(std::uint32_t bytes) override {
        requested = bytes;
        return false;
    }
    std::uint32_t setupBootInfo(Loader&) override { return 0; }
    std::uint32_t requested = 0;
};

class StandInLoader : public Loader {
public:
    using Loader::Loader;
    std::uint32_t memorySize() override { return kernelBytes; }
    bool load() override { return false; }
    std::uint32_t jumpAddress() override { return 0; }
    bool loadFileSystemImage() override { return false; }
    void loadEnd() override {}
    std::uint32_t tagChainStart() override { return 0; }
};

/// Real file access over stand-ins for the rest of the attempt.
class ImageController : public BootController {
public:
    bool setup() override {
        std::u16string(u"\\Storage Card\\").copy(kernelDirectory, 14);
        std::u16string(u"korvel").copy(kernelName, 6);
        std::u16string(u"miniroot.fs.gz").copy(fileSystemImageName, 14);
        hasFileSystemImage = 1;
        fileSourceKind = localFiles;
        return true;
    }
    bool create() override {
        memoryManager = new StandInMemory(&console);
        architecture = new StandInArchitecture(&console, &memoryManager);
        fileManager = new GzipFileManager(&console, fileSourceKind);
        return true;
    }
    bool attachLoader() override {
        loader = new StandInLoader(&console, &memoryManager);
        return true;
    }
};

class ImageSizeBootTest : public FileFixture {
protected:
    /// Boots with `image` as the card's miniroot.fs.gz; returns the failure box text.
    std::string boot(const std::string& image) {
        writeCardFile("miniroot.fs.gz", image);
        writeCardFile("korvel", "\x7f" "ELF plain kernel");
        machine.serialPort.missing = true;  // the serial port stays open for good; only files count here
        ImageController* controller =
            static_cast<ImageController*>(BootController::install(std::make_unique<ImageController>()));
        runBootSequence();
        requested = static_cast<StandInArchitecture*>(controller->architecture)->requested;
        EXPECT_EQ(machine.boxes.size(), 1u);
        EXPECT_TRUE(machine.handles.empty()) << "a file was left open";
        return machine.boxes.empty() ? "" : utf8(machine.boxes.back().text);
    }

    std::uint32_t requested = 0;
};

TEST_F(ImageSizeBootTest, DecompressedImageSizeEntersTheMemoryRequest) {
    ASSERT_EQ(shell("gzip -c $CONTENT > image.gz").exitCode, 0);
    EXPECT_EQ(boot(cardFile("image.gz")), "Can't allocate memory.\n");
    // 150000 bytes of content take 37 pages.
    EXPECT_EQ(requested, 37u * 4096 + kernelBytes);
}

TEST_F(ImageSizeBootTest, DamagedImageFailsTheImageStep) {
    ASSERT_EQ(shell("gzip -c $CONTENT > image.gz").exitCode, 0);
    std::string image = cardFile("image.gz");
    image[image.size() - 8] ^= 0x01;  // the stored CRC-32
    EXPECT_EQ(boot(image), "Can't open file system image.\n");
    EXPECT_EQ(requested, 0u);
    EXPECT_EQ(std::find(rootWindow.labels.begin(), rootWindow.labels.end(), "4"), rootWindow.labels.end())
        << "the kernel step was reached";
}

}  // namespace
