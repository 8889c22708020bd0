#include "tests/arch/BackEndTest.h"

#include "arch/Pxa2x0Architecture.h"
#include "arch/Sa11x0Architecture.h"
#include "sandbox/MachineProfile.h"

BackEndTest::BackEndTest(std::string_view profileKey) : PagePoolTest(profileKey) {}

std::unique_ptr<ArmArchitecture> BackEndTest::makeBackEnd() {
    std::unique_ptr<ArmArchitecture> backEnd;
    if (sandbox::isStrongArm(machine.profile)) {
        backEnd = std::make_unique<Sa11x0Architecture>(&console, &memoryManager);
    } else {
        backEnd = std::make_unique<Pxa2x0Architecture>(&console, &memoryManager);
    }
    constructionText = takeText();
    return backEnd;
}

void BackEndTest::allocate(std::uint32_t bytes) {
    ASSERT_TRUE(allocateFor(bytes));
    takeText();
}

std::vector<std::uint8_t> BackEndTest::physicalBytes(std::uint32_t physical, std::uint32_t length) {
    std::vector<std::uint8_t> bytes(length);
    EXPECT_TRUE(machine.memory.read(physical, bytes.data(), length));
    return bytes;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        result.push_back(text.substr(start, end - start));
        start = end;
    }
    return result;
}
