#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>

#include "boot/BootMenu.h"
#include "tests/support/SandboxTest.h"

namespace {

const std::string headerBytes("\x53\x57\x7D\x17\x02\x01\x00\x00\x68\x08\x00\x00", 12);

std::string recordBytes(const Preferences& p) { return std::string(reinterpret_cast<const char*>(&p), sizeof p); }

/// A stored record with the given header words and a recognisable kernel name.
std::string storedRecord(std::uint32_t version, std::uint32_t size, std::u16string name = u"stored.gz") {
    Preferences p{};
    BootMenu::setDefaults(p);
    p.version = version;
    p.recordSize = size;
    p.serialSpeed = 115200;
    setRecordText(p.kernelName, name);
    return recordBytes(p);
}

class ConfigFile : public SandboxTest {
protected:
    const Preferences& loaded() { return BootMenu::instance()->preferences; }
};

TEST_F(ConfigFile, FreshCardStartsWithDefaultsAndTheFirstSaveWritesTheRecord) {
    addStorageCard("Storage Card");
    const Preferences& p = loaded();
    EXPECT_EQ(utf8(recordText(p.rootImageName)), "miniroot.fs");
    EXPECT_EQ(p.serialSpeed, 19200u);
    EXPECT_EQ(p.pauseBeforeBoot, 1u);
    EXPECT_EQ(p.safetyMessage, 1u);
    EXPECT_EQ(p.rootDevice, 0u);
    EXPECT_EQ(p.version, 258u);
    EXPECT_EQ(p.recordSize, 2152u);

    ASSERT_TRUE(BootMenu::instance()->savePreferences());
    std::string file = storage.read("Storage Card/tembrel.cnf");
    ASSERT_EQ(file.size(), 2152u);
    EXPECT_EQ(file.substr(0, 12), headerBytes);
    EXPECT_EQ(file, recordBytes(p));
    EXPECT_FALSE(std::filesystem::exists(storage.path() / "Storage Card" / "tembrel.new"));
}

TEST_F(ConfigFile, StoredRecordLoadsWhateverItsVersion) {
    addStorageCard("Storage Card");
    storage.write("Storage Card/tembrel.cnf", storedRecord(1, 2152));
    EXPECT_EQ(utf8(recordText(loaded().kernelName)), "stored.gz");
    EXPECT_EQ(loaded().serialSpeed, 115200u);
    EXPECT_EQ(loaded().version, 258u);
    ASSERT_TRUE(BootMenu::instance()->savePreferences());
    EXPECT_EQ(storage.read("Storage Card/tembrel.cnf").substr(4, 4), std::string("\x02\x01\x00\x00", 4));
}

TEST_F(ConfigFile, RejectedFilesGiveTheDefaults) {
    std::string wrongMagic = storedRecord(258, 2152);
    wrongMagic[0] = 'X';
    const std::pair<const char*, std::string> cases[] = {
        {"wrong magic", wrongMagic},
        {"shorter than the header", headerBytes.substr(0, 11)},
        {"empty", ""},
        {"cut off before its stored size", storedRecord(258, 2152).substr(0, 600)},
        {"one byte short of its stored size", storedRecord(258, 2152).substr(0, 2151)},
    };
    for (const auto& [what, bytes] : cases) {
        BootMenu::destroyInstance();
        machine.storageCards.clear();
        addStorageCard("Storage Card");
        storage.write("Storage Card/tembrel.cnf", bytes);
        EXPECT_EQ(loaded().serialSpeed, 19200u) << what;
        EXPECT_TRUE(recordText(loaded().kernelName).empty()) << what;
    }
}

TEST_F(ConfigFile, StoredSizeBeyondTheRecordReadsOnlyTheRecord) {
    addStorageCard("Storage Card");
    std::string bytes = storedRecord(258, 0xFFFFFFFF) + std::string(4096, '\x7F');
    storage.write("Storage Card/tembrel.cnf", bytes);
    const Preferences& p = loaded();
    EXPECT_EQ(utf8(recordText(p.kernelName)), "stored.gz");
    EXPECT_EQ(p.recordSize, 2152u);
    ASSERT_TRUE(BootMenu::instance()->savePreferences());
    EXPECT_EQ(storage.read("Storage Card/tembrel.cnf").size(), 2152u);
}

TEST_F(ConfigFile, FieldsBeyondAShortRecordKeepTheirDefaults) {
    addStorageCard("Storage Card");
    std::string bytes = storedRecord(258, 1064);  // up to and without cpuCode
    storage.write("Storage Card/tembrel.cnf", bytes.substr(0, 1064));
    const Preferences& p = loaded();
    EXPECT_EQ(utf8(recordText(p.kernelName)), "stored.gz");
    EXPECT_EQ(p.serialSpeed, 19200u);
    EXPECT_EQ(utf8(recordText(p.rootImageName)), "miniroot.fs");
}

TEST_F(ConfigFile, AWholeStagedRecordStandsInOnlyWhenTheRecordFileHasNone) {
    std::string wrongMagic = storedRecord(258, 2152, u"foreign");
    wrongMagic[0] = 'X';
    struct Case {
        const char* what;
        std::optional<std::string> recordFile;
        std::string stagingFile;
        std::string kernelName;
    };
    const Case cases[] = {
        {"no record file", std::nullopt, storedRecord(258, 2152, u"staged"), "staged"},
        {"a foreign record file", wrongMagic, storedRecord(258, 2152, u"staged"), "staged"},
        {"a whole record file", storedRecord(258, 2152, u"stored"), storedRecord(258, 2152, u"staged"), "stored"},
        {"a torn staging file", std::nullopt, storedRecord(258, 2152, u"staged").substr(0, 2000), ""},
    };
    for (const Case& c : cases) {
        BootMenu::destroyInstance();
        machine.storageCards.clear();
        std::filesystem::remove_all(storage.path() / "Storage Card");
        addStorageCard("Storage Card");
        if (c.recordFile) storage.write("Storage Card/tembrel.cnf", *c.recordFile);
        storage.write("Storage Card/tembrel.new", c.stagingFile);
        EXPECT_EQ(utf8(recordText(loaded().kernelName)), c.kernelName) << c.what;
    }
}

TEST_F(ConfigFile, TheFirstCardInEnumerationOrderHoldsTheFile) {
    std::filesystem::create_directories(storage.path() / "A plain folder");
    storage.write("A file", "x");
    addStorageCard("Card B");
    addStorageCard("Card A");
    storage.write("Card B/tembrel.cnf", storedRecord(258, 2152, u"from-b"));
    storage.write("Card A/tembrel.cnf", storedRecord(258, 2152, u"from-a"));
    EXPECT_EQ(utf8(recordText(loaded().kernelName)), "from-a");
    ASSERT_TRUE(BootMenu::instance()->savePreferences());
    EXPECT_EQ(storage.read("Card B/tembrel.cnf"), storedRecord(258, 2152, u"from-b"));
}

TEST_F(ConfigFile, WithoutACardNothingIsReadOrKept) {
    std::filesystem::create_directories(storage.path() / "Storage Card");  // a folder, not a card
    storage.write("Storage Card/tembrel.cnf", storedRecord(258, 2152));
    EXPECT_TRUE(recordText(loaded().kernelName).empty());
    EXPECT_FALSE(BootMenu::instance()->savePreferences());
}

TEST_F(ConfigFile, TheFileIsReadOnceWhenTheMenuIsCreated) {
    addStorageCard("Storage Card");
    storage.write("Storage Card/tembrel.cnf", storedRecord(258, 2152, u"first"));
    EXPECT_EQ(utf8(recordText(loaded().kernelName)), "first");
    storage.write("Storage Card/tembrel.cnf", storedRecord(258, 2152, u"second"));
    EXPECT_EQ(utf8(recordText(loaded().kernelName)), "first");
}

}  // namespace
