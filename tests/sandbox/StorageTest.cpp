#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/queries.h"
#include "tests/support/SandboxTest.h"

namespace {

class Storage : public SandboxTest {
protected:
    std::string readAll(const char16_t* path) {
        platform::Handle file = platform::createFile(path, platform::genericRead, 0, platform::openExisting, platform::attributeNormal);
        if (file == platform::invalidHandle) return "<error " + std::to_string(platform::getLastError()) + ">";
        char buffer[256];
        std::uint32_t got = 0;
        platform::readFile(file, buffer, sizeof buffer, &got);
        platform::closeHandle(file);
        return std::string(buffer, got);
    }
};

TEST_F(Storage, PathsMapOntoTheStorageRoot) {
    addStorageCard("Storage Card");
    storage.write("Storage Card/korvel.gz", "kernel");
    EXPECT_EQ(readAll(u"\\Storage Card\\korvel.gz"), "kernel");
    EXPECT_EQ(readAll(u"\\storage card\\KORVEL.GZ"), "kernel");  // names are matched without case
    EXPECT_EQ(readAll(u"/Storage Card/korvel.gz"), "kernel");
    EXPECT_EQ(readAll(u"\\Storage Cardkorvel.gz"), "<error 2>");
}

TEST_F(Storage, CardsNamedInKatakanaAreFound) {
    addStorageCard("\xEF\xBE\x92\xEF\xBE\x93\xEF\xBE\x98 \xEF\xBD\xB6\xEF\xBD\xB0\xEF\xBE\x84\xEF\xBE\x9E");  // ﾒﾓﾘ ｶｰﾄﾞ
    storage.write("\xEF\xBE\x92\xEF\xBE\x93\xEF\xBE\x98 \xEF\xBD\xB6\xEF\xBD\xB0\xEF\xBE\x84\xEF\xBE\x9E/korvel.gz", "kernel");
    EXPECT_EQ(readAll(u"\\\uFF92\uFF93\uFF98 \uFF76\uFF70\uFF84\uFF9E\\korvel.gz"), "kernel");
}

TEST_F(Storage, PathsCannotLeaveTheStorageRoot) {
    storage.write("inside", "x");
    EXPECT_EQ(readAll(u"\\..\\inside"), "<error 3>");
    EXPECT_EQ(readAll(u"\\Storage Card\\..\\..\\etc\\passwd"), "<error 3>");
}

TEST_F(Storage, RootEnumerationMarksStorageCards) {
    addStorageCard("Storage Card");
    std::filesystem::create_directories(storage.path() / "My Documents");
    storage.write("readme.txt", "x");
    platform::FindData entry{};
    platform::Handle search = platform::findFirstFile(u"\\*.*", &entry);
    ASSERT_NE(search, platform::invalidHandle);
    std::vector<std::pair<std::string, std::uint32_t>> seen;
    do seen.emplace_back(utf8(entry.name), entry.attributes);
    while (platform::findNextFile(search, &entry));
    EXPECT_TRUE(platform::findClose(search));
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, std::uint32_t>>{
                        {"My Documents", 0x10}, {"Storage Card", 0x110}, {"readme.txt", 0x80}}));
}

TEST_F(Storage, ClosedHandlesAreRefused) {
    storage.write("f", "x");
    platform::Handle file = platform::createFile(u"\\f", platform::genericRead, 0, platform::openExisting, 0);
    ASSERT_TRUE(platform::closeHandle(file));
    std::uint32_t got = 7;
    char c;
    EXPECT_FALSE(platform::readFile(file, &c, 1, &got));
    EXPECT_EQ(got, 0u);
    EXPECT_FALSE(platform::closeHandle(file));
    EXPECT_EQ(platform::getFileSize(file), platform::invalidFileSize);
}

TEST_F(Storage, FileCallsFailOnceTheirBudgetIsSpent) {
    storage.write("f", "old");
    machine.fileCallsLeft = 2;
    platform::Handle file = platform::createFile(u"\\f", platform::genericWrite, 0, platform::createAlways, 0);
    ASSERT_NE(file, platform::invalidHandle);
    std::uint32_t written = 0;
    EXPECT_TRUE(platform::writeFile(file, "ne", 2, &written));
    EXPECT_FALSE(platform::writeFile(file, "w", 1, &written));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(platform::getLastError(), platform::errorNotReady);
    EXPECT_FALSE(platform::closeHandle(file));
    EXPECT_FALSE(platform::deleteFile(u"\\f"));
    EXPECT_FALSE(platform::replaceFile(u"\\g", u"\\f"));
    EXPECT_EQ(storage.read("f"), "ne");  // what was written before the stop stays, nothing after

    machine.fileCallsLeft.reset();
    EXPECT_TRUE(platform::closeHandle(file));
}

TEST_F(Storage, AFullCardTakesTheBytesThatFitAndRefusesTheRest) {
    machine.storageSpace = 3;
    platform::Handle file = platform::createFile(u"\\f", platform::genericWrite, 0, platform::createAlways, 0);
    std::uint32_t written = 0;
    EXPECT_TRUE(platform::writeFile(file, "ab", 2, &written));
    EXPECT_FALSE(platform::writeFile(file, "cde", 3, &written));
    EXPECT_EQ(written, 1u);
    EXPECT_EQ(platform::getLastError(), platform::errorDiskFull);
    EXPECT_TRUE(platform::closeHandle(file));
    EXPECT_EQ(storage.read("f"), "abc");
}

TEST_F(Storage, QueriesAnswerFromTheMachine) {
    platform::VersionRecord version{};
    ASSERT_TRUE(platform::getVersion(&version));
    EXPECT_EQ(version.majorVersion, 4u);
    EXPECT_EQ(version.minorVersion, 20u);
    machine.timeZone = {-540, 0, -60};
    machine.timeZoneState = platform::timeZoneDaylight;
    platform::TimeZoneInfo zone{};
    EXPECT_EQ(platform::getTimeZoneInformation(&zone), platform::timeZoneDaylight);
    EXPECT_EQ(zone.bias, -540);
    EXPECT_EQ(zone.daylightBias, -60);
    EXPECT_EQ(platform::displayCapability(platform::DisplayCapability::width), 240);
    EXPECT_EQ(platform::displayCapability(platform::DisplayCapability::height), 320);
}

TEST_F(Storage, MemoryFilesHideHostFilesAndCannotBeWritten) {
    addStorageCard("Storage Card");
    storage.write("Storage Card/tembrel.cnf", "on the card");
    machine.memoryFiles[u"\\Storage Card\\tembrel.cnf"] =
        std::make_shared<const std::vector<std::uint8_t>>(std::vector<std::uint8_t>{'h', 'e', 'l', 'd'});
    EXPECT_EQ(readAll(u"\\Storage Card\\tembrel.cnf"), "held");

    platform::Handle file = platform::createFile(u"\\Storage Card\\tembrel.cnf", platform::genericWrite, 0,
                                                 platform::createAlways, 0);
    ASSERT_NE(file, platform::invalidHandle);
    std::uint32_t count = 7;
    EXPECT_FALSE(platform::writeFile(file, "x", 1, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(platform::getFileSize(file), 4u);
    // Seeks as on a host file: past the end reads nothing, before the start is refused.
    EXPECT_EQ(platform::setFilePointer(file, -2, platform::fromEnd), 2u);
    char tail[4] = {};
    ASSERT_TRUE(platform::readFile(file, tail, sizeof tail, &count));
    EXPECT_EQ(std::string(tail, count), "ld");
    EXPECT_EQ(platform::setFilePointer(file, 10, platform::fromBeginning), 10u);
    ASSERT_TRUE(platform::readFile(file, tail, sizeof tail, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(platform::setFilePointer(file, -11, platform::fromCurrent), platform::invalidFileSize);
    EXPECT_TRUE(platform::closeHandle(file));
}

}  // namespace
