// The real second-stage loader bytes, run on the emulated core, against the model of
// the walk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "memory/SecondStageLoader.h"
#include "sandbox/ArmExecutor.h"
#include "tests/memory/WalkModel.h"

namespace walkmodel {
void PrintTo(Variant variant, std::ostream* out) { *out << (variant == Variant::sa11x0 ? "SA-11x0" : "PXA2x0"); }
}  // namespace walkmodel

namespace {

using walkmodel::Variant;

constexpr std::uint32_t pageBytes = 4096;
constexpr std::uint32_t endOfChain = 0xFFFFFFFF;
constexpr std::uint32_t zeroFill = 0xFFFFFFFF;

struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};

/// One machine's RAM twice over, for the emulated core and for the model, with a
/// chain, a hand-over block and the loader staged in its upper part.
class Bench {
public:
    Bench(Variant variant, std::uint32_t ramSize)
        : variant(variant),
          base(variant == Variant::sa11x0 ? 0xC0000000 : 0xA0000000),
          size(ramSize),
          emulated(static_cast<std::uint8_t*>(std::aligned_alloc(pageBytes, ramSize))),
          model{base, std::vector<std::uint8_t>(ramSize, 0xA5)},
          nextPage(base + ramSize / 4 * 3) {
        std::memset(emulated.get(), 0xA5, ramSize);
        loader = takePage();
        std::span<const std::uint8_t> block = variant == Variant::sa11x0 ? sa11x0LoaderBlock() : pxa2x0LoaderBlock();
        for (std::uint32_t i = 0; i < block.size(); ++i) model.setByte(loader + i, block[i]);
        stackPointer = takePage() + pageBytes;
        handover = takePage();
        tagSlot = takePage();
    }

    std::uint32_t takePage() {
        std::uint32_t page = nextPage;
        nextPage += pageBytes;
        return page;
    }

    /// A copy range whose payload lies in a page of its own; the bytes behind the
    /// payload are random too, since the loader may read up to 7 of them.
    void addCopy(std::uint32_t dst, const std::vector<std::uint8_t>& payload, std::mt19937& random) {
        std::uint32_t page = takePage();
        for (std::uint32_t i = 16; i < pageBytes; ++i) model.setByte(page + i, static_cast<std::uint8_t>(random()));
        for (std::uint32_t i = 0; i < payload.size(); ++i) model.setByte(page + 16 + i, payload[i]);
        addTag(page + 16, dst, static_cast<std::uint32_t>(payload.size()));
    }
    void addCopy(std::uint32_t dst, const std::vector<std::uint8_t>& payload) {
        std::mt19937 random(dst);
        addCopy(dst, payload, random);
    }
    /// A copy range whose payload lies at `src`.
    void addCopyFrom(std::uint32_t src, std::uint32_t dst, const std::vector<std::uint8_t>& payload) {
        for (std::uint32_t i = 0; i < payload.size(); ++i) model.setByte(src + i, payload[i]);
        addTag(src, dst, static_cast<std::uint32_t>(payload.size()));
    }
    void addClear(std::uint32_t dst, std::uint32_t len) { addTag(zeroFill, dst, len); }

    void setHandover(std::uint32_t entry, std::uint32_t argc, std::uint32_t argv, std::uint32_t bootInfo) {
        model.setWord(handover, entry);
        model.setWord(handover + 4, argc);
        model.setWord(handover + 8, argv);
        model.setWord(handover + 12, bootInfo);
    }

    /// Runs the real loader and the model on the same start; both must agree.
    sandbox::KernelEntry runBoth() {
        std::memcpy(emulated.get(), model.bytes.data(), size);
        sandbox::PhysicalSpace space;
        space.ram.push_back({base, size, emulated.get()});
        auto processor = variant == Variant::sa11x0 ? sandbox::Processor::sa1110 : sandbox::Processor::pxa270;
        std::uint32_t chain = tags.empty() ? endOfChain : tags.front();
        sandbox::ExecutionReport report = sandbox::runLoader(processor, space, loader, {handover, chain, stackPointer}, {});
        walkmodel::KernelEntry expected = walkmodel::walk(model, variant, handover, chain, loader);
        EXPECT_EQ(report.outcome, sandbox::ExecutionReport::Outcome::kernelEntered) << sandbox::describe(report);
        if (!report.kernelEntry) return {};
        const sandbox::KernelEntry& k = *report.kernelEntry;
        EXPECT_EQ(k.entry, expected.entry);
        EXPECT_EQ(k.r0, expected.r0);
        EXPECT_EQ(k.r1, expected.r1);
        EXPECT_EQ(k.r2, expected.r2);
        EXPECT_EQ(k.sp, expected.sp);
        EXPECT_GT(k.loaderInstructions, 0u);
        EXPECT_EQ(firstDifference(), size) << "the memory differs from the model at 0x" << std::hex << base + firstDifference();
        return k;
    }

    std::uint8_t emulatedByte(std::uint32_t address) const { return emulated.get()[address - base]; }

    const Variant variant;
    const std::uint32_t base;
    const std::uint32_t size;

private:
    void addTag(std::uint32_t src, std::uint32_t dst, std::uint32_t len) {
        std::uint32_t tag = tagSlot;
        tagSlot += 16;
        if (!tags.empty()) model.setWord(tags.back(), tag);
        model.setWord(tag, endOfChain);
        model.setWord(tag + 4, src);
        model.setWord(tag + 8, dst);
        model.setWord(tag + 12, len);
        tags.push_back(tag);
    }

    std::uint32_t firstDifference() const {
        for (std::uint32_t i = 0; i < size; ++i) {
            if (emulated.get()[i] != model.bytes[i]) return i;
        }
        return size;
    }

    std::unique_ptr<std::uint8_t, FreeDeleter> emulated;
    walkmodel::Ram model;
    std::uint32_t nextPage;
    std::uint32_t loader;
    std::uint32_t stackPointer;
    std::uint32_t handover;
    std::uint32_t tagSlot;
    std::vector<std::uint32_t> tags;
};

std::vector<std::uint8_t> pattern(std::uint32_t length, std::uint8_t first = 1) {
    std::vector<std::uint8_t> bytes(length);
    for (std::uint32_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

/// A random chain: copies to word-aligned destinations and clears at any byte, all
/// inside a small window so that ranges overlap, with lengths of every alignment.
void randomChain(Bench& bench, std::mt19937& random) {
    // Destinations as a kernel links them: physical on SA-11x0; in the window at
    // 0xC0000000 on PXA2x0, which the walk moves into the first bank.
    std::uint32_t window = bench.variant == Variant::sa11x0 ? bench.base + 0x10000 : 0xC0010000;
    auto pick = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
    std::uint32_t ranges = 1 + pick(10);
    for (std::uint32_t r = 0; r < ranges; ++r) {
        std::uint32_t len = pick(4) == 0 ? 4 * (1 + pick(64)) : 1 + pick(pick(2) == 0 ? 40 : 900);
        std::uint32_t offset = pick(0x3000);
        if (pick(5) < 3) {
            std::vector<std::uint8_t> payload(len);
            for (auto& b : payload) b = static_cast<std::uint8_t>(random());
            bench.addCopy(window + (offset & ~3u), payload, random);
        } else {
            bench.addClear(window + offset, len);
        }
    }
    bench.setHandover(window + (pick(0x3000) & ~3u), random(), random(), random());
}

class SecondStageLoader : public ::testing::TestWithParam<Variant> {};

TEST_P(SecondStageLoader, AgreesWithTheModelOnRandomChains) {
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        Bench bench(GetParam(), 0x100000);
        randomChain(bench, random);
        bench.runBoth();
        if (HasFailure()) return;
    }
}

TEST_P(SecondStageLoader, SingleRangeChainEntersTheKernelWithTheHandoverWords) {
    Bench bench(GetParam(), 0x100000);
    bench.addCopy(0xC0001000, pattern(64));
    bench.setHandover(0xC0001000, 3, 0x12345678, 0x9ABCDEF0);
    sandbox::KernelEntry k = bench.runBoth();
    EXPECT_EQ(k.r0, 3u);
    EXPECT_EQ(k.r1, 0x12345678u);
    EXPECT_EQ(k.r2, 0x9ABCDEF0u);
}

TEST_P(SecondStageLoader, EmptyChainStillEntersTheKernel) {
    Bench bench(GetParam(), 0x100000);
    bench.setHandover(0xC0001000, 1, 2, 3);
    bench.runBoth();
}

INSTANTIATE_TEST_SUITE_P(Variants, SecondStageLoader, ::testing::Values(Variant::sa11x0, Variant::pxa2x0),
                         [](const auto& info) { return info.param == Variant::sa11x0 ? "Sa11x0" : "Pxa2x0"; });

/// Fixed ranges on SA-11x0 (destinations as they are) and what they must store.
struct StoreCase {
    const char* name;
    bool copy;
    std::uint32_t dst;
    std::uint32_t len;
    std::uint32_t storedBytes;  // bytes changed from dst on
    friend void PrintTo(const StoreCase& c, std::ostream* out) { *out << c.name; }
};

class SecondStageLoaderStores : public ::testing::TestWithParam<StoreCase> {};

TEST_P(SecondStageLoaderStores, StoreExactlyTheirBytes) {
    const StoreCase& c = GetParam();
    Bench bench(Variant::sa11x0, 0x800000);
    if (c.copy) {
        bench.addCopy(c.dst, pattern(c.len));
    } else {
        bench.addClear(c.dst, c.len);
    }
    bench.setHandover(0xC0001000, 0, 0, 0);
    bench.runBoth();
    // Ranges lie on RAM that holds 0xA5, so each changed byte shows.
    for (std::uint32_t i = 0; i < c.storedBytes; ++i) EXPECT_NE(bench.emulatedByte(c.dst + i), 0xA5) << "byte " << i;
    EXPECT_EQ(bench.emulatedByte(c.dst + c.storedBytes), 0xA5);
    EXPECT_EQ(bench.emulatedByte(c.dst - 1), 0xA5);
}

INSTANTIATE_TEST_SUITE_P(Ranges, SecondStageLoaderStores,
                         ::testing::Values(StoreCase{"clear8", false, 0xC0400000, 8, 8},
                                           StoreCase{"copy6StoresTwoWords", true, 0xC0400000, 6, 8},
                                           StoreCase{"copy12", true, 0xC0400000, 12, 12},
                                           StoreCase{"copy1StoresOneWord", true, 0xC0400000, 1, 4},
                                           StoreCase{"clearUnalignedStart", false, 0xC0400001, 6, 6},
                                           StoreCase{"clearUnalignedEnd", false, 0xC0400000, 7, 7},
                                           StoreCase{"clearInsideOneWord", false, 0xC0400001, 2, 2},
                                           StoreCase{"clearOneByte", false, 0xC0400003, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SecondStageLoaderClear, LeavesTheLastBytesOfFileDataBehindASegment) {
    // A segment with 6 bytes of file data and 16 bytes of memory: the copy stores two
    // words, then the clear starts in the middle of the second one.
    Bench bench(Variant::sa11x0, 0x100000);
    bench.addCopy(0xC0002000, pattern(6, 0x11));
    bench.addClear(0xC0002006, 10);
    bench.setHandover(0xC0002000, 0, 0, 0);
    bench.runBoth();
    for (std::uint32_t i = 0; i < 6; ++i) EXPECT_EQ(bench.emulatedByte(0xC0002000 + i), 0x11 + i) << "byte " << i;
    for (std::uint32_t i = 6; i < 16; ++i) EXPECT_EQ(bench.emulatedByte(0xC0002000 + i), 0) << "byte " << i;
    EXPECT_EQ(bench.emulatedByte(0xC0002010), 0xA5);
}

TEST(SecondStageLoaderCopy, ReadsNoMoreThanTheNextPairOfWords) {
    // 12 bytes 16 bytes before the end of RAM: a read past the second pair of words
    // would leave RAM and stop the core.
    Bench bench(Variant::sa11x0, 0x100000);
    bench.addCopyFrom(bench.base + bench.size - 16, 0xC0001000, pattern(12));
    bench.setHandover(0xC0001000, 0, 0, 0);
    bench.runBoth();
}

struct StackCase {
    std::uint32_t lastEnd;
    std::uint32_t sp;
    friend void PrintTo(const StackCase& c, std::ostream* out) { *out << std::hex << c.lastEnd; }
};

class SecondStageLoaderStack : public ::testing::TestWithParam<StackCase> {};

TEST_P(SecondStageLoaderStack, StartsTheKernelStack8KiBBehindTheLastRange) {
    Bench bench(Variant::sa11x0, 0x800000);
    bench.addCopy(0xC0300000, pattern(64));
    std::uint32_t start = GetParam().lastEnd - 0x100;
    bench.addClear(start, 0x100);
    bench.setHandover(0xC0300000, 0, 0, 0);
    EXPECT_EQ(bench.runBoth().sp, GetParam().sp);
}

INSTANTIATE_TEST_SUITE_P(Ends, SecondStageLoaderStack,
                         ::testing::Values(StackCase{0xC0345678, 0xC0347000}, StackCase{0xC0346000, 0xC0348000}));

TEST(SecondStageLoaderPxa2x0, MovesDestinationsAndTheEntryIntoTheFirstBank) {
    Bench bench(Variant::pxa2x0, 0x1000000);
    bench.addCopy(0xC0A00010, pattern(16, 0x40));
    bench.setHandover(0x00201000, 0, 0, 0);
    sandbox::KernelEntry k = bench.runBoth();
    EXPECT_EQ(k.entry, 0xA0201000u);
    EXPECT_EQ(bench.emulatedByte(0xA0A00010), 0x40);
}

}  // namespace
