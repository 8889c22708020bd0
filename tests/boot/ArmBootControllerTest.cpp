// The ARM boot controller choosing the components of an attempt, with the real
// components on sandbox machines.
#include <gtest/gtest.h>

#include "arch/Architecture.h"
#include "arch/Pxa2x0Architecture.h"
#include "arch/Sa11x0Architecture.h"
#include "boot/BootController.h"
#include "boot/BootMenu.h"
#include "console/Console.h"
#include "file/FileManager.h"
#include "load/Loader.h"
#include "memory/MemoryManager.h"
#include "tests/support/SandboxTest.h"

namespace {

class ArmBootControllerTest : public SandboxTest {
protected:
    explicit ArmBootControllerTest(std::string_view profile = "jornada720") : SandboxTest(profile) {
        attachWindow();
        addStorageCard("Storage Card");
        controller = BootController::instance();
    }
    Preferences& prefs() { return BootMenu::instance()->preferences; }
    void choosePlatform(std::uint32_t cpu, std::uint32_t machine) {
        prefs().cpuCode = cpu;
        prefs().machineCode = machine;
    }
    std::string output() const { return utf8(consolePage.text); }

    BootController* controller;
};

TEST_F(ArmBootControllerTest, ProcessorPatternsChooseTheBackEnd) {
    struct Row {
        std::uint32_t cpu, machine;
        bool supported;
        std::uint32_t architectureCode;
    };
    const Row rows[] = {
        {0, 0, false, 0},
        {0x0C104000, 0x02C20301, true, BootController::sa11x0},
        {0x0C108000, 0x02C20201, true, BootController::sa11x0},
        {0x0C204000, 0x01C40301, true, BootController::pxa250},
        {0x0C208000, 0x01040100, true, BootController::pxa270},
        {0x0C100000, 0, false, 0},  // the StrongARM group names no processor model
        {0x0C20C000, 0x01040100, false, 0},
    };
    for (const Row& row : rows) {
        choosePlatform(row.cpu, row.machine);
        controller->architectureCode = 0;
        EXPECT_EQ(controller->setup(), row.supported) << std::hex << row.cpu;
        if (!row.supported) continue;
        EXPECT_EQ(controller->architectureCode, row.architectureCode) << std::hex << row.cpu;
        EXPECT_EQ(controller->memoryMethod, 1u);
        ASSERT_TRUE(controller->create()) << output();
        bool sa = row.architectureCode == BootController::sa11x0;
        EXPECT_EQ(dynamic_cast<Sa11x0Architecture*>(controller->architecture) != nullptr, sa);
        EXPECT_EQ(dynamic_cast<Pxa2x0Architecture*>(controller->architecture) != nullptr, !sa);
        EXPECT_NE(controller->memoryManager, nullptr);
        EXPECT_NE(controller->fileManager, nullptr);
        EXPECT_EQ(Console::instance(), controller->console);
    }
}

TEST_F(ArmBootControllerTest, MissingPageLockingCallsStopTheAttempt) {
    choosePlatform(0x0C108000, 0x02C20201);
    machine.coreLibrary.missing = true;
    ASSERT_TRUE(controller->setup());
    EXPECT_FALSE(controller->create());
    EXPECT_NE(output().find("couldn't find LockPages/UnlockPages.\n"), std::string::npos);
    ASSERT_EQ(machine.boxes.size(), 2u) << "one box per lookup";
    EXPECT_EQ(utf8(machine.boxes[0].text), "Can't load coredll.dll.");

    machine.coreLibrary.missing = false;
    machine.coreLibrary.missingProcedures = {u"UnlockPages"};
    consolePage.text.clear();
    EXPECT_FALSE(controller->create());
    EXPECT_NE(output().find("couldn't find LockPages/UnlockPages.\n"), std::string::npos) << output();
    EXPECT_EQ(controller->memoryManager, nullptr);
}

TEST_F(ArmBootControllerTest, UnknownArchitectureCodeIsRefused) {
    choosePlatform(0x0C108000, 0x02C20201);
    ASSERT_TRUE(controller->setup());
    controller->architectureCode = 0x0C304000;
    EXPECT_FALSE(controller->create());
    EXPECT_EQ(output(), "Unsupported architecture.\n");
    EXPECT_EQ(controller->architecture, nullptr);
}

TEST_F(ArmBootControllerTest, SerialConsoleWithoutAPortFallsBackToTheWindow) {
    choosePlatform(0x0C108000, 0x02C20201);
    prefs().serialConsole = 1;
    machine.serialPort.missing = true;
    ASSERT_TRUE(controller->setup());
    ASSERT_TRUE(controller->create());
    EXPECT_NE(output().find("couldn't open COM1\nuse LCD console instead.\n"), std::string::npos) << output();
    EXPECT_EQ(Console::instance()->consoleType(), Console::windowConsole);
}

TEST_F(ArmBootControllerTest, SerialAttemptThenWindowAttempt) {
    choosePlatform(0x0C108000, 0x02C20201);
    prefs().serialConsole = 1;
    ASSERT_TRUE(controller->setup());
    ASSERT_TRUE(controller->create());
    EXPECT_EQ(Console::instance()->consoleType(), Console::serialConsole);
    prefs().serialConsole = 0;
    ASSERT_TRUE(controller->setup());
    ASSERT_TRUE(controller->create());
    EXPECT_EQ(Console::instance()->consoleType(), Console::windowConsole);
}

TEST_F(ArmBootControllerTest, NonElfKernelHasNoLoader) {
    choosePlatform(0x0C108000, 0x02C20201);
    storage.write("Storage Card/korvel", "#!/bin/sh\necho not a kernel\n" + std::string(64, ' '));
    setRecordText(prefs().kernelDirectory, u"\\Storage Card\\");
    ASSERT_TRUE(controller->setup());
    ASSERT_TRUE(controller->create());
    ASSERT_TRUE(controller->fileManager->setRoot(controller->kernelDirectory));
    ASSERT_TRUE(controller->fileManager->open(u"korvel", 3));
    consolePage.text.clear();
    EXPECT_FALSE(controller->attachLoader());
    EXPECT_EQ(output(), "unknown file format.\n");
    EXPECT_EQ(controller->loader, nullptr);
}

TEST_F(ArmBootControllerTest, FailedAttemptsDoNotPileUpPagePools) {
    choosePlatform(0x0C108000, 0x02C20201);
    for (int attempt = 0; attempt < 10; ++attempt) {
        ASSERT_TRUE(controller->setup());
        ASSERT_TRUE(controller->create());
        ASSERT_TRUE(controller->architecture->allocateMemory(0x40000));
    }
    EXPECT_LE(machine.memory.blockCount(), 2u) << "earlier attempts' pools were kept";
}

}  // namespace
