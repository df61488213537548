#include <gtest/gtest.h>

#include <random>
#include <string>

#include "SYS_String.h"

namespace {

int Expected(const std::string& hay, const std::string& sub, size_t start) {
    size_t at = hay.find(sub, start);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

// Small alphabets make many false starts of the first-byte skip, so its fallback runs too.
TEST(SYS_StringFindSub, AgreesWithStdFindOnRandomTexts) {
    std::mt19937 random(42);
    for (int round = 0; round < 20000; ++round) {
        SCOPED_TRACE(round);
        int alphabet = 1 + static_cast<int>(random() % 3);
        auto text = [&](size_t n) {
            std::string s;
            for (size_t i = 0; i < n; ++i) s += static_cast<char>('a' + random() % alphabet);
            return s;
        };
        std::string hay = text(1 + random() % 300);
        std::string sub = text(1 + random() % 6);
        size_t start = random() % hay.size();
        ASSERT_EQ(Expected(hay, sub, start), SYS_String(hay.c_str()).Find(sub.c_str(), static_cast<int>(start)));
    }
}

TEST(SYS_StringFindSub, ManyFalseStartsThenAHitNearTheEnd) {
    std::string hay(10000, 'a');
    hay += "ab";
    SYS_String text(hay.c_str());
    EXPECT_EQ(10000 - 1, text.Find("aab", 0));
    EXPECT_EQ(-1, text.Find("aac", 0));
    EXPECT_EQ(-1, SYS_String("ab").Find("abc", 0));
}

}  // namespace
