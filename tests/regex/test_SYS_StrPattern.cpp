// Behaviour of SYS_StrPattern: translation into the compiled form, refusal of malformed text,
// matching semantics and substitution.
#include <gtest/gtest.h>

#include <string>

#include "SYS_StrPattern.h"
#include "SYS_String.h"
#include "tessar_breaks.h"

namespace {

struct CodeCase {
    const char* name;
    std::string pattern;
    std::string code;  // "" when the text is refused
};

std::string Bytes(const char* text, size_t length) { return std::string(text, length); }

const CodeCase kCodeCases[] = {
    {"every closure", "a*b+c?d#e@", "*\x02" "ca+\x02" "cb?\x02" "cc#\x02" "cd@\x02" "cee"},
    {"alternation", "a|b|c", "|cae|cbecce"},
    {"group with alternation", "a(b|bc)d", "ca)|cbecbccecde"},
    {"group closure", "(ab)*", "*\x06)cacbee"},
    {"negated class closure", "[^0-9]+", "+\x0c]\x0a" "0123456789e"},
    {"anchor per alternative", "^a|^b", "|^cae^cbe"},
    {"named classes", ":a:b:c:d:l:u:x:h:z:n", ":a:b:c:d:l:u:x:h:z:ne"},
    {"hex escapes", "\\x41\\x7\\x4g", "cAc\x07" "c\x04" "cge"},
    {"signed byte range", "[\\xfe-\\x01]", Bytes("[\x04\xfe\xff\x00\x01" "e", 7)},
    {"empty class", "[]", Bytes("[\0e", 3)},
    {"negated empty class", "[^]", Bytes("]\0e", 3)},
    {"closure in group in closure", "((a*)b)+|c", "|+\x0a))*\x02" "caecbeecce"},
    {"largest closure element", "[" + std::string(253, 'a') + "]*",
     "*\xff[\xfd" + std::string(253, 'a') + "e"},
    {"largest class", "[" + std::string(255, 'b') + "]", "[\xff" + std::string(255, 'b') + "e"},
    {"unclosed group", "(ab", ""},
    {"star first", "*a", ""},
    {"double closure", "a**", ""},
    {"closure after caret", "^*", ""},
    {"trailing backslash", "a\\", ""},
    {"hex escape zero", "\\x00", ""},
    {"class range too large", "[\\x01-\\x7f\\x80-\\xff0]", ""},
    {"deep unclosed groups", std::string(100000, '('), ""},
    {"deep groups, one close short", std::string(50000, '(') + "a" + std::string(49999, ')'), ""},
};

// Refused text leaves no compiled form: the pattern then matches nothing. (The report of each
// refusal site is checked with the other report sites.)
TEST(SYS_StrPattern, TranslatesIntoTheCompiledFormOrRefuses) {
    for (const CodeCase& c : kCodeCases) {
        SCOPED_TRACE(c.name);
        ScopedBreakCounter breaks;
        SYS_StrPattern pattern(c.pattern.c_str());
        EXPECT_EQ(c.code.empty(), breaks.Breaks() > 0);
        ASSERT_EQ(static_cast<long>(c.code.size()), pattern.GetCodeLength());
        EXPECT_EQ(c.code, std::string(static_cast<const char*>(pattern), c.code.size()));
        if (!c.code.empty()) continue;
        EXPECT_STREQ("", static_cast<const char*>(pattern));
        int length = 99;
        EXPECT_EQ(-1, pattern.Match("abc", &length));
        EXPECT_EQ(0, length);
    }
}

struct MatchCase {
    const char* name;
    const char* pattern;
    const char* subject;
    int offset;
    int length;
};

const MatchCase kMatches[] = {
    {"alternative ending furthest", "a(b|bc)d", "xabcd", 1, 4},
    {"greedy star", "ab*", "xabbbc", 1, 4},
    {"lazy at", "ab@", "xabbbc", 1, 2},
    {"lazy hash", "ab#", "xabbbc", 1, 2},
    {"whole decimal", ":z", "x-42y", 1, 3},
    {"whole hexadecimal", ":h", "zz1Fz", 2, 2},
    {"negated class", "[^0-9]+", "12ab3", 2, 2},
    {"caret only at offset 0", "^b", "ab", -1, 0},
    {"dollar", "b$", "ab", 1, 1},
    {"dollar alone never matches", "$", "ab", -1, 0},
    {"star matches empty at first position", "x*", "abc", 0, 0},
    {"empty subject", "x*", "", -1, 0},
    {"null subject", "x*", nullptr, -1, 0},
    {"star needs no repetition when element fails", "a*b", "b", 0, 1},
    {"star gives back down to one only", "a*a", "a", -1, 0},
    {"star gives back", "a*ab", "aaab", 0, 4},
    {"plus needs one", "a+", "bbb", -1, 0},
    {"question prefers one", "ab?b", "abb", 0, 3},
    {"question falls back to none", "ab?c", "ac", 0, 2},
    {"at zero only without element", "a@c", "c", 0, 1},
    {"at never zero when element matches", "a@a", "a", -1, 0},
    {"hash lazy until rest", "a#b", "aaab", 0, 4},
    {"first alternative kept when it reaches the end", "(ab|a)b*", "ab", 0, 2},
    {"longer alternative wins", "(a|ab)c*", "abccc", 0, 5},
    {"alternative reaching end wins", "a|ab", "ab", 0, 2},
    {"alternation on second start", "x|y", "aay", 2, 1},
    {"group closure does not give back inside an element", "(ab|a)*b", "abab", 1, 1},
    {"closure element takes furthest alternative", "(a|ab)*c", "abc", 0, 3},
    {"dot", "a.c", "xa-c", 1, 3},
    {"literal after a partial prefix", "aab", "aaab", 1, 3},
    {"literal cut by the end", "abc", "xab", -1, 0},
    {"literal at the end", "bc", "abc", 1, 2},
    {"dot stops at end", "a.", "a", -1, 0},
    {"caret in alternative", "^a|b", "ba", 0, 1},
    {"caret alternative at later start", "^a|a", "ba", 1, 1},
    {"empty alternative", "a(b|)c", "ac", 0, 2},
    {"class with members", "[abc]+", "xxcabx", 2, 3},
    {"empty class never matches", "a[]", "ab", -1, 0},
    {"negated empty class matches any", "[^]", "q", 0, 1},
    {"negated class needs a character", "a[^b]", "a", -1, 0},
    {"digit class", ":d+", "ab123c", 2, 3},
    {"alnum class", ":a+", "--ab12--", 2, 4},
    {"space class", ":b+", "a \t\nb", 1, 3},
    {"alpha class", ":c+", "12ab34", 2, 2},
    {"lower class", ":l+", "ABcdE", 2, 2},
    {"upper class", ":u+", "abCDe", 2, 2},
    {"hex digit class", ":x+", "xyzAf9g", 3, 3},
    {"decimal with inner sign", ":z", "1-2", 0, 3},
    {"decimal needs a digit", ":z", "--", -1, 0},
    {"number with point", ":n", "a-1.5b", 1, 4},
    {"number refuses exponent", ":n", "1.5e3", 0, 3},
    {"number ends at second point", ":n", "1.2.3", 0, 3},
    {"number from point", ":n", ".5", 0, 2},
    {"numbers in sequence", ":z,:z", "x 12,34", 2, 5},
    {"hex closure", ":h*", "ab-12", 0, 5},
    {"hex with prefix", ":h", "x0x1Fy", 1, 4},
    {"escape matches control", "a\\tb", "xa\tb", 1, 3},
    {"hex escape matches byte", "\\x41", "zA", 1, 1},
    {"colon literal", "a:q", "xa:q", 1, 3},
    {"nested closure in group", "(a*b)+", "aabab", 0, 5},
    {"star of empty element ends", "(a*)*b", "cb", 1, 1},
    {"dollar closure", "a$*", "ba", 1, 1},
    {"high byte literal", "\xe9+", "a\xe9\xe9", 1, 2},
    {"signed range", "[\\xfe-\\x01]+", "a\xfe\xff\x01" "b", 1, 3},
};

TEST(SYS_StrPattern, MatchTableGivesLeftmostOffsetAndLength) {
    for (const MatchCase& c : kMatches) {
        SCOPED_TRACE(c.name);
        ScopedBreakCounter breaks;
        SYS_StrPattern pattern(c.pattern);
        int length = -5;
        EXPECT_EQ(c.offset, pattern.Match(c.subject, &length));
        EXPECT_EQ(c.length, length);
        EXPECT_EQ(c.offset, pattern.Match(c.subject, nullptr));  // the length is optional
        EXPECT_EQ(0, breaks.Breaks());
        EXPECT_FALSE(pattern.GaveUp());
    }
}

TEST(SYS_StrPattern, CopiesShareNothingMutableAndItsCompiledFormIsAPatternText) {
    SYS_StrPattern first("a+");
    SYS_StrPattern copy(first);
    SYS_StrPattern assigned;
    assigned = first;
    first = "b";
    int length = 0;
    EXPECT_EQ(1, copy.Match("xaay", &length));
    EXPECT_EQ(2, length);
    EXPECT_EQ(1, assigned.Match("xaay", &length));
    EXPECT_EQ(3, first.Match("xaab", &length));
    EXPECT_EQ(std::string("+\x02" "cae"), std::string(copy));

    SYS_StrPattern pattern("ab");
    pattern = static_cast<const char*>(pattern);  // "cacbe" is itself a pattern text
    EXPECT_EQ(0, pattern.Match("cacbe", &length));
    EXPECT_EQ(5, length);
    pattern = SYS_String("b");
    EXPECT_EQ(1, pattern.Match("ab", &length));
}

struct SubstituteCase {
    const char* name;
    const char* pattern;
    const char* text;
    const char* replacement;
    int count;
    const char* result;
    int replaced;
};

const SubstituteCase kSubstitutions[] = {
    {"all", "o", "foo", "00", 0, "f0000", 2},
    {"counted", "o", "foo", "00", 1, "f00o", 1},
    {"none found", "x", "foo", "y", 0, "foo", 0},
    {"delete", "o+", "foo boo", "", 0, "f b", 2},
    {"empty matches step over one character", "x*", "abc", "-", 0, "-a-b-c", 3},
    {"empty matches with empty replacement", "x*", "abc", "", 0, "abc", 3},
    {"empty and full matches", "b*", "abbc", "-", 0, "-a--c", 3},
    {"caret at each restart", "^a", "aab", "x", 0, "xxb", 2},
    {"replacement holding the pattern", "a", "aa", "aa", 0, "aaaa", 2},
    {"count above matches", "a", "aba", "c", 5, "cbc", 2},
    {"numbers", ":z", "x=12, y=-3", "N", 0, "x=N, y=N", 2},
    {"negative count", "o", "foo", "0", -1, "foo", 0},
    {"no pattern", "(", "foo", "0", 0, "foo", 0},
};

TEST(SYS_StrPattern, SubstitutesScanningForward) {
    for (const SubstituteCase& c : kSubstitutions) {
        SCOPED_TRACE(c.name);
        ScopedBreakCounter breaks;  // takes the reports of the refused rows, checked elsewhere
        SYS_StrPattern pattern(c.pattern);
        SYS_String text = c.text;
        EXPECT_EQ(c.replaced, pattern.Substitute(text, c.replacement, c.count));
        EXPECT_STREQ(c.result, text);
    }
    // The text as its own replacement is read before it changes.
    SYS_StrPattern pattern("b");
    SYS_String text = "abc";
    SYS_String copy = text;  // shares the buffer until the text changes
    EXPECT_EQ(1, pattern.Substitute(text, text, 0));
    EXPECT_STREQ("aabcc", text);
    EXPECT_STREQ("abc", copy);
    // What follows an embedded NUL is kept as it is.
    pattern = "a";
    SYS_String withNul("aa\0aa", 5);
    EXPECT_EQ(2, pattern.Substitute(withNul, "b", 0));
    EXPECT_EQ(std::string("bb\0aa", 5), std::string(withNul, static_cast<size_t>(withNul.GetLength())));
}

}  // namespace
