// Saves cut short by the process ending or the card filling up: the card must hold
// the previous record or the new one, whole, and the next start must load it.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "boot/BootMenu.h"
#include "tests/support/SandboxTest.h"

namespace {

std::string recordBytes(const Preferences& p) { return std::string(reinterpret_cast<const char*>(&p), sizeof p); }

class ConfigFileFault : public SandboxTest {
protected:
    ConfigFileFault() { addStorageCard("Storage Card"); }

    /// Starts the application on a card that holds `previous` (or no record) and
    /// changes the settings; returns the record loaded at start.
    std::string start(const std::optional<std::string>& previous) {
        BootMenu::destroyInstance();
        std::filesystem::remove(storage.path() / "Storage Card" / "tembrel.cnf");
        std::filesystem::remove(storage.path() / "Storage Card" / "tembrel.new");
        if (previous) storage.write("Storage Card/tembrel.cnf", *previous);
        Preferences& p = BootMenu::instance()->preferences;
        std::string loaded = recordBytes(p);
        setRecordText(p.kernelName, u"changed.gz");
        p.serialSpeed = 57600;
        return loaded;
    }

    /// Ends the process as a crash would (its handles go with it) and starts anew;
    /// returns the record the new start loaded.
    std::string restart() {
        machine.fileCallsLeft.reset();
        machine.storageSpace.reset();
        machine.handles.clear();
        BootMenu::destroyInstance();
        return recordBytes(BootMenu::instance()->preferences);
    }

    std::string onCard(const char* leaf) { return storage.read(std::string("Storage Card/") + leaf); }
    bool exists(const char* leaf) { return std::filesystem::exists(storage.path() / "Storage Card" / leaf); }

    /// A record as an earlier run saved it.
    static std::string earlierRecord() {
        Preferences p{};
        BootMenu::setDefaults(p);
        p.version = Preferences::currentVersion;
        p.recordSize = Preferences::recordBytes;
        setRecordText(p.kernelName, u"earlier.gz");
        return recordBytes(p);
    }
};

TEST_F(ConfigFileFault, SaveStoppedAfterAnyFileCallLeavesAWholeRecord) {
    struct Case {
        const char* what;
        std::optional<std::string> previous;
        std::optional<std::uint64_t> space;  // room on the card; a cut-off write when short
    };
    const Case cases[] = {
        {"fresh card", std::nullopt, std::nullopt},
        {"card with a record", earlierRecord(), std::nullopt},
        {"fresh card that fills up", std::nullopt, 1000},
        {"card with a record that fills up", earlierRecord(), 1000},
    };
    for (const Case& c : cases) {
        // Every budget of file calls up to the one the save does not use up.
        for (std::uint64_t calls = 0;; ++calls) {
            ASSERT_LT(calls, 100u) << c.what;
            std::string old = start(c.previous);
            std::string wanted = recordBytes(BootMenu::instance()->preferences);
            machine.storageSpace = c.space;
            machine.fileCallsLeft = calls;
            bool saved = BootMenu::instance()->savePreferences();
            bool finished = *machine.fileCallsLeft > 0;

            std::string record = onCard("tembrel.cnf");
            std::string next = restart();
            SCOPED_TRACE(std::string(c.what) + ", after " + std::to_string(calls) + " file calls");
            EXPECT_EQ(record, saved ? wanted : c.previous.value_or(""));
            // After a stopped save the new record may be whole in the staging file.
            if (saved) {
                EXPECT_EQ(next, wanted);
            } else {
                EXPECT_TRUE(next == old || next == wanted);
            }
            if (finished) {
                EXPECT_EQ(saved, !c.space.has_value());
                EXPECT_FALSE(exists("tembrel.new"));
                break;
            }
        }
    }
}

TEST_F(ConfigFileFault, SaveOnACardThatFillsUpAtAnyByteCountKeepsTheOldRecordOrWritesTheNew) {
    std::string previous = earlierRecord();
    for (std::uint64_t space = 0; space <= Preferences::recordBytes + 1; ++space) {
        std::string old = start(previous);
        std::string wanted = recordBytes(BootMenu::instance()->preferences);
        machine.storageSpace = space;
        bool saved = BootMenu::instance()->savePreferences();

        SCOPED_TRACE("room for " + std::to_string(space) + " bytes");
        EXPECT_EQ(saved, space >= Preferences::recordBytes);
        EXPECT_EQ(onCard("tembrel.cnf"), saved ? wanted : previous);
        EXPECT_FALSE(exists("tembrel.new"));
        EXPECT_EQ(restart(), saved ? wanted : old);
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
