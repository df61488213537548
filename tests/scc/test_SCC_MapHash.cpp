#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <random>
#include <string>

#include "SCC_Hash.h"
#include "SYS_String.h"

namespace {

// The polynomial as a plain running product, one character at a time: an oracle written
// independently of the library's tabulated form.
uint32_t RunningPolynomial(const std::string& text, bool lowerCase = false) {
    uint32_t hash = 0, power = 1;
    for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (lowerCase) byte = static_cast<unsigned char>(std::tolower(byte));
        power *= 6293815u;
        uint32_t c = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(byte)));
        hash += c * static_cast<uint32_t>(i + 1) * power;
    }
    return hash;
}

struct HashCase {
    const char* name;
    long hash;
    long expected;
};

// Integers take the remainder made non-negative, addresses their low 32 bits unsigned, texts
// the polynomial of their C string; no table size gives 0 instead of dividing. A table grows
// through fourteen sizes, then answers 0.
TEST(SCC_Hash, EachKeyTypeFollowsItsRuleAndTablesGrowThroughFourteenSizes) {
    int object = 0;
    const SYS_StrNoCase longName((std::string(64, 'q') + "Mixed Case").c_str());  // two blocks
    const SYS_StrNoCase longUpper((std::string(64, 'Q') + "MIXED CASE").c_str());
    const uintptr_t high = uintptr_t{0xABCD00000000ULL} + 1000;  // hashes its low 32 bits
    SYS_String lower("Via_12"), empty;
    lower.MakeLower();
    empty.MakeLower();
    const SYS_String withNul("ab\0cd", 5);  // compares equal to "ab", so hashes alike
    const HashCase cases[] = {
        {"first size", SCC_GetNewTableSize(LONG_MIN), 53},
        {"last size", SCC_GetNewTableSize(233591), 467183},
        {"no size after the last", SCC_GetNewTableSize(467183), 0},
        {"int 212 in 107", SCC_Hash(212, 107), 105},
        {"int -1", SCC_Hash(-1, 53), 52},
        {"long beyond 32 bits", SCC_Hash(0x100000000L + 5, 53), (0x100000000L + 5) % 53},
        {"long long negative", SCC_Hash(-0x100000001LL, 53), 53 - (0x100000001LL % 53)},
        {"char -1", SCC_Hash(static_cast<char>(-1), 53), 52},
        {"unsigned -1 wraps", SCC_Hash(static_cast<unsigned int>(-1), 53), 4294967295u % 53},
        {"unsigned long max", SCC_Hash(ULONG_MAX, 53), static_cast<long>(ULONG_MAX % 53)},
        {"unsigned long long", SCC_Hash(0xFFFFFFFFFFULL, 107), long(0xFFFFFFFFFFULL % 107)},
        {"unsigned char 255", SCC_Hash(static_cast<unsigned char>(255), 53), 255 % 53},
        {"table size beyond 32 bits", SCC_Hash(-1, 0x100000000L), 0xFFFFFFFFL},
        {"high address", SCC_Hash(reinterpret_cast<void*>(high), 53), 1000 % 53},
        {"top address", SCC_Hash(reinterpret_cast<const void*>(0xFFFFFFFFUL), 107), 0xFFFFFFFFL % 107},
        {"typed address", SCC_Hash(&object, 223), SCC_Hash(static_cast<void*>(&object), 223)},
        {"letter A", SCC_Hash("A", 53), 38},
        {"null text", SCC_Hash(static_cast<const char*>(nullptr), 53), 0},
        {"SYS_String", SCC_Hash(SYS_String("A"), 53), 38},
        {"empty SYS_String", SCC_Hash(SYS_String(), 53), 0},
        {"embedded NUL", SCC_Hash(withNul, 467183), SCC_Hash(SYS_String("ab"), 467183)},
        {"int, no table", SCC_Hash(-7, 0), 0},
        {"SYS_String, no table", SCC_Hash(SYS_String("A"), 0), 0},
        {"no-case text, negative table", SCC_Hash(SYS_StrNoCase("A"), -5), 0},
        {"unsigned, negative table", SCC_Hash(7UL, -1), 0},
        {"long, no table", SCC_Hash(-7L, LONG_MIN), 0},
        {"no-case keys", SCC_Hash(SYS_StrNoCase("Copper"), 467183),
         SCC_Hash(SYS_StrNoCase("COPPER"), 467183)},
        {"no-case key as lower case", SCC_Hash(SYS_StrNoCase("Via_12"), 467183),
         SCC_Hash(lower, 467183)},
        {"empty no-case key", SCC_Hash(SYS_StrNoCase(""), 467183), SCC_Hash(empty, 467183)},
        {"long no-case keys", SCC_Hash(longName, 467183), SCC_Hash(longUpper, 467183)},
    };
    for (const HashCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, c.hash);
    }
}

// Bytes above the seven bits count negative; a counted text stops at its first NUL.
TEST(SCC_StringPolynomial, MatchesTheRunningProductAndCountedTextStopsAtItsFirstNul) {
    EXPECT_EQ(409097975u, SCC_StringPolynomial("A"));
    EXPECT_EQ(static_cast<uint32_t>(-1) * 6293815u, SCC_StringPolynomial("\xff"));
    const std::string text("ab\0cd", 5);
    EXPECT_EQ(SCC_StringPolynomial("ab"), SCC_StringPolynomial(text.data(), 5));
    EXPECT_EQ(SCC_StringPolynomial("a"), SCC_StringPolynomial(text.data(), 1));
    EXPECT_EQ(0u, SCC_StringPolynomial(text.data(), 0));
    EXPECT_EQ(0u, SCC_StringPolynomial(text.data(), -3));
    EXPECT_EQ(0u, SCC_StringPolynomial(nullptr, 4));
    // Long counted texts, with the NUL in the first block and beyond it.
    std::mt19937 rng(3);
    for (size_t nulAt : {10u, 63u, 64u, 70u, 199u}) {
        SCOPED_TRACE(nulAt);
        std::string longText(200, ' ');
        for (char& c : longText) c = static_cast<char>(1 + rng() % 255);  // any byte but NUL
        longText[nulAt] = '\0';
        EXPECT_EQ(RunningPolynomial(longText.substr(0, nulAt)),
                  SCC_StringPolynomial(longText.data(), 200));
        EXPECT_EQ(RunningPolynomial(longText.substr(0, nulAt), true),
                  SCC_StringPolynomialNoCase(longText.data(), 200));
    }
}

}  // namespace
