// A page pool on a sandbox machine, and a back end built over it as the boot
// controller builds one.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "arch/ArmArchitecture.h"
#include "tests/support/PagePoolTest.h"

class BackEndTest : public PagePoolTest {
protected:
    explicit BackEndTest(std::string_view profileKey = "jornada720");

    /// A new back end of the machine's processor family; what its construction
    /// printed goes to `constructionText`.
    std::unique_ptr<ArmArchitecture> makeBackEnd();
    /// The pool for `bytes` of staging, as allocateMemory sizes it.
    void allocate(std::uint32_t bytes = 0x10000);
    /// The bytes at physical address `physical` in the machine's RAM.
    std::vector<std::uint8_t> physicalBytes(std::uint32_t physical, std::uint32_t length);

    std::string constructionText;
};

/// The lines of `text`, each with its line feed.
std::vector<std::string> lines(const std::string& text);
