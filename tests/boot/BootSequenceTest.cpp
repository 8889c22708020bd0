// The boot sequence driven with stand-in components that do what a script says.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "arch/Architecture.h"
#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "file/FileManager.h"
#include "load/Loader.h"
#include "memory/MemoryManager.h"
#include "platform/ui.h"
#include "tests/support/SandboxTest.h"

namespace {

/// Which step fails, and what the components report.
struct Script {
    std::string failAt;  // the name of the step that returns false, or empty
    bool hasImage = true;
    std::uint32_t imageRealSize = 1000000;
    std::uint32_t kernelMemorySize = 2500000;
    std::vector<std::string> events;  // what the components were asked to do, in order
};

Script* script = nullptr;

bool step(const std::string& name) {
    script->events.push_back(name);
    return script->failAt != name;
}

class FakeFileManager : public FileManager {
public:
    using FileManager::FileManager;
    bool setRoot(const char16_t*) override { return step("setRoot"); }
    bool open(const char16_t* name, std::uint32_t) override {
        bool image = std::u16string_view(name) == u"miniroot.fs";
        if (image) ++imageOpens;
        return step(image ? (imageOpens == 1 ? "openImage" : "reopenImage") : "openKernel");
    }
    std::uint32_t size() override { return script->imageRealSize; }
    std::int32_t close() override {
        script->events.push_back("close");
        return 0;
    }
    std::int32_t read(void*, std::uint32_t, std::int32_t) override { return 0; }
    std::int32_t write(const void*, std::uint32_t, std::int32_t) override { return 0; }
    bool seek(std::uint32_t) override { return true; }

private:
    int imageOpens = 0;
};

class FakeMemoryManager : public MemoryManager {
public:
    explicit FakeMemoryManager(Console** console) : MemoryManager(console, 4096) {}
    std::uint32_t physicalAddress(void*) override { return noAddress; }
};

class FakeLoader : public Loader {
public:
    using Loader::Loader;
    bool setFile(FileManager*& fileManager) override { return Loader::setFile(fileManager) && step("setFile"); }
    std::uint32_t memorySize() override { return script->kernelMemorySize; }
    bool load() override { return step("load"); }
    std::uint32_t jumpAddress() override { return 0xC0008000; }
    bool loadFileSystemImage() override { return step("loadImage"); }
    void loadEnd() override { script->events.push_back("loadEnd"); }
    std::uint32_t tagChainStart() override { return 0xC1230000; }
};

class FakeArchitecture : public Architecture {
public:
    using Architecture::Architecture;
    bool init() override { return step("init"); }
    void systemInfo() override { script->events.push_back("systemInfo"); }
    bool setupLoader() override { return step("setupLoader"); }
    void jump(std::uint32_t bootPage, std::uint32_t tagChain) override {
        script->events.push_back("jump " + std::to_string(bootPage) + " " + std::to_string(tagChain));
    }
    bool allocateMemory(std::uint32_t bytes) override {
        allocated = bytes;
        return step("allocateMemory");
    }
    std::uint32_t setupBootInfo(Loader&) override {
        script->events.push_back("setupBootInfo");
        return 0xC0FFE000;
    }
    static inline std::uint32_t allocated = 0;
};

/// Replaces its components at every attempt, as the real controller does.
class FakeController : public BootController {
public:
    bool setup() override {
        if (!step("setup")) return false;
        setRecordText(kernelDirectory, u"\\Storage Card\\");
        setRecordText(kernelName, u"korvel.gz");
        hasFileSystemImage = script->hasImage ? 1 : 0;
        setRecordText(fileSystemImageName, u"miniroot.fs");
        return true;
    }
    bool create() override {
        release();
        architecture = new FakeArchitecture(&console, &memoryManager);
        memoryManager = new FakeMemoryManager(&console);
        Console::setInstance(console);
        fileManager = new FakeFileManager(&console);
        return step("create");
    }
    bool attachLoader() override {
        delete loader;
        loader = new FakeLoader(&console, &memoryManager);
        return step("attachLoader");
    }

private:
    void release() {
        delete architecture;
        delete memoryManager;
        delete fileManager;
        architecture = nullptr;
        memoryManager = nullptr;
        fileManager = nullptr;
    }
};

class BootSequence : public SandboxTest {
protected:
    BootSequence() {
        script = &current;
        attachWindow();
        BootController::install(std::unique_ptr<BootController>(new FakeController()));
        BootMenu::instance()->selectPlatform(8);  // HP Jornada 720 (US/UK)
        BootMenu::instance()->preferences.pauseBeforeBoot = 0;
    }
    ~BootSequence() override { script = nullptr; }

    void boot() {
        current.events.clear();
        BootMenu::instance()->boot();
    }
    const sandbox::MessageBoxRecord& lastBox() const { return machine.boxes.back(); }

    /// Closes between the last open and the failure box: whether the file was closed
    /// before the report.
    int closesAfterLastOpen() const {
        int closes = 0;
        for (const std::string& e : current.events) {
            if (e.rfind("open", 0) == 0 || e == "reopenImage") closes = 0;
            if (e == "close") ++closes;
        }
        return closes;
    }

    Script current;
};

TEST_F(BootSequence, EveryFailingStepIsReportedOnce) {
    struct Row {
        const char* failAt;
        const char* message;
        const char* lastLabel;
        int closesAfterLastOpen;  // 1 more than the step's own close when it closes first
    };
    const Row rows[] = {
        {"setup", "Architecture not supported.\n", "0", 0},
        {"create", "Architecture ops. not found.\n", "1", 0},
        {"init", "Architecture initialize failed.\n", "2", 0},
        {"setRoot", "Can't set root directory.\n", "3", 0},
        {"openImage", "Can't open file system image.\n", "3", 0},
        {"openKernel", "Can't open kernel image.\n", "4", 0},
        {"attachLoader", "Can't attach loader.\n", "5", 1},
        {"setFile", "Can't initialize loader.\n", "5", 1},
        {"allocateMemory", "Can't allocate memory.\n", "6", 1},
        {"setupLoader", "Can't set up loader.\n", "7", 1},
        {"load", "Can't load kernel image to memory.\n", "8", 1},
        {"reopenImage", "Can't open file system image.\n", "9", 0},
        {"loadImage", "Can't load file system image to memory.\n", "9", 1},
        {"jump", "Can't jump to the kernel.\n", "10", 2},
    };
    for (const Row& row : rows) {
        current.failAt = row.failAt;
        rootWindow.labels.clear();
        std::size_t boxesBefore = machine.boxes.size();
        int resetsBefore = rootWindow.resets;
        boot();
        ASSERT_EQ(machine.boxes.size(), boxesBefore + 1) << row.failAt;
        EXPECT_EQ(utf8(lastBox().text), row.message) << row.failAt;
        EXPECT_EQ(utf8(lastBox().caption), "BOOT FAILED");
        EXPECT_EQ(lastBox().style, 16u);
        EXPECT_EQ(lastBox().owner, rootWindow.handle());
        EXPECT_EQ(rootWindow.labels.back(), row.lastLabel) << row.failAt;
        EXPECT_EQ(rootWindow.resets, resetsBefore + 1) << row.failAt;
        EXPECT_EQ(closesAfterLastOpen(), row.closesAfterLastOpen) << row.failAt;
    }
}

TEST_F(BootSequence, ProgressLinesAndTheComponentOrder) {
    current.failAt = "jump";
    boot();
    EXPECT_EQ(rootWindow.labels, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    const std::vector<std::string> order = {
        "setup", "create", "init", "systemInfo", "setRoot", "openImage", "close", "openKernel", "attachLoader",
        "setFile", "allocateMemory", "setupLoader", "load", "close", "reopenImage", "loadImage", "close",
        "loadEnd", "setupBootInfo", "jump " + std::to_string(0xC0FFE000u) + " " + std::to_string(0xC1230000u), "close"};
    EXPECT_EQ(current.events, order);
}

TEST_F(BootSequence, OneMemoryRequestForImageAndKernel) {
    current.failAt = "allocateMemory";
    boot();
    EXPECT_EQ(FakeArchitecture::allocated, 1003520u + 2502656u);
    EXPECT_EQ(FakeArchitecture::allocated, 3506176u);
}

TEST_F(BootSequence, WithoutAnImageNothingButTheKernelIsOpened) {
    current.hasImage = false;
    current.failAt = "jump";
    boot();
    EXPECT_EQ(FakeArchitecture::allocated, 2502656u);
    EXPECT_EQ(std::count(current.events.begin(), current.events.end(), "openImage"), 0);
    EXPECT_EQ(std::count(current.events.begin(), current.events.end(), "reopenImage"), 0);
}

TEST_F(BootSequence, ImageWhoseSizeCannotBeLearnedIsRefusedBeforeTheKernel) {
    current.imageRealSize = 0xFFFFFFFF;
    boot();
    EXPECT_EQ(utf8(lastBox().text), "Can't open file system image.\n");
    EXPECT_EQ(rootWindow.labels.back(), "3");
    EXPECT_EQ(closesAfterLastOpen(), 1);
    EXPECT_EQ(std::count(current.events.begin(), current.events.end(), "openKernel"), 0);
}

TEST_F(BootSequence, RequestThatWouldWrapIsRefused) {
    current.imageRealSize = 0xFFFFF000;
    current.kernelMemorySize = 0x2000;
    boot();
    EXPECT_EQ(utf8(lastBox().text), "Can't allocate memory.\n");
    EXPECT_EQ(std::count(current.events.begin(), current.events.end(), "allocateMemory"), 0);
    EXPECT_EQ(closesAfterLastOpen(), 1);
}

TEST_F(BootSequence, PauseQuestionAndASecondAttempt) {
    BootMenu::instance()->preferences.pauseBeforeBoot = 1;
    machine.boxAnswers = {platform::answerNo};
    boot();
    ASSERT_EQ(machine.boxes.size(), 2u);
    EXPECT_EQ(utf8(machine.boxes[0].text), "Push YES to boot.");
    EXPECT_EQ(utf8(machine.boxes[0].caption), "Last chance...");
    EXPECT_EQ(machine.boxes[0].style, 52u);
    EXPECT_EQ(utf8(machine.boxes[1].text), "Canceled by user.\n");
    EXPECT_EQ(closesAfterLastOpen(), 1);  // only the image's own close
    EXPECT_EQ(std::count_if(current.events.begin(), current.events.end(),
                            [](const std::string& e) { return e.rfind("jump", 0) == 0; }), 0);
    EXPECT_EQ(machine.windowUpdates, 0u);

    rootWindow.labels.clear();
    machine.boxAnswers = {platform::answerYes};
    boot();
    EXPECT_EQ(rootWindow.labels.front(), "0");
    EXPECT_EQ(machine.windowUpdates, 1u);
    EXPECT_EQ(utf8(lastBox().text), "Can't jump to the kernel.\n");
    EXPECT_EQ(rootWindow.resets, 2);

    std::string transcript = utf8(consolePage.text);
    std::size_t first = transcript.find("tembrel build number: 15\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(transcript.find("tembrel build number: 15\n", first + 1), std::string::npos);
}

TEST_F(BootSequence, PlatformLineNamesTheChosenPlatform) {
    current.failAt = "init";
    boot();
    EXPECT_NE(utf8(consolePage.text).find("HP Jornada 720 (US/UK) (cpu=0x0c108000 machine=0x02c20201)\n"), std::string::npos);

    BootMenu::instance()->preferences.cpuCode = 0x0C108000;
    BootMenu::instance()->preferences.machineCode = 0x12345678;
    consolePage.text.clear();
    boot();
    EXPECT_NE(utf8(consolePage.text).find("Sharp W-ZERO3 (WS003SH) (cpu=0x0c108000 machine=0x12345678)\n"), std::string::npos);
}

TEST_F(BootSequence, UnknownProcessorIsNotSupportedByTheArmController) {
    BootController::destroyInstance();  // the first use makes the real controller
    BootMenu::instance()->preferences.cpuCode = 0;
    BootMenu::instance()->preferences.machineCode = 0;
    boot();
    EXPECT_EQ(utf8(lastBox().text), "Architecture not supported.\n");
    EXPECT_EQ(rootWindow.labels, std::vector<std::string>{"0"});
}

}  // namespace
