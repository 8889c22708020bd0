// Damaged gzip files: no read hands back their bytes as good ones, and the sizes
// they would give are refused.
#include <string>

#include "tests/file/FileFixture.h"

namespace {

constexpr std::uint32_t unknownSize = 0xFFFFFFFF;

struct DamageCase {
    const char* name;
    const char* make;  // writes the card's file "f", good until patched
    long at;           // byte to change, from the end when negative
    unsigned char mask;
    // Damage inside stored data changes bytes that only the trailer can tell apart;
    // elsewhere every byte delivered is a byte of the content.
    bool contentKept = true;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

const DamageCase damageCases[] = {
    {"WrongCrc", "gzip -c $CONTENT > f", -8, 0x01},
    {"WrongLength", "gzip -c $CONTENT > f", -4, 0x01},
    {"MethodNot8", "gzip -c $CONTENT > f", 2, 0x0f},
    {"ReservedFlag", "gzip -c $CONTENT > f", 3, 0x20},
    {"CorruptDeflateData", "gzip -c $CONTENT > f", 5000, 0x55, false},
    {"WrongCrcInSecondMember", "gzip -c $CONTENT > f; gzip -c $OTHER >> f", -8, 0x01},
    {"HeaderCutAfterMagic", "gzip -c $OTHER > f; printf '\\037\\213' >> f", 0, 0},
};

class GzipDamageTest : public FileFixture, public ::testing::WithParamInterface<DamageCase> {
protected:
    void SetUp() override {
        const DamageCase& c = GetParam();
        ASSERT_EQ(shell(c.make).exitCode, 0);
        reference = gunzip("f");
        std::string bytes = cardFile("f");
        std::size_t at = c.at < 0 ? bytes.size() - static_cast<std::size_t>(-c.at) : static_cast<std::size_t>(c.at);
        bytes[at] = static_cast<char>(bytes[at] ^ c.mask);
        writeCardFile("f", bytes);
    }

    std::string reference;  // the content before the damage
};

TEST_P(GzipDamageTest, RealSizeIsRefused) {
    auto file = openGzip("f");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->realSize(), unknownSize);
}

TEST_P(GzipDamageTest, ReadsStopAtTheDamageAndStayFailed) {
    auto file = openGzip("f");
    ASSERT_NE(file, nullptr);
    std::int32_t last = 0;
    std::string delivered = readToEnd(*file, 997, &last);
    EXPECT_EQ(last, -1);
    EXPECT_LT(delivered.size(), reference.size());
    if (GetParam().contentKept) {
        EXPECT_EQ(delivered, reference.substr(0, delivered.size()));
    }

    char byte;
    EXPECT_EQ(file->read(&byte, 1, -1), -1);
    EXPECT_EQ(file->read(&byte, 1, static_cast<std::int32_t>(delivered.size() + 5000)), -1);
    // Going back decodes again from the start, up to the damage.
    std::string again(10, '\0');
    std::int32_t expected = delivered.size() >= again.size() ? static_cast<std::int32_t>(again.size()) : -1;
    ASSERT_EQ(file->read(again.data(), static_cast<std::uint32_t>(again.size()), 0), expected);
    if (expected < 0) return;
    EXPECT_EQ(again, reference.substr(0, again.size()));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, GzipDamageTest, ::testing::ValuesIn(damageCases),
                         [](const auto& info) { return std::string(info.param.name); });

class GzipTruncationTest : public FileFixture {};

// Every cut of a two-member file, through both headers (all fields set in the first),
// both bodies and both trailers. Cut at the boundary the file is whole again; one
// byte on, the lone 0x1f is plain data; anywhere else it is damaged.
TEST_F(GzipTruncationTest, EveryCutIsDamageOrAWholeFile) {
    ASSERT_EQ(shell("$CRAFT --extra 20 --name korvel --comment c --hcrc < $OTHER > f; gzip -c -n $OTHER > g").exitCode, 0);
    std::string first = cardFile("f");
    std::string whole = first + cardFile("g");
    writeCardFile("f", whole);
    std::string reference = gunzip("f");

    for (std::size_t cut = 2; cut < whole.size(); ++cut) {
        writeCardFile("cut", whole.substr(0, cut));
        auto file = openGzip("cut");
        ASSERT_NE(file, nullptr);
        std::string content = reference.substr(0, reference.size() / 2);
        bool boundary = cut == first.size();
        bool loneMagic = cut == first.size() + 1;
        std::uint32_t size = file->realSize();
        std::int32_t last = 0;
        std::string delivered = readToEnd(*file, 100, &last);
        if (boundary || loneMagic) {
            std::string expected = loneMagic ? content + '\x1f' : content;
            EXPECT_EQ(size, expected.size()) << "cut " << cut;
            EXPECT_EQ(delivered, expected) << "cut " << cut;
            continue;
        }
        EXPECT_EQ(size, unknownSize) << "cut " << cut;
        EXPECT_EQ(last, -1) << "cut " << cut;
        EXPECT_EQ(delivered, reference.substr(0, delivered.size())) << "cut " << cut;
    }
}

}  // namespace
