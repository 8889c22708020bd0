#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boot/BootMenu.h"
#include "tests/support/SandboxTest.h"

namespace {

constexpr std::uint32_t argvPhysical = 0xC0123024;
constexpr std::uint32_t pageCapacity = 4028;

struct Settings {
    std::u16string kernelName = u"korvel.gz";
    std::uint32_t flags[5] = {};  // h v s a d
    std::uint32_t rootDevice = Preferences::rootWd;
    std::u16string imageName = u"miniroot.fs";
    std::u16string options;
};

class KernelArguments : public SandboxTest {
protected:
    explicit KernelArguments(std::string_view profile = "ipaq-h3600") : SandboxTest(profile) {}

    /// Builds the vector and reads it back through its physical pointers.
    std::vector<std::string> build(const Settings& s, std::uint32_t capacity = pageCapacity) {
        Preferences& p = BootMenu::instance()->preferences;
        setRecordText(p.kernelName, s.kernelName);
        p.serialConsole = s.flags[0];
        p.verbose = s.flags[1];
        p.singleUser = s.flags[2];
        p.askName = s.flags[3];
        p.kernelDebugger = s.flags[4];
        p.rootDevice = s.rootDevice;
        setRecordText(p.rootImageName, s.imageName);
        setRecordText(p.extraKernelOptions, s.options);

        page.assign(capacity + 64, 0xEE);
        count = BootMenu::instance()->buildKernelArguments(page.data(), argvPhysical, capacity);
        for (std::size_t i = capacity; i < page.size(); ++i) EXPECT_EQ(page[i], 0xEE) << "written past the capacity";
        std::vector<std::string> args;
        for (std::int32_t i = 0; i < count; ++i) {
            std::uint32_t pointer = page[4 * i] | page[4 * i + 1] << 8 | page[4 * i + 2] << 16 | std::uint32_t{page[4 * i + 3]} << 24;
            EXPECT_GE(pointer, argvPhysical + 64);
            args.emplace_back(reinterpret_cast<const char*>(page.data() + (pointer - argvPhysical)));
        }
        return args;
    }

    std::vector<std::uint8_t> page;
    std::int32_t count = 0;
};

using Args = std::vector<std::string>;

TEST_F(KernelArguments, FixedPartAndOptions) {
    struct Case {
        const char* what;
        Settings settings;
        Args want;
    };
    Settings example;
    example.flags[1] = example.flags[2] = 1;
    example.rootDevice = Preferences::rootNfs;
    example.options = u"  -x  foo=1";
    Settings everything;
    for (auto& f : everything.flags) f = 1;
    everything.rootDevice = Preferences::rootMd;
    Settings sd;
    sd.rootDevice = Preferences::rootSd;
    sd.options = u"a\tb \t c";
    Settings blanks;
    blanks.options = u" \t \t ";
    Settings oddRoot;
    oddRoot.rootDevice = 7;

    const Case cases[] = {
        {"the example", example, {"korvel.gz", "v", "s", "b=nfs", "-x", "foo=1"}},
        {"nothing set", Settings{}, {"korvel.gz"}},
        {"all flags and md", everything, {"korvel.gz", "h", "v", "s", "a", "d", "m=miniroot.fs"}},
        {"sd and tabs", sd, {"korvel.gz", "b=sd0", "a", "b", "c"}},
        {"only blanks", blanks, {"korvel.gz"}},
        {"unknown root device", oddRoot, {"korvel.gz"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(build(c.settings), c.want) << c.what;
        EXPECT_EQ(count, static_cast<std::int32_t>(c.want.size())) << c.what;
    }
    EXPECT_TRUE(machine.boxes.empty());
}

TEST_F(KernelArguments, SixteenSlotsAtMost) {
    Settings s;
    s.flags[1] = s.flags[2] = 1;
    s.options = u"a b c d e f g h i j k l m n";  // fourteen options for thirteen free slots
    Args args = build(s);
    EXPECT_EQ(count, 16);
    EXPECT_EQ(args[3], "a");
    EXPECT_EQ(args[15], "m");
    ASSERT_EQ(machine.boxes.size(), 1u);
    EXPECT_EQ(utf8(machine.boxes[0].text), "Too many extra kernel options.");
    EXPECT_EQ(utf8(machine.boxes[0].caption), "WARNING");
    EXPECT_EQ(machine.boxes[0].style, 48u);
    EXPECT_EQ(machine.windowUpdates, 1u);
}

TEST_F(KernelArguments, TokenThatDoesNotFitIsDroppedWholeAndEndsTheOptions) {
    Settings s;
    s.options = u"first " + std::u16string(40, u'x') + u" later";
    // korvel.gz (10 bytes) and first (6) leave 20 bytes: the long token needs 41.
    Args args = build(s, 64 + 10 + 6 + 20);
    EXPECT_EQ(args, (Args{"korvel.gz", "first"}));
    ASSERT_EQ(machine.boxes.size(), 1u);
    EXPECT_EQ(utf8(machine.boxes[0].text), "Too many extra kernel options.");
}

TEST_F(KernelArguments, TokenEndingExactlyAtTheCapacityFits) {
    Settings s;
    s.options = u"abcd";
    Args args = build(s, 64 + 10 + 5);
    EXPECT_EQ(args, (Args{"korvel.gz", "abcd"}));
    EXPECT_TRUE(machine.boxes.empty());
}

TEST_F(KernelArguments, NoMemoryForTheOptionsKeepsTheFixedPart) {
    Settings s;
    s.flags[0] = 1;
    s.options = u"-x";
    machine.heapExhausted = true;
    Args args = build(s);
    EXPECT_EQ(args, (Args{"korvel.gz", "h"}));
    ASSERT_EQ(machine.boxes.size(), 1u);
    EXPECT_EQ(utf8(machine.boxes[0].text), "Can't allocate memory for extra kernel options.");
    EXPECT_EQ(machine.boxes[0].style, 48u);
}

TEST_F(KernelArguments, TooSmallForAnythingWritesNothing) {
    Args args = build(Settings{}, 40);
    EXPECT_TRUE(args.empty());
}

class KernelArgumentsJapanese : public KernelArguments {
protected:
    KernelArgumentsJapanese() : KernelArguments("jornada720-jp") {}
};

TEST_F(KernelArgumentsJapanese, NamesAreGivenInTheMachineCodePage) {
    Settings s;
    s.kernelName = u"\u30AB\u30FC\u30C9.gz";
    s.rootDevice = Preferences::rootMd;
    s.imageName = u"\uFF92\uFF93\uFF98.fs";
    Args args = build(s);
    EXPECT_EQ(args, (Args{"\x83\x4A\x81\x5B\x83\x68.gz", "m=\xD2\xD3\xD8.fs"}));
}

}  // namespace
