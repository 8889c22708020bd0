// Physical windows mapped with VirtualCopy, and what register accesses through them
// reach.
#include <memory>
#include <vector>

#include "platform/devices.h"
#include "platform/memory.h"
#include "tests/support/SandboxTest.h"

namespace {

constexpr std::uint32_t physicalFlags = platform::pagePhysical | platform::pageNoCache | platform::pageReadWrite;

struct Access {
    bool write;
    std::uint32_t offset;
    std::uint32_t value;
    unsigned width;
    bool operator==(const Access&) const = default;
};

class RecordingDevice : public sandbox::DeviceModel {
public:
    std::uint32_t readRegister(std::uint32_t offset, unsigned width) override {
        accesses.push_back({false, offset, 0, width});
        return 0x40 + offset;
    }
    void writeRegister(std::uint32_t offset, std::uint32_t value, unsigned width) override {
        accesses.push_back({true, offset, value, width});
    }
    std::vector<Access> accesses;
};

class RegisterAccessTest : public SandboxTest {
protected:
    RegisterAccessTest() : SandboxTest("ws003sh") {}

    std::uint8_t* window(std::uint32_t physical, std::uint32_t size) {
        void* reserved = platform::virtualAlloc(nullptr, size, platform::memReserve, platform::pageNoAccess);
        if (reserved == nullptr || !platform::virtualCopy(reserved, physical >> 8, size, physicalFlags)) return nullptr;
        return static_cast<std::uint8_t*>(reserved);
    }
};

TEST_F(RegisterAccessTest, RamWindowReachesTheFrames) {
    std::uint8_t* ram = window(0xA0100000, 0x2000);
    ASSERT_NE(ram, nullptr);
    ASSERT_TRUE(machine.memory.write(0xA0100FFC, "\x11\x22\x33\x44\x55\x66\x77\x88", 8));
    EXPECT_EQ(platform::readRegister32(ram + 0xFFC), 0x44332211u);
    EXPECT_EQ(platform::readRegister32(ram + 0x1000), 0x88776655u);
    platform::writeRegister8(ram + 0x1FFF, 0x5A);
    platform::writeRegister32(ram, 0xCAFEF00D);
    EXPECT_EQ(machine.memory.readWord(0xA0101FFC).value() >> 24, 0x5Au);
    EXPECT_EQ(machine.memory.readWord(0xA0100000), 0xCAFEF00Du);
    EXPECT_EQ(platform::readRegister8(ram + 3), 0xCAu);
}

TEST_F(RegisterAccessTest, DeviceWindowReachesTheModelWithOffsets) {
    auto device = std::make_shared<RecordingDevice>();
    machine.memory.attachDevice(0x40E00000, 0x1000, device);
    std::uint8_t* gpio = window(0x40E00000, 0x1000);
    ASSERT_NE(gpio, nullptr);
    EXPECT_EQ(platform::readRegister32(gpio + 0x10C), 0x14Cu);
    platform::writeRegister8(gpio + 0x54, 0x03);
    platform::writeRegister32(gpio + 0x100, 0xFFFFFFFF);
    EXPECT_EQ(device->accesses, (std::vector<Access>{{false, 0x10C, 0, 4}, {true, 0x54, 3, 1}, {true, 0x100, 0xFFFFFFFF, 4}}));
}

TEST_F(RegisterAccessTest, VirtualCopyRefusesWhatThePlatformRefuses) {
    void* reserved = platform::virtualAlloc(nullptr, 0x2000, platform::memReserve, platform::pageNoAccess);
    ASSERT_NE(reserved, nullptr);
    auto* at = static_cast<std::uint8_t*>(reserved);
    EXPECT_FALSE(platform::virtualCopy(at, 0xA0100000 >> 8, 0x1000, platform::pageReadWrite));  // not physical
    EXPECT_FALSE(platform::virtualCopy(at + 4, 0xA0100000 >> 8, 0x1000, physicalFlags));        // unaligned
    EXPECT_FALSE(platform::virtualCopy(at, 0xA0100800 >> 8, 0x1000, physicalFlags));
    EXPECT_FALSE(platform::virtualCopy(at, 0xA0100000 >> 8, 0x20000, physicalFlags));  // past the block
    void* block = platform::virtualAlloc(nullptr, 0x1000, platform::memCommit, 0x204);
    EXPECT_FALSE(platform::virtualCopy(block, 0xA0100000 >> 8, 0x1000, physicalFlags));  // committed, not reserved
    machine.memory.mapFails = true;
    EXPECT_FALSE(platform::virtualCopy(at, 0xA0100000 >> 8, 0x1000, physicalFlags));
    machine.memory.mapFails = false;
    EXPECT_TRUE(platform::virtualCopy(at, 0xA0100000 >> 8, 0x1000, physicalFlags));
}

TEST_F(RegisterAccessTest, PlainHostMemoryIsAnOrdinaryAccess) {
    std::uint32_t word = 0x01020304;
    EXPECT_EQ(platform::readRegister32(&word), 0x01020304u);
    platform::writeRegister8(&word, 0xFF);
    EXPECT_EQ(word, 0x010203FFu);
}

TEST_F(RegisterAccessTest, AccessWhereNothingIsMappedStopsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    void* reserved = platform::virtualAlloc(nullptr, 0x1000, platform::memReserve, platform::pageNoAccess);
    EXPECT_DEATH(platform::readRegister32(reserved), "nothing is mapped");
}

}  // namespace
