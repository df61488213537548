// SYS_StrPattern in a multibyte locale (UTF-8): characters are translated, matched, stepped
// over and replaced whole; no match starts or ends inside a character.
#include <gtest/gtest.h>

#include <string>

#include "SYS_StrPattern.h"
#include "SYS_String.h"
#include "tessar_locale.h"

namespace {

struct MultibyteCase {
    const char* name;
    const char* pattern;
    const char* subject;
    int offset;
    int length;
};

// \xc3\xa9 is "é", \xc3\xa0 "à", \xc3\xa8 "è", \xe2\x82\xac "€".
const MultibyteCase kCases[] = {
    {"literal closure", "\xc3\xa9+", "a\xc3\xa9\xc3\xa9", 1, 4},
    {"dot takes a whole character", "a.", "a\xc3\xa9", 0, 3},
    {"dot on three bytes", ".b", "\xe2\x82\xac" "b", 0, 4},
    {"class member", "[\xc3\xa9]", "a\xc3\xa9", 1, 2},
    {"range over the trail byte", "[\xc3\xa0-\xc3\xa9]+", "x\xc3\xa8\xc3\xa0y", 1, 4},
    {"mixed range dropped with its end", "[a-\xc3\xa9]+", "\xc3\xa9" "ab", 2, 1},
    {"trail byte is no member", "[\\xa9]", "\xc3\xa9", -1, 0},
    {"escaped trail byte is no literal", "\\xa9", "\xc3\xa9", -1, 0},
    {"no start inside a character", "[\\xa9]a", "\xc3\xa9" "a", -1, 0},
    {"negated class takes a whole character", "[^a]b", "\xc3\xa9" "b", 0, 3},
    {"alphabetic class", ":c+", "1\xc3\xa9\xc3\xa0" "2", 1, 4},
    {"lower and upper", ":u", "\xc3\xa9\xc3\x89", 2, 2},
    {"star of a multibyte element", "(\xc3\xa9|x)*y", "\xc3\xa9x\xc3\xa9y", 0, 6},
    {"leading closure skip", "\xc3\xa9*z", "\xc3\xa9\xc3\xa9" "a\xc3\xa9z", 5, 3},
};

TEST(SYS_StrPatternUtf8, MatchesTranslatesAndSubstitutesWholeCharacters) {
    ScopedLocale utf8("C.UTF-8");
    if (!utf8.IsActive()) GTEST_SKIP() << "no C.UTF-8 locale";
    for (const MultibyteCase& c : kCases) {
        SCOPED_TRACE(c.name);
        SYS_StrPattern pattern(c.pattern);
        ASSERT_GT(pattern.GetCodeLength(), 0);
        int length = -1;
        EXPECT_EQ(c.offset, pattern.Match(c.subject, &length));
        EXPECT_EQ(c.length, length);
    }
    SYS_StrPattern literal("\xc3\xa9*");
    EXPECT_EQ(std::string("*\x03" "c\xc3\xa9" "e"), static_cast<const char*>(literal));
    SYS_StrPattern range("[\xc3\xa7-\xc3\xa9]");
    EXPECT_EQ(std::string("[\x06\xc3\xa7\xc3\xa8\xc3\xa9" "e"), static_cast<const char*>(range));
    SYS_StrPattern empty("x*");
    SYS_String text = "\xc3\xa9" "a";
    EXPECT_EQ(2, empty.Substitute(text, "-", 0));
    EXPECT_STREQ("-\xc3\xa9-a", text);
    SYS_StrPattern accent("\xc3\xa9");
    SYS_String word = "caf\xc3\xa9 \xc3\xa9t\xc3\xa9";
    EXPECT_EQ(3, accent.Substitute(word, "e", 0));
    EXPECT_STREQ("cafe ete", word);
}

}  // namespace
