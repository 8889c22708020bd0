// The PXA2x0 dump of the GPIO and LCD controller registers.
#include <gtest/gtest.h>

#include <map>

#include "arch/Pxa27xPins.h"
#include "arch/Pxa2x0Architecture.h"
#include "tests/arch/BackEndTest.h"

namespace {

/// Registers that read what the test put there.
class FixedRegisters : public sandbox::DeviceModel {
public:
    explicit FixedRegisters(std::map<std::uint32_t, std::uint32_t> values) : values(std::move(values)) {}
    std::uint32_t readRegister(std::uint32_t offset, unsigned) override {
        auto it = values.find(offset);
        return it == values.end() ? 0 : it->second;
    }
    void writeRegister(std::uint32_t, std::uint32_t, unsigned) override {}

private:
    std::map<std::uint32_t, std::uint32_t> values;
};

class Pxa2x0Dump : public BackEndTest {
protected:
    Pxa2x0Dump() : BackEndTest("ws003sh") {}

    std::vector<std::string> dump() {
        makeBackEnd()->dumpPeripheralRegisters();
        return lines(takeText());
    }
    void gpio(std::map<std::uint32_t, std::uint32_t> values) {
        machine.memory.attachDevice(0x40E00000, 0x1000, std::make_shared<FixedRegisters>(std::move(values)));
    }
    void lcd(std::map<std::uint32_t, std::uint32_t> values) {
        machine.memory.attachDevice(0x44000000, 0x1000, std::make_shared<FixedRegisters>(std::move(values)));
    }
    /// The line that starts with `prefix`, or empty.
    static std::string line(const std::vector<std::string>& text, const std::string& prefix) {
        for (const std::string& l : text) {
            if (l.starts_with(prefix)) return l;
        }
        return "";
    }
};

TEST_F(Pxa2x0Dump, InitEndsWithTheWholeDumpInOrder) {
    auto backEnd = makeBackEnd();
    ASSERT_TRUE(backEnd->init());
    std::vector<std::string> text = lines(takeText());
    // Four bank lines, the cache size, then the dump.
    ASSERT_GT(text.size(), 6u);
    EXPECT_EQ(text[4], "D-cache size = 65536\n");
    EXPECT_EQ(text[5], "Dump peripheral registers.\n");
    EXPECT_EQ(text[6], "Dump GPIO registers.\n");
    const char* names[] = {"GPLR", "GPDR", "GRER", "GFER", "GEDR"};
    std::size_t at = 7;
    for (const char* name : names) {
        for (int n = 0; n < 4; ++n) EXPECT_TRUE(text[at++].starts_with(name + std::to_string(n) + ": 0x")) << at;
    }
    for (int n = 0; n < 4; ++n) {
        EXPECT_TRUE(text[at++].starts_with("GAFR" + std::to_string(n) + "_L: 0x"));
        EXPECT_TRUE(text[at++].starts_with("GAFR" + std::to_string(n) + "_U: 0x"));
    }
    EXPECT_EQ(at, 7u + 28u);
    EXPECT_EQ(text[at++], "pin#,function,name,rising,falling,status\n");
    for (std::uint32_t pin = 0; pin < 121; ++pin) EXPECT_TRUE(text[at++].starts_with(std::to_string(pin) + ",")) << pin;
    EXPECT_EQ(text[at++], "Dump LCDC registers.\n");
    const char* lcdLines[] = {"LCCR0: 0x", "-> ",      "-> PDD",   "LCCR1: 0x", "-> BLW",   "LCCR2: 0x",
                              "-> BFW",    "LCCR3: 0x", "-> ",      "-> PDFOR", "-> BPP",   "-> API",
                              "-> ACB",    "-> PCD",   "LCCR4: 0x", "-> PCDDIV", "-> PAL_FOR", "-> K3",
                              "LCCR5: 0x", "LCDBSCNTR: 0x"};
    for (const char* expected : lcdLines) EXPECT_TRUE(text[at++].starts_with(expected)) << expected;
    EXPECT_EQ(at, text.size());
}

TEST_F(Pxa2x0Dump, ReadsAsThePlatformLeftTheMachine) {
    std::vector<std::string> text = dump();
    // The FFUART on its pins, and an enabled controller for the 480x640 16-bit panel.
    EXPECT_EQ(line(text, "96,"), "96,ALT_FN_3_IN,FFRXD,disable,disable,high\n");
    EXPECT_EQ(line(text, "99,"), "99,ALT_FN_3_OUT,FFTXD,disable,disable,high\n");
    EXPECT_EQ(line(text, "58,"), "58,ALT_FN_2_OUT,LDD<0>,disable,disable,low\n");
    EXPECT_EQ(line(text, "0,"), "0,GPIO_IN,GPIO<0>,enable,enable,high\n");
    EXPECT_EQ(line(text, "LCCR0"), "LCCR0: 0x003008f9\n");
    EXPECT_EQ(line(text, "-> BLW"), "-> BLW = 0x27, ELW = 0x13, HSW = 0x03, PPL = 0x1df\n");
    EXPECT_EQ(line(text, "-> BFW"), "-> BFW = 0x07, EFW = 0x02, VSW = 0x01, LPP = 0x27f\n");
    EXPECT_EQ(line(text, "-> BPP"), "-> BPP = 0x04\n");
}

TEST_F(Pxa2x0Dump, PinLinesTakeTheirBitsFromTheirBank) {
    // Pin 33: bank 1, bit 1; its function in GAFR1_L bits 3-2.
    gpio({{0x10, 0x2}, {0x04, 0x2}, {0x34, 0x2}, {0x40, 0x0}});
    EXPECT_EQ(line(dump(), "33,"), "33,GPIO_OUT,GPIO<33>,enable,disable,high\n");
    gpio({{0x04, 0x0}, {0x10, 0x0}, {0x40, 0x2}, {0x5C, 0x1 << 2}});
    EXPECT_EQ(line(dump(), "33,"), "33,ALT_FN_1_IN,FFRXD,disable,enable,low\n");
    // Pin 120: bank 3, which lies at 0x100, and GAFR3_U.
    gpio({{0x10C, 1u << 24}, {0x70, 0x0}, {0x100, 1u << 24}});
    EXPECT_EQ(line(dump(), "120,"), "120,GPIO_OUT,GPIO<120>,disable,disable,high\n");
}

TEST_F(Pxa2x0Dump, RegisterLinesShowEachBankInTurn) {
    gpio({{0x00, 0x11111111}, {0x04, 0x22222222}, {0x08, 0x33333333}, {0x100, 0x44444444}, {0x6C, 0xAAAA5555}, {0x70, 0x12345678}});
    std::vector<std::string> text = dump();
    EXPECT_EQ(line(text, "GPLR0"), "GPLR0: 0x11111111\n");
    EXPECT_EQ(line(text, "GPLR2"), "GPLR2: 0x33333333\n");
    EXPECT_EQ(line(text, "GPLR3"), "GPLR3: 0x44444444\n");
    EXPECT_EQ(line(text, "GAFR3_L"), "GAFR3_L: 0xaaaa5555\n");
    EXPECT_EQ(line(text, "GAFR3_U"), "GAFR3_U: 0x12345678\n");
}

struct FlagCase {
    std::uint32_t offset;
    std::uint32_t value;
    const char* flags;
    friend void PrintTo(const FlagCase& c, std::ostream* out) { *out << std::hex << c.offset << "=" << c.value; }
};

class Pxa2x0DumpFlags : public Pxa2x0Dump, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(Pxa2x0DumpFlags, NameTheSetBitsInOrder) {
    lcd({{GetParam().offset, GetParam().value}});
    std::vector<std::string> text = dump();
    std::string reg = GetParam().offset == 0 ? "LCCR0" : "LCCR3";
    auto at = std::find_if(text.begin(), text.end(), [&reg](const std::string& l) { return l.starts_with(reg); });
    ASSERT_NE(at, text.end());
    EXPECT_EQ(*(at + 1), GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(Registers, Pxa2x0DumpFlags,
                         ::testing::Values(FlagCase{0x00, 0x00000001, "-> ENB\n"},
                                           FlagCase{0x00, 0x04000081, "-> LDDALT/PAS/ENB\n"},
                                           FlagCase{0x00, 0x00000000, "-> \n"},
                                           FlagCase{0x00, 0x06400286, "-> LDDALT/OUC/LCDT/DPD/PAS/SDS/CMS\n"},
                                           FlagCase{0x0C, 0x08F00000, "-> DPC/OEP/PCP/HSP/VSP\n"},
                                           FlagCase{0x0C, 0x00080000, "-> API3\n"}));

TEST_F(Pxa2x0Dump, DecodesTheLcdFields) {
    lcd({{0x00, 0x000AB000},
         {0x0C, 0x2B0A3C42 | 0x40000000},
         {0x10, 0x80008000 | (5 << 6) | (3 << 3) | 1}});
    std::vector<std::string> text = dump();
    EXPECT_EQ(line(text, "-> PDD"), "-> PDD = 0xab\n");
    EXPECT_EQ(line(text, "-> PDFOR"), "-> PDFOR = 1\n");
    // Bit 29 counts 8, bits 26-24 add 3.
    EXPECT_EQ(line(text, "-> BPP"), "-> BPP = 0x0b\n");
    EXPECT_EQ(line(text, "-> API"), "-> API = 0xa\n");
    EXPECT_EQ(line(text, "-> ACB"), "-> ACB = 0x3c\n");
    EXPECT_EQ(line(text, "-> PCD"), "-> PCD = 0x42\n");
    EXPECT_EQ(line(text, "-> PCDDIV"), "-> PCDDIV = 1\n");
    EXPECT_EQ(line(text, "-> PAL_FOR"), "-> PAL_FOR = 1\n");
    EXPECT_EQ(line(text, "-> K3"), "-> K3 = 0x5, K2 = 0x3, K1 = 0x1\n");
}

TEST_F(Pxa2x0Dump, LeavesOutWhatCannotBeMapped) {
    machine.memory.mapFails = true;
    std::vector<std::string> text = dump();
    EXPECT_EQ(text, (std::vector<std::string>{"Dump GPIO registers.\n", "can't map physical address 0x40e00000\n",
                                              "Dump LCDC registers.\n", "can't map physical address 0x44000000\n"}));
}

TEST_F(Pxa2x0Dump, UnmapsBothWindows) {
    dump();
    EXPECT_EQ(machine.memory.blockCount(), 0u);
}

struct PinRow {
    std::uint32_t pin;
    const char16_t* names[7];
};

TEST(Pxa27xPins, HoldTheTellingRows) {
    const PinRow rows[] = {
        {0, {u"GPIO<0>", u"", u"", u"", u"", u"", u""}},
        {1, {u"GPIO<1>/nRESET_GPIO", u"", u"", u"", u"", u"", u""}},
        {2, {u"SYS_EN5", u"", u"", u"", u"", u"", u""}},
        {8, {u"PWR_CAP<3>", u"", u"", u"", u"", u"", u""}},
        {9, {u"GPIO<9>", u"", u"", u"FFCTS", u"HZ_CLK", u"", u"CHOUT<0>"}},
        {11, {u"GPIO<11>", u"EXT_SYNC<0>", u"SSPRXD2", u"USB_P3_1", u"CHOUT<0>", u"PWM_OUT<2>", u"48_MHz"}},
        {58, {u"GPIO<58>", u"", u"LDD<0>", u"", u"", u"LDD<0>", u""}},
        {98, {u"GPIO<98>", u"KP_DKIN<5>", u"CIF_DD<0>", u"KP_MKIN<4>", u"AC97_SYSCLK", u"", u"FFRTS"}},
        {99, {u"GPIO<99>", u"KP_DKIN<6>", u"AC97_SDATA_IN_1", u"KP_MKIN<5>", u"", u"", u"FFTXD"}},
        {117, {u"GPIO<117>", u"SCL", u"", u"", u"SCL", u"", u""}},
        {120, {u"GPIO<120>", u"USBHPEN<2>", u"", u"", u"", u"", u""}},
    };
    for (const PinRow& row : rows) {
        const PinNames& names = pxa27xPins[row.pin];
        const char16_t* actual[7] = {names.function0, names.input[0],  names.input[1], names.input[2],
                                     names.output[0],  names.output[1], names.output[2]};
        for (int i = 0; i < 7; ++i) EXPECT_EQ(std::u16string(actual[i]), std::u16string(row.names[i])) << row.pin << " " << i;
    }
    EXPECT_EQ(std::u16string(pxa27xPins[42].function0), u"GPIO<42>");
}

}  // namespace
