// Robustness of SYS_StrPattern: 16 MB subjects (closures repeat millions of times without
// deepening the stack), 64 KB patterns of any content, and the step budget that ends runaway
// backtracking.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "SYS_StrPattern.h"
#include "SYS_String.h"
#include "regex_test_support.h"

namespace {

constexpr int kBig = 16 << 20;

// unit repeated (the last copy possibly cut), then tail: kBig bytes in all. Kept across tests.
const std::string& Repeat(const char* unit, const char* tail) {
    static std::string buffers[8];
    static std::string keys[8];
    std::string key = std::string(unit) + '|' + tail;
    for (int i = 0; i < 8; ++i) {
        if (keys[i] == key) return buffers[i];
        if (!keys[i].empty()) continue;
        std::string& s = buffers[i];
        size_t body = kBig - std::char_traits<char>::length(tail);
        s.reserve(kBig);
        while (s.size() < body) s += unit;
        s.resize(body);
        s += tail;
        keys[i] = key;
        return s;
    }
    static std::string none;
    return none;
}

struct LongCase {
    const char* name;
    const char* pattern;
    const char* unit;
    const char* tail;  // the subject is unit repeated, then tail, 16 MB in all
    int offset;
    int length;
};

const LongCase kLong[] = {
    {"star", "a*", "a", "", 0, kBig},
    {"plus", "a+", "a", "", 0, kBig},
    {"lazy hash to the end", "a#$", "a", "", 0, kBig},
    {"lazy at to the end", "a@$", "a", "", 0, kBig},
    {"question", "a?", "a", "", 0, 1},
    {"dot star", ".*", "a", "", 0, kBig},
    {"class star", "[a-z]*", "a", "", 0, kBig},
    {"digit star", ":d*", "7", "", 0, kBig},
    {"digit plus", ":d+", "7", "", 0, kBig},
    {"whole decimal", ":z", "7", "", 0, kBig},
    {"group star", "(ab|a)*", "ab", "", 0, kBig},
    {"dot star then literal", ".*x", "a", "x", 0, kBig},
    {"alternation star then literal", "(a|b)*c", "ab", "c", 0, kBig},
    {"dot star without the literal", ".*x", "a", "", -1, 0},
    {"lazy group to the end", "(ab)#$", "ab", "", 0, kBig},
    {"literal at the very end", "x", "a", "x", kBig - 1, 1},
    {"class found nowhere", "[xyz]q", "a", "", -1, 0},
};

class SixteenMegabytes : public testing::TestWithParam<LongCase> {};

TEST_P(SixteenMegabytes, SubjectNeedsNoDeepStack) {
    {
        const LongCase& c = GetParam();
        const std::string& subject = Repeat(c.unit, c.tail);
        ASSERT_EQ(static_cast<size_t>(kBig), subject.size());
        SYS_StrPattern pattern(c.pattern);
        int length = -1;
        EXPECT_EQ(c.offset, pattern.Match(subject.c_str(), &length));
        EXPECT_EQ(c.length, length);
        EXPECT_FALSE(pattern.GaveUp());
    }
}

INSTANTIATE_TEST_SUITE_P(SYS_StrPatternLimits, SixteenMegabytes, testing::ValuesIn(kLong),
                         [](const testing::TestParamInfo<LongCase>& row) {
                             std::string name = row.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(SYS_StrPatternLimits, SixteenMegabyteSubstitution) {
    SYS_String text(Repeat("a", "").c_str(), kBig);
    SYS_StrPattern pattern("a");
    EXPECT_EQ(kBig, pattern.Substitute(text, "b", 0));
    ASSERT_EQ(kBig, text.GetLength());
    EXPECT_TRUE(std::string(kBig, 'b') == static_cast<const char*>(text));
    // The matcher, not the literal search, over every position.
    SYS_StrPattern group("(b)");
    EXPECT_EQ(kBig, group.Substitute(text, "a", 0));
    EXPECT_TRUE(Repeat("a", "") == static_cast<const char*>(text));
}

TEST(SYS_StrPatternLimits, RunawayBacktrackingStopsAtTheBudget) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "(a|aa)";
    text += "b";
    SYS_StrPattern pattern(text.c_str());
    std::string subject(80, 'a');
    auto start = std::chrono::steady_clock::now();
    int length = -1;
    EXPECT_EQ(-1, pattern.Match(subject.c_str(), &length));
    EXPECT_EQ(0, length);
    EXPECT_TRUE(pattern.GaveUp());
    // A generous bound: the budget is a few million steps, the full search 2^40.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
    // The next search starts with a fresh budget.
    SYS_StrPattern simple("a");
    EXPECT_EQ(0, simple.Match(subject.c_str(), &length));
    EXPECT_FALSE(simple.GaveUp());
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
    EXPECT_EQ(4096u, copy.GetStepBudget());
    EXPECT_EQ(-1, copy.Match(subject.c_str(), &length));
    EXPECT_TRUE(copy.GaveUp());
    SYS_StrPattern assigned;
    assigned = pattern;
    EXPECT_EQ(4096u, assigned.GetStepBudget());

    // A linear search lives on the per-byte part alone, whatever the base.
    pattern = "a*b";
    pattern.SetStepBudget(0);
    std::string longSubject(1 << 20, 'a');
    longSubject += 'b';
    EXPECT_EQ(0, pattern.Match(longSubject.c_str(), &length));
    EXPECT_EQ(static_cast<int>(longSubject.size()), length);
    EXPECT_FALSE(pattern.GaveUp());
    EXPECT_EQ(0u, pattern.GetStepBudget());
}

TEST(SYS_StrPatternLimits, AClosureAfterALiteralScansALongRunOnce) {
    // Each start in the run of b's would rescan the rest of the run: quadratic, far beyond
    // the budget for a megabyte. Starts whose closure ends where a failed one ended are
    // skipped, so the search answers in one pass.
    const int run = 1 << 20;
    const std::string subject = std::string(run, 'b') + "zbyx";
    struct Case {
        const char* pattern;
        int offset;  // -1: no match
        int length;
    };
    const Case cases[] = {
        {"b[^z]*x", run + 1, 3},  // behind the run
        {"b[^z]+x", run + 1, 3},
        {"bb*x", -1, 0},          // X* never takes zero repetitions where X matches
        {"b.b+x", -1, 0},
        {"b.b+y", run - 1, 4},    // "bzby"
    };
    for (const Case& c : cases) {
        SYS_StrPattern pattern(c.pattern);
        int length = -1;
        EXPECT_EQ(c.offset, pattern.Match(subject.c_str(), &length)) << c.pattern;
        EXPECT_EQ(c.length, length) << c.pattern;
        EXPECT_FALSE(pattern.GaveUp()) << c.pattern;
    }
}

TEST(SYS_StrPatternLimits, SubstituteStopsAtTheBudgetAndKeepsTheRest) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "(a|aa)";
    SYS_StrPattern pattern((text + "b|x").c_str());
    SYS_String subject = ("x" + std::string(80, 'a') + "x").c_str();
    EXPECT_EQ(1, pattern.Substitute(subject, "y", 0));
    EXPECT_TRUE(pattern.GaveUp());
    EXPECT_STREQ(("y" + std::string(80, 'a') + "x").c_str(), subject);
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
};

// 64 KiB patterns whose length or nesting follows the text: each translates and matches as
// any short one would, with no machine stack spent per closure, group or alternative.
const LongPatternCase kLongPatterns[] = {
    {"greedy closures", Chain("a*", "b"), "xaab", 1, 3},
    {"optional elements", Chain("a?", "b"), "xaab", 1, 3},
    {"lazy closures", Chain("a@", "b"), "xaab", 1, 3},
    {"lazy closures that need one each", Chain("a#", ""), "x" + std::string(40000, 'a'), 1,
     static_cast<int>(k64K / 2)},
    {"closures over alternations", Chain("(a|b)*", "c"), "xabbac", 1, 5},
    {"closures over groups", Chain("(ab)?", "c"), "xababc", 1, 5},
    {"closures over varying groups", Chain("(ab|a)*", "c"), "xabaabc", 1, 6},
    {"nested groups", Nest(32 * 1024, "(", "a", ")"), "xa", 1, 1},
    {"nested empty groups", Nest(32 * 1024, "(", "", ")"), "abc", 0, 0},
    {"nested groups around closures", Nest(21 * 1024, "(", "a*b", ")"), "xaab", 1, 3},
    {"nested last alternatives", Nest(16 * 1024, "(x|", "y", ")"), "zzy", 2, 1},
    {"nested first alternatives", Nest(16 * 1024, "(", "y", "|x)"), "zx", 1, 1},
    {"nested alternatives after closures", Nest(8 * 1024, "(x*|", "y", ")z"), "xzq", 0, 2},
};

TEST(SYS_StrPatternLimits, SixtyFourKilobytePatternsOfClosuresAndNesting) {
    for (const LongPatternCase& c : kLongPatterns) {
        SCOPED_TRACE(c.name);
        BreakCounter breaks;
        SYS_StrPattern pattern(c.pattern.c_str());
        EXPECT_GT(pattern.GetCodeLength(), static_cast<long>(c.pattern.size()) / 2);
        int length = -1;
        EXPECT_EQ(c.offset, pattern.Match(c.subject.c_str(), &length));
        EXPECT_EQ(c.length, length);
        EXPECT_FALSE(pattern.GaveUp());
        EXPECT_EQ(0, breaks.Breaks());
    }
}

// A long chain of closures that can share a subject in countless ways (each takes one or more
// characters, any number of them), on a subject it does not match: the search spends its
// budget and says so.
TEST(SYS_StrPatternLimits, LongChainOfClosuresStopsAtTheBudget) {
    SYS_StrPattern pattern(Chain("(a|b)*", "c").c_str());
    int length = -1;
    EXPECT_EQ(-1, pattern.Match(std::string(40, 'a').c_str(), &length));
    EXPECT_EQ(0, length);
    EXPECT_TRUE(pattern.GaveUp());
}

TEST(SYS_StrPatternLimits, SixtyFourKilobytePatterns) {
    std::string alternatives = "x";
    while (alternatives.size() < 64 * 1024) alternatives += "|x";
    alternatives += "|y";
    SYS_StrPattern manyAlternatives(alternatives.c_str());
    int length = 0;
    EXPECT_EQ(2, manyAlternatives.Match("aay", &length));
    EXPECT_EQ(1, length);

    std::string literal(70000, 'q');
    SYS_StrPattern longLiteral(literal.c_str());
    EXPECT_EQ(1, longLiteral.Match(("a" + literal).c_str(), &length));
    EXPECT_EQ(70000, length);

    for (const std::string& unbalanced :
         {std::string(100000, '('), std::string(100000, ')'), Nest(50000, "(", "a", "") + ")"}) {
        BreakCounter breaks;
        SYS_StrPattern deep(unbalanced.c_str());
        EXPECT_EQ(0, deep.GetCodeLength());
        EXPECT_EQ(1, breaks.Breaks());
    }
}

// Any text either translates without a report or is refused with at least the generic one;
// matching what translates never crashes and ends.
TEST(SYS_StrPatternLimits, RandomTextCompilesOrIsRefused) {
    static const char kAlphabet[] = "ab()[]^-|*+?#@$.:\\zdnx0\xe9";
    std::mt19937 rng(64);
    std::string subject(2000, 'a');
    for (size_t i = 0; i < subject.size(); i += 7) subject[i] = "b(0-\xe9"[i % 5];
    for (int round = 0; round < 300; ++round) {
        size_t size = round < 20 ? 64 * 1024 : 1 + rng() % 300;
        std::string text(size, 'a');
        for (char& c : text) c = kAlphabet[rng() % (sizeof kAlphabet - 1)];
        BreakCounter breaks;
        SYS_StrPattern pattern(text.c_str());
        if (pattern.GetCodeLength() == 0) {
            EXPECT_GE(breaks.Breaks(), 1) << text;
            continue;
        }
        EXPECT_EQ(0, breaks.Breaks()) << text;
        EXPECT_EQ('e', static_cast<const char*>(pattern)[pattern.GetCodeLength() - 1]);
        int length = -1;
        int offset = pattern.Match(subject.c_str(), &length);
        EXPECT_GE(offset, -1);
        EXPECT_LE(offset + length, static_cast<int>(subject.size()));
    }
}

}  // namespace
