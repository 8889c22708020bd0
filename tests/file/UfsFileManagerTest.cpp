// The UFS source over a card made with makefs, sfdisk and fdisk: every byte it reads is
// compared with the host file it came from.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <regex>

#include "console/Console.h"
#include "file/GzipFileManager.h"
#include "file/IoResult.h"
#include "file/UfsFile.h"
#include "file/UfsFileManager.h"
#include "file/Winblk.h"
#include "sandbox/BlockDevice.h"
#include "tests/file/SameBytes.h"
#include "tests/file/UfsCard.h"
#include "tests/support/SandboxTest.h"

using ::testing::HasSubstr;

namespace {

std::u16string wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

class UfsSource : public SandboxTest {
protected:
    UfsSource() : card(UfsCard::get()), disk(&sandbox::attachDisk(1, card.image)) {}

    /// The window console, recording into the Console page from the start.
    Console* windowConsole() {
        attachWindow();
        return Console::instance();
    }

    /// `manager` with the root of unit 1 set.
    UfsFileManager& mounted() {
        EXPECT_TRUE(manager.setRoot(u"/"));
        return manager;
    }

    std::string read(std::uint32_t length, std::int32_t offset) {
        std::string buffer(length, '\0');
        std::int32_t got = manager.read(buffer.data(), length, offset);
        buffer.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return buffer;
    }

    const std::string& host(const std::string& path) const { return card.files.at(path); }

    std::string log() const { return utf8(machine.debugLog); }

    const UfsCard& card;
    sandbox::DiskSettings* disk;
    Console* console = windowConsole();
    UfsFileManager manager{&console};
};

TEST_F(UfsSource, EveryFileReadsAsOnTheHost) {
    mounted();
    for (const auto& [path, bytes] : card.files) {
        SCOPED_TRACE(path);
        ASSERT_TRUE(manager.open(wide(path).c_str(), 3));
        EXPECT_EQ(manager.size(), bytes.size());
        EXPECT_TRUE(sameBytes(read(static_cast<std::uint32_t>(bytes.size()) + 100, 0), bytes));
        std::string pieces;
        manager.seek(0);
        for (std::string piece; !(piece = read(1000, -1)).empty();) pieces += piece;
        EXPECT_TRUE(sameBytes(pieces, bytes));
        EXPECT_EQ(manager.close(), 0);
    }
}

TEST_F(UfsSource, ReadsAtAnyOffset) {
    mounted();
    std::uint32_t state = 12345;
    for (const char* path : {"/big", "/sparse"}) {
        ASSERT_TRUE(manager.open(wide(path).c_str(), 3));
        const std::string& bytes = host(path);
        for (int i = 0; i < 40; ++i) {
            state = state * 1103515245 + 12345;
            std::uint32_t offset = state % static_cast<std::uint32_t>(bytes.size());
            std::uint32_t length = (state >> 8) % 20000;
            EXPECT_TRUE(sameBytes(read(length, static_cast<std::int32_t>(offset)), bytes.substr(offset, length)))
                << path << " at " << offset;
        }
        manager.close();
    }
}

TEST_F(UfsSource, ReadsAtAndPastTheEnd) {
    mounted();
    ASSERT_TRUE(manager.open(u"/tail/1000", 3));
    EXPECT_EQ(read(100, 1000), "");
    EXPECT_EQ(read(100, 990), host("/tail/1000").substr(990));
    EXPECT_EQ(read(100, -1), "");
}

TEST_F(UfsSource, ShortLastBlockIsReadAsWholeFragments) {
    mounted();
    ASSERT_TRUE(manager.open(u"/tail/1000", 3));
    machine.debugLog.clear();
    EXPECT_EQ(read(1000, 0), host("/tail/1000"));
    EXPECT_TRUE(std::regex_match(log(), std::regex("rawread\\(0x[0-9a-f]+, 2\\)=0\n"))) << log();
}

TEST_F(UfsSource, SequentialReadsCostAboutOneRequestPerBlock) {
    mounted();
    ASSERT_TRUE(manager.open(u"/big", 3));
    std::uint32_t blocks = manager.size() / 4096;
    std::uint32_t before = disk->readRequests;
    while (!read(512, -1).empty()) {
    }
    EXPECT_LE(disk->readRequests - before, blocks + blocks / 32);
}

class UfsReadError : public UfsSource {
protected:
    /// Makes the disk fail the sector that holds block 1100 of /big.
    void SetUp() override {
        std::size_t at = card.bytes.find(host("/big").substr(1100 * 4096, 4096));
        ASSERT_NE(at, std::string::npos);
        badSector = static_cast<std::uint32_t>(at / 512);
        disk->readStatus[badSector] = 30;
    }

    std::string reason() const {
        char text[80];
        std::snprintf(text, sizeof text, "can't read sector 0x%x of the disk: status 30.\n", badSector);
        return text;
    }

    std::uint32_t badSector = 0;
};

// The count is shortened, and the file has failed: a caller that stops at a short
// count can still tell the error from the end of the file.
TEST_F(UfsReadError, ShortensTheCountAndFailsTheFile) {
    mounted();
    const std::string& bytes = host("/big");
    ASSERT_TRUE(manager.open(u"/big", 3));
    EXPECT_FALSE(manager.failed());
    EXPECT_TRUE(sameBytes(read(static_cast<std::uint32_t>(bytes.size()), 0), bytes.substr(0, 1100 * 4096)));
    EXPECT_TRUE(manager.failed());
    EXPECT_THAT(utf8(consolePage.text), HasSubstr("can't read \"/big\" at 4505600.\n" + reason()));
    ASSERT_TRUE(manager.open(u"/big", 3));
    EXPECT_FALSE(manager.failed()) << "open starts afresh";
}

// Through the gzip reader that a boot holds, the read that meets the error fails.
TEST_F(UfsReadError, FailsTheGzipReadersRead) {
    GzipFileManager reader(&console, std::make_unique<UfsFileManager>(&console));
    ASSERT_TRUE(reader.setRoot(u"/"));
    ASSERT_TRUE(reader.open(u"/big", 3));
    std::string delivered;
    std::int32_t count = 0;
    char buffer[65536];
    while ((count = reader.read(buffer, sizeof buffer, -1)) > 0) delivered.append(buffer, static_cast<std::size_t>(count));
    EXPECT_EQ(count, -1);
    EXPECT_TRUE(reader.failed());
    EXPECT_LT(delivered.size(), 1100u * 4096);
    EXPECT_TRUE(sameBytes(delivered, host("/big").substr(0, delivered.size())));
    std::string text = utf8(consolePage.text);
    EXPECT_EQ(text.find(reason()), text.rfind(reason())) << "told once: " << text;
}

struct PathCase {
    const char* path;
    std::int32_t result;
    const char* file;  // the host file it names
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << c.path; }

class UfsPaths : public UfsSource, public ::testing::WithParamInterface<PathCase> {};

TEST_P(UfsPaths, ResolveAsOnTheHost) {
    OpenFile file;
    ASSERT_EQ(winblkOpen(file, "DSK", 1, 0), io::ok);
    EXPECT_EQ(ufsOpen(file, GetParam().path), GetParam().result);
    if (GetParam().result != io::ok) return;
    const std::string& bytes = host(GetParam().file);
    std::string buffer(bytes.size(), '\0');
    std::uint32_t remaining = 0;
    EXPECT_EQ(ufsRead(file, buffer.data(), static_cast<std::uint32_t>(buffer.size()), &remaining), io::ok);
    EXPECT_EQ(remaining, 0u);
    EXPECT_TRUE(sameBytes(buffer, bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Card, UfsPaths,
    ::testing::Values(PathCase{"/boot/korvel.gz", io::ok, "/boot/korvel.gz"},
                      PathCase{"boot/korvel.gz", io::ok, "/boot/korvel.gz"},
                      PathCase{"//boot//korvel.gz/", io::ok, "/boot/korvel.gz"},
                      PathCase{"/many/../boot/./korvel.gz", io::ok, "/boot/korvel.gz"},
                      PathCase{"/many/entry-399", io::ok, "/many/entry-399"},
                      PathCase{"/boot/korvel.gz/more", io::notDirectory, nullptr},
                      PathCase{"/boot/missing", io::noSuchFile, nullptr},
                      PathCase{"/boot/current", io::ok, "/boot/korvel.gz"},
                      PathCase{"/kernel-abs", io::ok, "/boot/korvel.gz"},
                      PathCase{"/long-link", io::ok, "/boot/korvel.gz"},
                      PathCase{"/dirlink/korvel.gz", io::ok, "/boot/korvel.gz"},
                      PathCase{"/dirlink/current", io::ok, "/boot/korvel.gz"},
                      PathCase{"/boot/current/more", io::notDirectory, nullptr},
                      PathCase{"/chain/c00", io::ok, "/big"},
                      PathCase{"/chain/extra", io::noSuchFile, nullptr}),
    [](const auto& info) {
        std::string name = std::to_string(info.index);
        for (const char* c = info.param.path; *c != 0; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST_F(UfsSource, TheRootNamesTheDiskUnit) {
    sandbox::attachDisk(2, card.image);
    struct Case {
        const char16_t* root;
        const char* device;
        bool opens;
    } cases[] = {{u"2:/", "DSK2:", true}, {u"/", "DSK1:", true},   {u"0:/", "DSK1:", true},
                 {u"9:", "DSK9:", false}, {u"12:/", "DSK1:", true}, {u"7", "DSK1:", true}};
    for (const Case& c : cases) {
        machine.debugLog.clear();
        EXPECT_EQ(manager.setRoot(c.root), c.opens) << utf8(c.root);
        EXPECT_THAT(log(), HasSubstr(std::string("block device name is '") + c.device + "'")) << utf8(c.root);
        if (!c.opens) {
            EXPECT_THAT(log(), HasSubstr(std::string("can't open ") + c.device + ".\n"));
        }
    }
}

TEST_F(UfsSource, OpenReportsOnTheConsole) {
    EXPECT_FALSE(manager.setRoot(u""));
    EXPECT_FALSE(manager.open(u"/tail/1000", 3));  // no disk yet
    mounted();
    EXPECT_TRUE(manager.open(u"/tail/1000", 3));
    EXPECT_FALSE(manager.open(u"/nothing", 3));
    EXPECT_EQ(utf8(consolePage.text),
              "FileManager: UFS\n"
              "can't convert to ASCII.\n"
              "open file \"/tail/1000\" failed.\n"
              "ufs: no disk is open\n"
              "open file \"/tail/1000\" (1000 byte).\n"
              "open file \"/nothing\" failed.\n"
              "ufs: no such file or directory\n");
}

TEST_F(UfsSource, NothingOpenIsHarmless) {
    mounted();
    EXPECT_EQ(manager.size(), 0xFFFFFFFFu);
    EXPECT_EQ(read(10, 0), "");
    EXPECT_EQ(manager.close(), 0);
    EXPECT_EQ(manager.close(), 0);
    EXPECT_EQ(manager.write("x", 1, 0), 0);
}

TEST_F(UfsSource, KernelAndMinirootFromUnit2InTheBootOrder) {
    sandbox::attachDisk(2, card.image);
    ASSERT_TRUE(manager.setRoot(u"2:/"));
    ASSERT_TRUE(manager.open(u"miniroot.fs.gz", 3));
    EXPECT_EQ(manager.realSize(), host("/miniroot.fs.gz").size());
    manager.close();
    ASSERT_TRUE(manager.open(u"korvel.gz", 3));
    const std::string& kernel = host("/korvel.gz");
    EXPECT_EQ(read(10, 0), kernel.substr(0, 10));
    std::string all;
    for (std::uint32_t at = 0; at < kernel.size(); at += 4096) all += read(4096, static_cast<std::int32_t>(at));
    EXPECT_TRUE(sameBytes(all, kernel));
    manager.close();
    ASSERT_TRUE(manager.open(u"miniroot.fs.gz", 3));
    EXPECT_TRUE(sameBytes(read(manager.size(), 0), host("/miniroot.fs.gz")));
    manager.close();
}

}  // namespace
