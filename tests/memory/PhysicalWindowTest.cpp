// Mapping physical ranges into the program: register windows and single words.
#include <memory>

#include "platform/devices.h"
#include "platform/memory.h"
#include "tests/support/PagePoolTest.h"

namespace {

class PhysicalWindowTest : public PagePoolTest {
protected:
    PhysicalWindowTest() : PagePoolTest("ws003sh") {}
};

class CountingDevice : public sandbox::DeviceModel {
public:
    std::uint32_t readRegister(std::uint32_t offset, unsigned) override { return 0x1000 + offset; }
    void writeRegister(std::uint32_t, std::uint32_t, unsigned) override {}
};

TEST_F(PhysicalWindowTest, EightBytesAcrossAPageBoundaryMapTwoPages) {
    ASSERT_TRUE(machine.memory.write(0xA0000FFC, "\x01\x00\x00\x00\x02\x00\x00\x00", 8));
    auto* at = static_cast<std::uint8_t*>(memoryManager->mapPhysical(0xA0000FFC, 8, platform::pageReadWrite));
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(at) & 0xFFF, 0xFFCu);
    EXPECT_EQ(platform::readRegister32(at), 1u);
    EXPECT_EQ(platform::readRegister32(at + 4), 2u);
    EXPECT_EQ(machine.memory.blockCount(), 1u);
    memoryManager->unmap(at);
    EXPECT_EQ(machine.memory.blockCount(), 0u);
    EXPECT_EQ(takeText(), "");
}

TEST_F(PhysicalWindowTest, FailedMappingsReportTheAddressAndKeepNothingReserved) {
    machine.memory.mapFails = true;
    EXPECT_EQ(memoryManager->mapPhysical(0x40E00000, 0x1000, platform::pageReadWrite), nullptr);
    EXPECT_EQ(takeText(), "can't map physical address 0x40e00000\n");
    EXPECT_EQ(machine.memory.blockCount(), 0u);
    machine.memory.mapFails = false;
    // A range that would run past 4 GiB is not wrapped into a small one.
    EXPECT_EQ(memoryManager->mapPhysical(0xFFFFFFF0, 0x20, platform::pageReadWrite), nullptr);
    EXPECT_EQ(takeText(), "can't map physical address 0xfffffff0\n");
    EXPECT_NE(memoryManager->mapPhysical(0xFFFFF000, 0x1000, platform::pageReadWrite), nullptr);
}

TEST_F(PhysicalWindowTest, UnmapOfAnUnknownPointerSaysSo) {
    int local = 0;
    memoryManager->unmap(&local);
    EXPECT_EQ(takeText(), "can't release memory\n");
}

TEST_F(PhysicalWindowTest, ReadPhysicalWordFromRamAndFromADevice) {
    ASSERT_TRUE(machine.memory.write(0xA0200010, "\x78\x56\x34\x12", 4));
    EXPECT_EQ(memoryManager->readPhysicalWord(0xA0200010), 0x12345678u);
    machine.memory.attachDevice(0x44000000, 0x1000, std::make_shared<CountingDevice>());
    EXPECT_EQ(memoryManager->readPhysicalWord(0x44000200), 0x1200u);
    EXPECT_EQ(machine.memory.blockCount(), 0u);
    EXPECT_EQ(takeText(), "");
}

TEST_F(PhysicalWindowTest, ReadPhysicalWordOnAFailedMappingGivesAllOnes) {
    machine.memory.mapFails = true;
    EXPECT_EQ(memoryManager->readPhysicalWord(0xA0200010), 0xFFFFFFFFu);
    EXPECT_EQ(takeText(), "can't map physical address 0xa0200010\n");
    EXPECT_EQ(machine.memory.blockCount(), 0u);
}

}  // namespace
