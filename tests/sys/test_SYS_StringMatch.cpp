#include <gtest/gtest.h>

#include <string>

#include "SYS_String.h"

namespace {

// Depth and time must not follow the input: 16 MB texts and 64 KB patterns.
TEST(SYS_StringMatch, LongTextsAndPatternsNeitherOverflowNorCrawl) {
    const std::string big(16u << 20, 'a');
    const SYS_String text(big.c_str(), static_cast<int>(big.size()));
    EXPECT_FALSE(text.Match("*ab"));
    EXPECT_FALSE(text.Match("*[!a]*"));
    EXPECT_TRUE(text.Match(std::string(64u << 10, '*').c_str()));
    EXPECT_FALSE(text.Match(std::string(64u << 10, '?').c_str()));
    std::string starA, sets;
    while (starA.size() < (64u << 10)) starA += "*a";
    EXPECT_TRUE(text.Match(starA.c_str()));
    EXPECT_FALSE(SYS_String("aaa").Match(starA.c_str()));
    while (sets.size() < (64u << 10)) sets += "[a-c]";
    EXPECT_TRUE(SYS_String(std::string(sets.size() / 5, 'b').c_str()).Match(sets.c_str()));
    EXPECT_FALSE(text.Match("*a*a*a*a*a*a*a*a*b"));  // abort: no exponential retrying
}

}  // namespace
