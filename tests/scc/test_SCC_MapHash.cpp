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

std::string RandomText(std::mt19937& rng, size_t length) {
    std::string text(length, ' ');
    for (char& c : text) c = static_cast<char>(1 + rng() % 255);  // any byte but NUL
    return text;
}

TEST(SCC_GetNewTableSize, AnswersTheNextOfTheFourteenSizesThenZero) {
    EXPECT_EQ(53, SCC_GetNewTableSize(LONG_MIN));
    EXPECT_EQ(53, SCC_GetNewTableSize(52));
    EXPECT_EQ(107, SCC_GetNewTableSize(53));
    EXPECT_EQ(467183, SCC_GetNewTableSize(233591));
    EXPECT_EQ(0, SCC_GetNewTableSize(467183));
    EXPECT_EQ(0, SCC_GetNewTableSize(LONG_MAX));
}

struct IntegerHashCase {
    const char* name;
    long hash;
    long expected;
};

TEST(SCC_Hash, IntegerKeysTakeTheRemainderMadeNonNegative) {
    const IntegerHashCase cases[] = {
        {"int zero", SCC_Hash(0, 53), 0},
        {"int 212 in 53", SCC_Hash(212, 53), 0},
        {"int 212 in 107", SCC_Hash(212, 107), 105},
        {"int -1", SCC_Hash(-1, 53), 52},
        {"int -53", SCC_Hash(-53, 53), 0},
        {"int min", SCC_Hash(INT_MIN, 53), ((INT_MIN % 53) + 53) % 53},
        {"int max", SCC_Hash(INT_MAX, 467183), INT_MAX % 467183},
        {"long -1", SCC_Hash(-1L, 107), 106},
        {"long beyond 32 bits", SCC_Hash(0x100000000L + 5, 53), (0x100000000L + 5) % 53},
        {"long long negative", SCC_Hash(-0x100000001LL, 53), 53 - (0x100000001LL % 53)},
        {"char -1", SCC_Hash(static_cast<char>(-1), 53), 52},
        {"char 65", SCC_Hash('A', 53), 65 % 53},
        {"unsigned -1 wraps", SCC_Hash(static_cast<unsigned int>(-1), 53), 4294967295u % 53},
        {"unsigned long max", SCC_Hash(ULONG_MAX, 53), static_cast<long>(ULONG_MAX % 53)},
        {"unsigned long long", SCC_Hash(0xFFFFFFFFFFULL, 107), static_cast<long>(0xFFFFFFFFFFULL % 107)},
        {"unsigned char 255", SCC_Hash(static_cast<unsigned char>(255), 53), 255 % 53},
        {"table size beyond 32 bits", SCC_Hash(-1, 0x100000000L), 0xFFFFFFFFL},
        {"unsigned in a huge table", SCC_Hash(7u, 0x100000000L), 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, c.hash);
    }
}

TEST(SCC_Hash, AddressesHashTheirLow32BitsUnsigned) {
    void* low = reinterpret_cast<void*>(uintptr_t{1000});
    void* high = reinterpret_cast<void*>(uintptr_t{0xABCD00000000ULL} + 1000);
    const void* top = reinterpret_cast<const void*>(uintptr_t{0xFFFFFFFFULL});
    EXPECT_EQ(1000 % 53, SCC_Hash(low, 53));
    EXPECT_EQ(1000 % 53, SCC_Hash(high, 53));  // the upper half of the address is dropped
    EXPECT_EQ(static_cast<long>(0xFFFFFFFFu % 107), SCC_Hash(top, 107));
    int object = 0;
    int* typed = &object;  // any object pointer picks the address form
    EXPECT_EQ(SCC_Hash(static_cast<void*>(typed), 223), SCC_Hash(typed, 223));
}

TEST(SCC_Hash, NoTableSizeGivesZeroInsteadOfDividing) {
    for (long size : {0L, -1L, LONG_MIN}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(0, SCC_Hash(-7, size));
        EXPECT_EQ(0, SCC_Hash(7UL, size));
        EXPECT_EQ(0, SCC_Hash(static_cast<const void*>(&size), size));
        EXPECT_EQ(0, SCC_Hash("A", size));
    }
}

TEST(SCC_StringPolynomial, WorkedValueOfTheLetterA) {
    EXPECT_EQ(409097975u, SCC_StringPolynomial("A"));
    EXPECT_EQ(38, SCC_Hash("A", 53));
    EXPECT_EQ(0u, SCC_StringPolynomial(""));
    EXPECT_EQ(0u, SCC_StringPolynomial(nullptr));
    EXPECT_EQ(0, SCC_Hash(static_cast<const char*>(nullptr), 53));
    // Bytes 128-255 count as negative characters.
    EXPECT_EQ(static_cast<uint32_t>(-1) * 6293815u, SCC_StringPolynomial("\xff"));
    EXPECT_EQ(RunningPolynomial("\x80\x7f\x01"), SCC_StringPolynomial("\x80\x7f\x01"));
}

TEST(SCC_StringPolynomial, CountedTextStopsAtItsFirstNul) {
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
        std::string longText = RandomText(rng, 200);
        longText[nulAt] = '\0';
        EXPECT_EQ(RunningPolynomial(longText.substr(0, nulAt)),
                  SCC_StringPolynomial(longText.data(), 200));
        EXPECT_EQ(RunningPolynomial(longText.substr(0, nulAt), true),
                  SCC_StringPolynomialNoCase(longText.data(), 200));
    }
}

TEST(SCC_StringPolynomial, NoCaseFormHashesTheLowerCaseText) {
    EXPECT_EQ(SCC_StringPolynomial("mixed case"), SCC_StringPolynomialNoCase("MiXeD CaSe", 10));
    EXPECT_NE(SCC_StringPolynomial("MiXeD CaSe"), SCC_StringPolynomialNoCase("MiXeD CaSe", 10));
}

TEST(SCC_Hash, CountedStringsHashTheirCStringView) {
    EXPECT_EQ(38, SCC_Hash(SYS_String("A"), 53));
    EXPECT_EQ(38, SCC_Hash(CString("A"), 53));
    EXPECT_EQ(SCC_Hash("pad_12", 1823), SCC_Hash(SYS_String("pad_12"), 1823));
    EXPECT_EQ(0, SCC_Hash(SYS_String(), 53));
    // Keys that compare equal as C strings hash alike, whatever follows an embedded NUL.
    const SYS_String withNul("ab\0cd", 5);
    ASSERT_EQ(5, withNul.GetLength());
    ASSERT_EQ(0, SCC_Compare(withNul, SYS_String("ab")));
    EXPECT_EQ(SCC_Hash(SYS_String("ab"), 467183), SCC_Hash(withNul, 467183));
    EXPECT_EQ(0, SCC_Hash(SYS_String("A"), 0));
    EXPECT_EQ(0, SCC_Hash(SYS_StrNoCase("A"), -5));
}

TEST(SCC_Hash, NoCaseKeysThatCompareEqualHashAlike) {
    const char* const pairs[][2] = {
        {"Copper", "COPPER"}, {"via_12", "VIA_12"}, {"", ""}, {"x", "X"},
        {"A long name that spans more than one block of sixty-four characters, mixed Case",
         "a LONG NAME THAT SPANS MORE THAN ONE BLOCK OF SIXTY-FOUR CHARACTERS, MIXED cASE"},
    };
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair[0]);
        SYS_StrNoCase a(pair[0]), b(pair[1]);
        ASSERT_EQ(0, SCC_Compare(a, b));
        EXPECT_EQ(SCC_Hash(a, 467183), SCC_Hash(b, 467183));
        SYS_String lower(pair[0]);
        lower.MakeLower();
        EXPECT_EQ(SCC_Hash(lower, 467183), SCC_Hash(a, 467183));
    }
}

}  // namespace
