#include <gtest/gtest.h>

#include <random>
#include <string>

#include "SYS_String.h"
#include "tessar_locale.h"

namespace {

// A direct, recursive transcription of the two wildcard routines, as an oracle on short
// inputs: the library's matcher loops instead, and must give the same answers.
namespace reference {

int MainRoutine(const char* p, const char* t);

int StarRoutine(const char* p, const char* t) {
    while (*p == '*' || *p == '?') {
        if (*p == '?' && *t++ == '\0') return 3;
        ++p;
    }
    if (*p == '\0') return 1;
    int result = 0;
    for (;; ++t) {
        if (*p == *t || *p == '[') result = MainRoutine(p, t);
        if (*t == '\0') return 3;
        if (result == 1 || result == 3 || result == 6) return result;
    }
}

int SetRoutine(const char*& p, signed char c) {
    ++p;
    bool negated = *p == '!' || *p == '^';
    if (negated) ++p;
    if (*p == ']') return 6;
    bool member = false;
    while (*p != ']') {
        if (*p == '\\') ++p;
        signed char first = *p, last = *p;
        if (*p == '\0') return 6;
        if (*++p == '-') {
            last = *++p;
            if (last == '\0' || last == ']') return 6;
            if (last == '\\' && (last = *++p) == '\0') return 6;
            ++p;
        }
        signed char lo = first < last ? first : last, hi = first < last ? last : first;
        if (c >= lo && c <= hi) {
            member = true;
            break;
        }
    }
    if (negated == member) return 4;
    if (!member) return 0;
    while (*p != ']') {
        if (*p == '\0') return 6;
        if (*p == '\\' && *++p == '\0') return 6;
        ++p;
    }
    return 0;
}

int MainRoutine(const char* p, const char* t) {
    if (*p == '\0') return *t == '\0' ? 1 : 2;
    for (; *p; ++p, ++t) {
        if (*t == '\0') return (*p == '*' && p[1] == '\0') ? 1 : 3;
        if (*p == '*') return StarRoutine(p, t);
        if (*p == '[') {
            int result = SetRoutine(p, static_cast<signed char>(*t));
            if (result != 0) return result;
        } else if (*p != '?' && *p != *t) {
            return 5;
        }
    }
    return *t == '\0' ? 1 : 2;
}

}  // namespace reference

// The answers where the routines' quirks show (stars at the text's end, sets, signed bytes),
// under a UTF-8 locale, where "?" still takes one byte; the random comparison below covers the
// general case.
TEST(SYS_StringMatch, WildcardTable) {
    ScopedLocale utf8("C.UTF-8");
    ASSERT_TRUE(utf8.IsActive());
    struct Case { const char* name; const char* pattern; const char* text; bool matches; };
    const Case cases[] = {
        {"negated set", "[!a-c]x", "dx", true},
        {"caret negates", "[^a-c]x", "bx", false},
        {"reversed range", "[c-a]", "b", true},
        {"lone star on empty", "*", "", true},
        {"two stars on empty text", "**", "", false},
        {"trailing star at text end", "a*", "a", true},
        {"two trailing stars at text end", "a**", "a", false},
        {"star question", "*?", "", false},
        {"backslash literal outside set", "a\\b", "a\\b", true},
        {"escaped range end", "[a-\\z]", "m", true},
        {"malformed set", "[]", "]", false},
        {"unclosed set after match", "[ab", "a", false},
        {"several stars", "[!a-c]*1*.*", "x1.txt", true},
        {"signed range includes A", "[a-\xFF]", "A", true},
        {"question is one byte", "caf??.brd", "caf\xC3\xA9.brd", true},
        {"not one character", "caf?.brd", "caf\xC3\xA9.brd", false},
        {"trail byte alone", "caf[\xC3][\xA9]*", "caf\xC3\xA9.brd", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.matches ? TRUE : FALSE, SYS_String(c.text).Match(c.pattern));
        EXPECT_EQ(c.matches, reference::MainRoutine(c.pattern, c.text) == 1);  // oracle agrees
    }
}

TEST(SYS_StringMatch, PatternTestAndValidation) {
    EXPECT_TRUE(SYS_String("x[").IsPattern());
    EXPECT_FALSE(SYS_String("a]b\\-!").IsPattern());
    struct Case { const char* pattern; int error; } const cases[] = {
        {"plain", 0},  {"a[]", -4}, {"a[b", -3},  {"[a-]", -2},   {"[a\\", -1},
        {"[a-\\", -1}, {"[\\]]", 0}, {"[!]", 0},   {"[a]b[c", -3}, {"[a][]", -4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        int error = 99;
        EXPECT_EQ(c.error == 0 ? TRUE : FALSE, SYS_String(c.pattern).IsValidPattern(&error));
        EXPECT_EQ(c.error, error);
    }
}

// Random short patterns and texts over a small alphabet that exercises every construct.
TEST(SYS_StringMatch, AgreesWithTheRecursiveRoutinesOnRandomInputs) {
    std::mt19937 random(7);
    const char patternBytes[] = "ab*?[]!^-\\\xE9";
    const char textBytes[] = "ab-]\\\xE9";
    int matches = 0;
    for (int round = 0; round < 200000; ++round) {
        std::string pattern, text;
        for (int n = random() % 9; n > 0; --n)
            pattern += patternBytes[random() % (sizeof patternBytes - 1)];
        for (int n = random() % 9; n > 0; --n) text += textBytes[random() % (sizeof textBytes - 1)];
        bool expected = reference::MainRoutine(pattern.c_str(), text.c_str()) == 1;
        matches += expected;
        ASSERT_EQ(expected, SYS_String(text.c_str()).Match(pattern.c_str()) == TRUE)
            << "pattern '" << pattern << "' text '" << text << "'";
    }
    EXPECT_GT(matches, 1000);  // the inputs really exercise matching, not only failures
}

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
