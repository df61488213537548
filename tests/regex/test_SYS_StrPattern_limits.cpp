// Robustness of SYS_StrPattern: long subjects (closures repeat millions of times without
// deepening the stack), 64 KB patterns of closures, deep groups and nested alternations, and
// the step budget that ends runaway backtracking.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SYS_StrPattern.h"
#include "SYS_String.h"
#include "tessar_breaks.h"

namespace {

constexpr int kBig = 16 << 20;
constexpr int kMeg = 1 << 20;  // already far deeper than any stack a recursive matcher would need

struct LongCase {
    const char* name;
    const char* pattern;
    int size;
    const char* unit;
    const char* tail;  // the subject is unit repeated, then tail, size bytes in all
    int offset;
    int length;
};

// One row per shape whose repetitions a recursive matcher would stack.
const LongCase kLong[] = {
    {"star", "a*", kBig, "a", "", 0, kBig},
    {"plus", "a+", kMeg, "a", "", 0, kMeg},
    {"lazy hash to the end", "a#$", kMeg, "a", "", 0, kMeg},
    {"lazy at to the end", "a@$", kMeg, "a", "", 0, kMeg},
    {"group star", "(ab|a)*", kBig, "ab", "", 0, kBig},
    {"lazy group to the end", "(ab)#$", kMeg, "ab", "", 0, kMeg},
    {"dot star then literal", ".*x", kBig, "a", "x", 0, kBig},
    {"dot star without the literal", ".*x", kMeg, "a", "", -1, 0},
    {"literal at the very end", "x", kMeg, "a", "x", kMeg - 1, 1},
    // A closure after a literal: each start in the run would rescan the rest of it, far beyond
    // the budget; starts whose closure ends where a failed one ended are skipped.
    {"closure after a literal, behind the run", "b[^z]*x", kMeg, "b", "zbyx", kMeg - 3, 3},
    {"closure after a literal, across the run's end", "b.b+y", kMeg, "b", "zbyx", kMeg - 5, 4},
};

TEST(SYS_StrPatternLimits, LongSubjectsNeedNoDeepStack) {
    for (const LongCase& c : kLong) {
        SCOPED_TRACE(c.name);
        const size_t body = c.size - std::strlen(c.tail);
        std::string subject = c.unit;
        while (subject.size() < body) subject += subject;  // doubling: a few copies in all
        subject.resize(body);
        subject += c.tail;
        SYS_StrPattern pattern(c.pattern);
        int length = -1;
        EXPECT_EQ(c.offset, pattern.Match(subject.c_str(), &length));
        EXPECT_EQ(c.length, length);
        EXPECT_FALSE(pattern.GaveUp());
    }
}

TEST(SYS_StrPatternLimits, ALowerBudgetGivesUpSoonerAndTravelsWithCopies) {
    std::string text;
    for (int i = 0; i < 14; ++i) text += "(a|aa)";
    SYS_StrPattern pattern((text + "b").c_str());
    std::string subject(28, 'a');
    int length = -1;
    // About 2^14 attempts of the alternatives: within the default budget, not within 4096.
    EXPECT_EQ(-1, pattern.Match(subject.c_str(), &length));
    EXPECT_FALSE(pattern.GaveUp());
    EXPECT_EQ(SYS_StrPattern::kDefaultStepBudget, pattern.GetStepBudget());

    pattern.SetStepBudget(4096);
    EXPECT_EQ(-1, pattern.Match(subject.c_str(), &length));
    EXPECT_TRUE(pattern.GaveUp());
    SYS_StrPattern copy(pattern);
    SYS_StrPattern assigned;
    assigned = pattern;
    EXPECT_EQ(4096u, assigned.GetStepBudget());

    // Substitute stops at the budget and keeps the rest of the text.
    copy = (text + "b|x").c_str();
    SYS_String replaced = ("x" + subject + "x").c_str();
    EXPECT_EQ(1, copy.Substitute(replaced, "y", 0));
    EXPECT_TRUE(copy.GaveUp());
    EXPECT_STREQ(("y" + subject + "x").c_str(), replaced);

    // A linear search lives on the per-byte part alone, whatever the base.
    pattern = "a*b";
    pattern.SetStepBudget(0);
    std::string longSubject(1 << 20, 'a');
    longSubject += 'b';
    EXPECT_EQ(0, pattern.Match(longSubject.c_str(), &length));
    EXPECT_EQ(static_cast<int>(longSubject.size()), length);
    EXPECT_FALSE(pattern.GaveUp());
}

constexpr size_t k64K = 64 * 1024;

// Copies of unit up to 64 KiB, then tail.
std::string Chain(const char* unit, const char* tail) {
    std::string text;
    while (text.size() < k64K) text += unit;
    return text + tail;
}

// depth copies of open, then middle, then depth copies of close.
std::string Nest(size_t depth, const char* open, const char* middle, const char* close) {
    std::string text;
    for (size_t i = 0; i < depth; ++i) text += open;
    text += middle;
    for (size_t i = 0; i < depth; ++i) text += close;
    return text;
}

struct LongPatternCase {
    const char* name;
    std::string pattern;
    std::string subject;
    int offset;
    int length;
    bool gaveUp;
};

// 64 KiB patterns whose length or nesting follows the text: each translates and matches as
// any short one would, with no machine stack spent per closure, group or alternative.
const LongPatternCase kLongPatterns[] = {
    {"greedy closures", Chain("a*", "b"), "xaab", 1, 3, false},
    {"optional elements", Chain("a?", "b"), "xaab", 1, 3, false},
    {"lazy closures", Chain("a@", "b"), "xaab", 1, 3, false},
    {"lazy closures that need one each", Chain("a#", ""), "x" + std::string(40000, 'a'), 1,
     static_cast<int>(k64K / 2), false},
    {"closures over alternations", Chain("(a|b)*", "c"), "xabbac", 1, 5, false},
    // Countless ways to share a subject it does not match: the search spends its budget.
    {"closures over alternations, no match", Chain("(a|b)*", "c"), std::string(40, 'a'), -1, 0,
     true},
    {"closures over varying groups", Chain("(ab|a)*", "c"), "xabaabc", 1, 6, false},
    {"nested groups", Nest(32 * 1024, "(", "a", ")"), "xa", 1, 1, false},
    {"nested groups around closures", Nest(21 * 1024, "(", "a*b", ")"), "xaab", 1, 3, false},
    {"nested last alternatives", Nest(16 * 1024, "(x|", "y", ")"), "zzy", 2, 1, false},
    {"nested first alternatives", Nest(16 * 1024, "(", "y", "|x)"), "zx", 1, 1, false},
    {"nested alternatives after closures", Nest(8 * 1024, "(x*|", "y", ")z"), "xzq", 0, 2, false},
    {"many alternatives", Chain("x|", "y"), "aay", 2, 1, false},
};

TEST(SYS_StrPatternLimits, SixtyFourKilobytePatternsOfClosuresAndNesting) {
    for (const LongPatternCase& c : kLongPatterns) {
        SCOPED_TRACE(c.name);
        ScopedBreakCounter breaks;
        SYS_StrPattern pattern(c.pattern.c_str());
        EXPECT_GT(pattern.GetCodeLength(), static_cast<long>(c.pattern.size()) / 2);
        int length = -1;
        EXPECT_EQ(c.offset, pattern.Match(c.subject.c_str(), &length));
        EXPECT_EQ(c.length, length);
        EXPECT_EQ(c.gaveUp, pattern.GaveUp());
        EXPECT_EQ(0, breaks.Breaks());
    }
}

}  // namespace
