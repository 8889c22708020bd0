// A fresh simulated handheld per test, with the window's links recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "boot/WindowLinks.h"
#include "sandbox/Machine.h"
#include "tests/support/TempFolder.h"

/// Collects what the Console page would show.
class RecordingConsolePage : public ConsolePageLink {
public:
    void print(const char16_t* text, bool windowOnly) override;
    std::u16string text;
    std::vector<std::u16string> messages;
};

/// Records progress steps and resets.
class RecordingRootWindow : public RootWindowLink {
public:
    void progress(const char* label) override;
    void progressReset() override;
    platform::WindowHandle handle() override { return this; }
    std::vector<std::string> labels;
    int resets = 0;
};

/// Each test gets a new machine of `profileKey` with an empty storage root, and starts
/// with no BootMenu, Console or BootController.
class SandboxTest : public ::testing::Test {
protected:
    explicit SandboxTest(std::string_view profileKey = "ipaq-h3600");
    ~SandboxTest() override;

    /// Marks `name` as a storage card folder of the root, creating it.
    void addStorageCard(const std::string& name);
    /// Attaches the recording window and Console page to the BootMenu.
    void attachWindow();

    sandbox::Machine& machine;
    TempFolder storage;
    RecordingConsolePage consolePage;
    RecordingRootWindow rootWindow;
};

/// UTF-16 to UTF-8 for readable assertions.
std::string utf8(std::u16string_view text);
