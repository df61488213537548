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
    {"negated class closure", "[^0-9]+", "+\x0c]\x0a" "0123456789e"},
    {"named classes", ":a:b:c:d:l:u:x:h:z:n", ":a:b:c:d:l:u:x:h:z:ne"},
    {"hex escapes", "\\x41\\x7\\x4g", "cAc\x07" "c\x04" "cge"},
    {"signed byte range", "[\\xfe-\\x01]", Bytes("[\x04\xfe\xff\x00\x01" "e", 7)},
    {"empty class", "[]", Bytes("[\0e", 3)},
    {"largest closure element", "[" + std::string(253, 'a') + "]*",
     "*\xff[\xfd" + std::string(253, 'a') + "e"},
    {"largest class", "[" + std::string(255, 'b') + "]", "[\xff" + std::string(255, 'b') + "e"},
    {"colon before another letter is literal", ":q", "c:cqe"},
    {"closure cannot begin a pattern", "*a", ""},
    {"closure cannot follow a closure", "a**", ""},
    {"closure cannot follow a caret", "^*", ""},
    {"trailing backslash", "a\\", ""},
    {"unclosed group", "(ab", ""},
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
    {"caret only at offset 0", "^b", "ab", -1, 0},
    {"star matches empty at first position", "x*", "abc", 0, 0},
    {"null subject", "x*", nullptr, -1, 0},
    {"star gives back down to one only", "a*a", "a", -1, 0},
    {"at never zero when element matches", "a@a", "a", -1, 0},
    {"group closure does not give back inside an element", "(ab|a)*b", "abab", 1, 1},
    {"negated empty class matches any", "[^]", "q", 0, 1},
    {"number refuses exponent", ":n", "1.5e3", 0, 3},
    {"decimal with leading sign", ":z", "x-42y", 1, 3},
    {"decimal skips an inner sign", ":z", "1-2", 0, 3},
    {"decimal stops at a hex prefix", ":z", "0x1F", 0, 1},
    {"decimal needs a digit", ":z", "+-", -1, 0},
    {"number ends at a second point", ":n", "1.2.3", 0, 3},
    {"number from a point", ":n", ".5", 0, 2},
    {"number skips an inner sign", ":n", "1-2", 0, 3},
    {"number needs a mantissa digit", ":n", "x.e", -1, 0},
    {"whole hexadecimal", ":h", "zz1Fz", 2, 2},
    {"hexadecimal takes a 0x prefix", ":h", "0x1F", 0, 4},
    {"alphanumeric class", ":a+", "--ab12--", 2, 4},
    {"white-space class", ":b+", "a \t\nb", 1, 3},
    {"alphabetic class", ":c+", "12ab34", 2, 2},
    {"digit class", ":d+", "ab123c", 2, 3},
    {"lower-case class", ":l+", "ABcdE", 2, 2},
    {"upper-case class", ":u+", "abCDe", 2, 2},
    {"hex digit class", ":x+", "xyzAf9g", 3, 3},
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
    }
}

// Copies share nothing mutable and the compiled form is itself a pattern text; Substitute
// scans forward, reads its replacement before the text changes and keeps what follows a NUL.
TEST(SYS_StrPattern, CopiesAndSubstitution) {
    SYS_StrPattern first("a+");
    SYS_StrPattern copy(first);
    first = "b";
    int length = 0;
    EXPECT_EQ(1, copy.Match("xaay", &length));
    EXPECT_EQ(2, length);
    EXPECT_EQ(std::string("+\x02" "cae"), std::string(copy));

    SYS_StrPattern pattern("ab");
    pattern = static_cast<const char*>(pattern);  // "cacbe" is itself a pattern text
    EXPECT_EQ(0, pattern.Match("cacbe", &length));
    EXPECT_EQ(5, length);

    pattern = SYS_String("b*");  // empty and full matches: an empty one steps over a character
    SYS_String text = "abbc";
    EXPECT_EQ(3, pattern.Substitute(text, "-", 0));
    EXPECT_STREQ("-a--c", text);
    pattern = "^a";  // the caret holds at each restart
    text = "aab";
    EXPECT_EQ(2, pattern.Substitute(text, "x", 0));
    EXPECT_STREQ("xxb", text);

    pattern = "b";
    text = "abc";
    SYS_String shared = text;  // shares the buffer until the text changes
    EXPECT_EQ(1, pattern.Substitute(text, text, 0));
    EXPECT_STREQ("aabcc", text);
    EXPECT_STREQ("abc", shared);
    pattern = "a";
    SYS_String withNul("aa\0aa", 5);
    EXPECT_EQ(2, pattern.Substitute(withNul, "b", 0));
    EXPECT_EQ(std::string("bb\0aa", 5), std::string(withNul, static_cast<size_t>(withNul.GetLength())));
}

}  // namespace
