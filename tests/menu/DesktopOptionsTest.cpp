// tembrel.exe's command line.
#include <gtest/gtest.h>

#include "desktop/DesktopOptions.h"

namespace {

TEST(DesktopOptions, ReadsTheSandboxSettings) {
    DesktopOptions options;
    std::string error;
    ASSERT_TRUE(parseDesktopOptions({"--machine", "ws003sh", "--storage=C:\\cards", "--disk", "1=a.img", "--disk=2=b.img",
                                     "--serial", "-", "--snapshot", "out.elf"},
                                    options, error))
        << error;
    EXPECT_EQ(options.machine.machine, "ws003sh");
    EXPECT_EQ(options.machine.storage, "C:\\cards");
    EXPECT_EQ(options.machine.disks, (std::vector<std::string>{"1=a.img", "2=b.img"}));
    EXPECT_EQ(options.machine.serial, "-");
    EXPECT_EQ(options.snapshot, "out.elf");
}

TEST(DesktopOptions, RefusesWhatItDoesNotKnow) {
    struct Case {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"--machinex", "a"}, "unknown option \"--machinex\""},
        {{"--storage"}, "--storage needs a value"},
        {{"--set", "verbose=1"}, "unknown option \"--set\""},  // the boot loader's own settings are on the pages
    };
    for (const Case& c : cases) {
        DesktopOptions options;
        std::string error;
        EXPECT_FALSE(parseDesktopOptions(c.arguments, options, error)) << c.arguments[0];
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
