#include "file/FatFileManager.h"

#include <cstring>
#include <string>

#include "tests/file/FileFixture.h"

namespace {

class FatFileManagerTest : public FileFixture {
protected:
    FatFileManagerTest() { writeCardFile("korvel.gz", bytes); }

    std::string bytes = "0123456789abcdefghijklmnopqrstuvwxyz";
};

TEST_F(FatFileManagerTest, RootIsUsedAsItStands) {
    FatFileManager file(&console);
    ASSERT_TRUE(file.setRoot(u"\\Storage Card\\"));
    ASSERT_TRUE(file.open(u"korvel.gz", 3));
    EXPECT_EQ(file.size(), bytes.size());
    file.close();

    ASSERT_TRUE(file.setRoot(u"\\Storage Card"));
    EXPECT_FALSE(file.open(u"korvel.gz", 3));
    EXPECT_EQ(utf8(consolePage.text),
              "FileManager: FAT\n"
              "open file \"\\Storage Card\\korvel.gz\"(36 byte).\n"
              "can't open \"\\Storage Cardkorvel.gz\". cause = 2\n");
}

TEST_F(FatFileManagerTest, ReadsContinueOrMoveFirst) {
    FatFileManager file(&console);
    ASSERT_TRUE(file.setRoot(u"\\Storage Card\\"));
    ASSERT_TRUE(file.open(u"korvel.gz", 3));
    struct Step {
        std::int32_t offset;
        std::uint32_t length;
        const char* expected;
    };
    const Step steps[] = {
        {-1, 4, "0123"}, {-1, 3, "456"}, {20, 2, "kl"}, {-1, 2, "mn"}, {2, 3, "234"},
        {34, 10, "yz"}, {-1, 5, ""}, {40, 5, ""},
    };
    for (const Step& step : steps) {
        std::string got(step.length, '\0');
        std::int32_t count = file.read(got.data(), step.length, step.offset);
        got.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        EXPECT_EQ(got, step.expected) << "offset " << step.offset;
    }
    ASSERT_TRUE(file.seek(10));
    char one = 0;
    EXPECT_EQ(file.read(&one, 1, -1), 1);
    EXPECT_EQ(one, 'a');
}

TEST_F(FatFileManagerTest, UnreachablePositionReadsNothing) {
    FatFileManager file(&console);
    ASSERT_TRUE(file.setRoot(u"\\Storage Card\\"));
    ASSERT_TRUE(file.open(u"korvel.gz", 3));
    char got[4] = {};
    // Offsets from 2 GiB on cannot be set; the bytes at the old position must not
    // come back in their place.
    EXPECT_FALSE(file.seek(0x80000000u));
    EXPECT_FALSE(file.failed());
    EXPECT_EQ(file.read(got, sizeof got, static_cast<std::int32_t>(0x80000000u)), 0);
    EXPECT_TRUE(file.failed()) << "a 0 that is no end of the file";
    EXPECT_NE(utf8(consolePage.text).find("can't read \"\\Storage Card\\korvel.gz\". cause = "), std::string::npos)
        << utf8(consolePage.text);
    ASSERT_TRUE(file.open(u"korvel.gz", 3));
    EXPECT_FALSE(file.failed());
    EXPECT_EQ(file.read(got, sizeof got, 36), 0) << "at the end";
    EXPECT_FALSE(file.failed());
}

TEST_F(FatFileManagerTest, CloseWithoutOpenFileIsHarmless) {
    FatFileManager file(&console);
    ASSERT_TRUE(file.setRoot(u"\\Storage Card\\"));
    EXPECT_EQ(file.close(), 0);
    ASSERT_TRUE(file.open(u"korvel.gz", 3));
    EXPECT_EQ(file.close(), 1);
    EXPECT_EQ(file.close(), 0);
    EXPECT_TRUE(machine.handles.empty());
}

TEST_F(FatFileManagerTest, PathsThatDoNotFitAreRefusedNotCut) {
    FatFileManager file(&console);
    // 250 + 9 characters and the terminator fit exactly; one more does not.
    std::u16string root = u"\\Storage Card\\" + std::u16string(235, u'd') + u"\\";
    ASSERT_EQ(root.size(), 250u);
    ASSERT_TRUE(file.setRoot(root.c_str()));
    EXPECT_FALSE(file.open(u"korvel.gz", 3));
    EXPECT_NE(utf8(consolePage.messages.back()).find("can't open"), std::string::npos);
    EXPECT_FALSE(file.open(u"korvel.gzz", 3));
    EXPECT_EQ(utf8(consolePage.messages.back()), "path too long. 261 > 260\n");

    EXPECT_TRUE(file.setRoot(std::u16string(259, u'r').c_str()));
    EXPECT_FALSE(file.setRoot(std::u16string(260, u'r').c_str()));
    EXPECT_EQ(utf8(consolePage.messages.back()), "root too long. 261 > 260\n");
    // The root refused leaves the earlier one in place, untouched.
    EXPECT_FALSE(file.open(u"x", 3));
    EXPECT_EQ(utf8(consolePage.messages.back()), "path too long. 261 > 260\n");
}

/// Exposes the shared conversion routine.
class NarrowingFileManager : public FatFileManager {
public:
    using FatFileManager::FatFileManager;
    using FileManager::toNarrow;
};

struct NarrowCase {
    const char* profile;
    std::u16string text;
    std::size_t bytes;  // 0: the conversion fails
    const char* message;
};

void PrintTo(const NarrowCase& c, std::ostream* os) { *os << c.profile << " " << c.text.size(); }

class ToNarrowTest : public SandboxTest, public ::testing::WithParamInterface<NarrowCase> {
protected:
    ToNarrowTest() : SandboxTest(GetParam().profile) { attachWindow(); }
};

TEST_P(ToNarrowTest, FitsCapacityWithTerminator) {
    const NarrowCase& c = GetParam();
    Console* console = Console::instance();
    NarrowingFileManager file(&console);
    consolePage.text.clear();

    char out[FileManager::nameCapacity];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(file.toNarrow(out, c.text.c_str(), sizeof out), c.bytes != 0);
    EXPECT_EQ(utf8(consolePage.text), c.message);
    if (c.bytes != 0) {
        EXPECT_EQ(std::strlen(out), c.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Capacities, ToNarrowTest,
    ::testing::Values(NarrowCase{"ipaq-h3600", std::u16string(259, u'a'), 259, ""},
                      NarrowCase{"ipaq-h3600", std::u16string(260, u'a'), 0, "buffer insufficeint. 261 > 260\n"},
                      NarrowCase{"ipaq-h3600", u"", 0, "can't convert to ASCII.\n"},
                      // Two bytes a character in code page 932: the limit is in bytes.
                      NarrowCase{"ws003sh", std::u16string(129, u'\u3042'), 258, ""},
                      NarrowCase{"ws003sh", std::u16string(130, u'\u3042'), 0, "buffer insufficeint. 261 > 260\n"}));

}  // namespace
