// Files that decode cleanly, made by gzip(1) and the crafting script, read through
// GzipFileManager and compared with what gzip -dc (or the plain file) gives.
#include <algorithm>
#include <cstring>
#include <string>

#include "tests/file/FileFixture.h"

namespace {

struct GoodCase {
    const char* name;
    const char* make;       // writes the card's file "f"
    const char* reference;  // prints the content that "f" must deliver
    bool compressed;
};

void PrintTo(const GoodCase& c, std::ostream* os) { *os << c.name; }

const GoodCase goodCases[] = {
    {"StoredName", "gzip -c $CONTENT > f", "gzip -dc < f", true},
    {"NoName", "gzip -n -c $CONTENT > f", "gzip -dc < f", true},
    {"EmptyContent", "gzip -c < /dev/null > f", "gzip -dc < f", true},
    {"Members", "gzip -c $CONTENT > a.gz; gzip -c $OTHER > b.gz; cat a.gz b.gz > f", "gzip -dc < f", true},
    {"EmptyMemberBetween", "gzip -c $OTHER > f; gzip -c < /dev/null >> f; gzip -c $CONTENT >> f", "gzip -dc < f", true},
    {"EmptyLastMember", "gzip -c $CONTENT > f; gzip -c < /dev/null >> f", "gzip -dc < f", true},
    {"BytesAfterLastMember", "gzip -c $CONTENT > f; gzip -c $OTHER >> f; printf 'tail\\000\\000' >> f",
     "gzip -dcq < f || [ $? -eq 2 ]; printf 'tail\\000\\000'", true},
    {"AllHeaderFields", "$CRAFT --extra 300 --name korvel --comment 'built today' --hcrc < $CONTENT > f",
     "gzip -dc < f", true},
    {"HeaderLongerThanInputBuffer", "$CRAFT --extra 3000 --name n --comment c < $OTHER > f", "gzip -dc < f", true},
    // The 0x1f after the member is the last byte of one fill of the input and the
    // byte after it comes with the next: both must still be delivered.
    {"MagicByteEndsFill", "$CRAFT --length-mod 1024:1023 < $CONTENT > f; printf '\\037X' >> f",
     "gzip -dcq < f || [ $? -eq 2 ]; printf '\\037X'", true},
    {"PlainElf", "printf '\\177ELF\\001\\001\\001' > f; cat $CONTENT >> f", "cat f", false},
    {"PlainStartingWith1f", "printf '\\037\\000' > f; cat $OTHER >> f", "cat f", false},
    {"PlainSingle1f", "printf '\\037' > f", "cat f", false},
    {"PlainEmpty", ": > f", "cat f", false},
};

class GzipGoodTest : public FileFixture, public ::testing::WithParamInterface<GoodCase> {
protected:
    void SetUp() override {
        ASSERT_EQ(shell(GetParam().make).exitCode, 0);
        reference = shell(GetParam().reference).output;
        file = openGzip("f");
        ASSERT_NE(file, nullptr);
    }

    /// What a read of `length` at `offset` must deliver.
    std::string expected(std::size_t offset, std::size_t length) const {
        return offset >= reference.size() ? std::string() : reference.substr(offset, length);
    }

    std::string readAt(std::int32_t offset, std::uint32_t length) {
        std::string got(length, '\0');
        std::int32_t count = file->read(got.data(), length, offset);
        EXPECT_GE(count, 0);
        got.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        return got;
    }

    std::string reference;
    std::unique_ptr<GzipFileManager> file;
};

TEST_P(GzipGoodTest, RealSizeRightAfterOpenThenContentFromTheStart) {
    EXPECT_EQ(file->realSize(), reference.size());
    std::int32_t last = 0;
    EXPECT_EQ(readToEnd(*file, 1000, &last), reference);
    EXPECT_EQ(last, static_cast<std::int32_t>(reference.size() % 1000));
    EXPECT_EQ(readAt(-1, 10), "");
}

TEST_P(GzipGoodTest, OneReadDeliversEverything) {
    EXPECT_EQ(readAt(-1, static_cast<std::uint32_t>(reference.size() + 100)), reference);
    EXPECT_EQ(readAt(-1, 10), "");
}

TEST_P(GzipGoodTest, ExplicitOffsetsBackwardsAndForwards) {
    const std::size_t size = reference.size();
    struct Step {
        std::size_t offset;
        bool explicitOffset;
    };
    // The loader's pattern and more: far ahead, back to the start, continuing, ahead
    // again from a later member, program headers, the end, past the end, back again.
    const Step steps[] = {{size * 3 / 4, true},
                          {0, true},
                          {0, false},
                          {size / 2, true},
                          {size * 5 / 8, true},
                          {52, true},
                          {size - std::min<std::size_t>(size, 10), true},
                          {size + 10, true},
                          {1, true},
                          {0, false}};
    std::size_t here = 0;
    for (const Step& step : steps) {
        if (step.explicitOffset) here = step.offset;
        std::string got = readAt(step.explicitOffset ? static_cast<std::int32_t>(step.offset) : -1, 300);
        EXPECT_EQ(got, expected(here, 300)) << "at " << here;
        here += got.size();
    }
}

TEST_P(GzipGoodTest, RealSizeKeepsThePosition) {
    std::string first = readAt(-1, 1000);
    std::uint32_t rest = file->realSize();
    // A plain file answers its whole size, a gzip file what is left to decode.
    EXPECT_EQ(rest, GetParam().compressed ? reference.size() - first.size() : reference.size());
    EXPECT_EQ(readAt(-1, 500), expected(first.size(), 500));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, GzipGoodTest, ::testing::ValuesIn(goodCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

class GzipSourceKindTest : public FileFixture {};

TEST_F(GzipSourceKindTest, KindChoosesTheSource) {
    const std::pair<std::uint32_t, const char*> kinds[] = {{0, "FAT"}, {1, "UFS"}, {2, "HTTP"}, {7, "UFS"}};
    for (const auto& [kind, name] : kinds) {
        consolePage.text.clear();
        GzipFileManager file(&console, kind);
        EXPECT_EQ(utf8(consolePage.text).substr(0, 13 + std::strlen(name) + 1),
                  std::string("FileManager: ") + name + "\n") << kind;
    }
}

TEST_F(GzipSourceKindTest, WithoutASourceEveryOperationFails) {
    GzipFileManager file(&console, std::unique_ptr<FileManager>());
    EXPECT_FALSE(file.setRoot(u"\\Storage Card\\"));
    EXPECT_FALSE(file.open(u"content", 3));
    char byte;
    EXPECT_EQ(file.read(&byte, 1, 0), -1);
    EXPECT_EQ(file.realSize(), 0xFFFFFFFFu);
    EXPECT_FALSE(file.seek(0));
    EXPECT_EQ(file.close(), 0);
}

}  // namespace
