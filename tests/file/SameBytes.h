// Byte comparison that names the first difference instead of printing megabytes.
#pragma once

#include <gtest/gtest.h>

#include <string>

inline ::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return ::testing::AssertionFailure() << "differ at byte " << at << " (sizes " << actual.size() << " and "
                                         << expected.size() << ")";
}
