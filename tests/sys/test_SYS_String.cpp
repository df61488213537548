#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "SYS_String.h"
#include "tessar_locale.h"

namespace {

const char* Ptr(const CString& s) { return static_cast<const char*>(s); }

TEST(SYS_String, ConstructionAndConversion) {
    EXPECT_STREQ("---", SYS_String('-', 3));
    EXPECT_STREQ("", SYS_String('-', -1));
    EXPECT_EQ(3, SYS_String("a\0c", 3).GetLength());
    const unsigned char bytes[] = {'p', 'i', 'n', 0};
    const unsigned short wide[] = {'v', 'i', 'a', 0};
    EXPECT_STREQ("pin", SYS_String(bytes));
    EXPECT_STREQ("via", SYS_String(wide));
    CString base("shared");
    EXPECT_EQ(Ptr(base), Ptr(SYS_String(base)));
    SYS_String assigned;
    assigned = base;
    EXPECT_EQ(Ptr(base), Ptr(assigned));
    assigned = bytes;
    EXPECT_STREQ("pin", assigned);
    assigned = wide;
    EXPECT_STREQ("via", assigned);
    assigned = static_cast<const char*>(nullptr);
    EXPECT_TRUE(assigned.IsEmpty());
    static_assert(sizeof(SYS_String) == sizeof(void*), "one pointer, like CString");
}

TEST(SYS_String, SubStringsClampTheirArguments) {
    typedef const SYS_String& S;
    struct Case { const char* name; SYS_String (*take)(S); const char* expected; };
    const Case cases[] = {
        {"mid negative first", [](S s) { return s.Mid(-3, 2); }, "ab"},
        {"mid start beyond", [](S s) { return s.Mid(7, 1); }, ""},
        {"mid negative count", [](S s) { return s.Mid(2, -1); }, ""},
        {"mid one arg negative", [](S s) { return s.Mid(-5); }, "abcdef"},
        {"left negative", [](S s) { return s.Left(-1); }, ""},
        {"right", [](S s) { return s.Right(2); }, "ef"},
        {"right negative", [](S s) { return s.Right(-2); }, ""},
        {"right too many", [](S s) { return s.Right(99); }, "abcdef"},
        {"span including", [](S s) { return s.SpanIncluding("bac"); }, "abc"},
        {"span excluding empty", [](S s) { return s.SpanExcluding(""); }, "abcdef"},
    };
    const SYS_String text("abcdef");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.expected, c.take(text));
        EXPECT_STREQ("abcdef", text);
    }
}

// Starts outside the text, defaults and misses.
TEST(SYS_String, SearchesHonourTheirStartConventions) {
    typedef const SYS_String& S;
    struct Case { const char* name; const char* text; int (*search)(S); int expected; };
    const Case cases[] = {
        {"nul at length", "abc", [](S s) { return s.Find('\0', 3); }, 3},
        {"char past length", "abc", [](S s) { return s.Find('a', 4); }, -1},
        {"char negative start", "abc", [](S s) { return s.Find('a', -1); }, -1},
        {"char at length", "abc", [](S s) { return s.Find('c', 3); }, -1},
        {"empty sub at length", "abc", [](S s) { return s.Find("", 3); }, -1},
        {"empty sub inside", "abc", [](S s) { return s.Find("", 1); }, 1},
        {"one of at length", "abc", [](S s) { return s.FindOneOf("a", 3); }, -1},
        {"one of past length", "abc", [](S s) { return s.FindOneOf("a", 4); }, -1},
        {"reverse from end", "abca", [](S s) { return s.ReverseFind('a', -2); }, 3},
        {"reverse at length", "abca", [](S s) { return s.ReverseFind('a', 4); }, -1},
        {"reverse minus one", "abca", [](S s) { return s.ReverseFind('a', -1); }, -1},
        {"reverse nul at end", "abc", [](S s) { return s.ReverseFind('\0', 3); }, 3},
        {"reverse nul default", "abc", [](S s) { return s.ReverseFind('\0'); }, 3},
        {"reverse nul inside", "abc", [](S s) { return s.ReverseFind('\0', 1); }, -1},
        {"reverse one of", "abc", [](S s) { return s.ReverseFindOneOf("a", -2); }, 0},
        {"reverse none", "abca", [](S s) { return s.ReverseFind('d', 2); }, -1},
        {"reverse one of none", "abc", [](S s) { return s.ReverseFindOneOf("x", 1); }, -1},
        {"reverse one of at length", "abc", [](S s) { return s.ReverseFindOneOf("c", 3); }, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, c.search(SYS_String(c.text)));
    }
}

int Pos(size_t at) { return at == std::string::npos ? -1 : int(at); }

// The sub-string search against std::string on random texts of small alphabets, where the
// first-byte skip has many false starts.
TEST(SYS_String, SearchesAgreeWithStdString) {
    std::mt19937 random(42);
    for (int round = 0; round < 20000; ++round) {
        const int alphabet = 1 + int(random() % 3);
        auto text = [&](size_t n) {
            std::string s;
            for (size_t i = 0; i < n; ++i) s += char('a' + random() % alphabet);
            return s;
        };
        const std::string hay = text(1 + random() % 300), sub = text(1 + random() % 6);
        const int start = int(random() % hay.size());
        ASSERT_EQ(Pos(hay.find(sub, start)), SYS_String(hay.c_str()).Find(sub.c_str(), start))
            << hay << " / " << sub << " @" << start;
    }
}

TEST(SYS_String, TrimmingRemovesRunsOfOneCharacterOrWhiteSpace) {
    struct Case { const char* name; const char* text; int which; const char* target, *expected; };
    const Case cases[] = {  // which: 0 right, 1 left, 2 both
        {"right run of the first target character", "abyxx", 0, "xy", "aby"},
        {"right white space", "ab \t\n", 0, nullptr, "ab"},
        {"left white space", " \t ab ", 1, "", "ab "},
        {"both target", "--a-b--", 2, "-", "a-b"},
        {"all target", "xxx", 0, "x", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SYS_String s(c.text);
        if (c.which == 0) s.TrimRight(c.target);
        if (c.which == 1) s.TrimLeft(c.target);
        if (c.which == 2) s.AllTrim(c.target);
        EXPECT_STREQ(c.expected, s);
    }
    SYS_String unchanged("abc");
    SYS_String sharer(unchanged);
    unchanged.AllTrim();
    EXPECT_EQ(Ptr(sharer), Ptr(unchanged));  // nothing trimmed: no write, no copy
}

TEST(SYS_String, InsertDeleteReplaceAtAnIndex) {
    typedef SYS_String& E;
    struct Case { const char* name; const char* text; int (*edit)(E); const char* want; };
    const Case cases[] = {
        {"insert at end", "abc", [](E s) { return s.Insert(3, "!"); }, "abc!"},
        {"insert past end pads", "abc", [](E s) { return s.Insert(5, "ab"); }, "abc  ab"},
        {"insert null", "abc", [](E s) { return s.Insert(1, nullptr); }, "abc"},
        {"delete count zero", "abcdef", [](E s) { return s.Delete(1, 0); }, "a"},
        {"delete too many", "abcdef", [](E s) { return s.Delete(1, 100); }, "a"},
        {"delete at end", "abcdef", [](E s) { return s.Delete(6, 2); }, "abcdef"},
        {"replace inside", "abcdef", [](E s) { return s.Replace(1, 2, "XYZ"); }, "aXYZdef"},
        {"replace tail", "abcdef", [](E s) { return s.Replace(2, 0, "!"); }, "ab!"},
        {"replace past end", "ab", [](E s) { return s.Replace(4, 1, "x"); }, "ab  x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SYS_String s(c.text);
        EXPECT_EQ(int(std::strlen(c.want)), c.edit(s));
        EXPECT_STREQ(c.want, s);
    }
    SYS_String s("abc");  // text taken from the string itself
    s.Insert(1, s);
    EXPECT_STREQ("aabcbc", s);
    SYS_String u("abc");
    u.Replace(0, 0, u);  // deletes everything, then inserts the old text
    EXPECT_STREQ("abc", u);
    SYS_String v("abcdef");
    v.Replace(1, 2, Ptr(v) + 4);
    EXPECT_STREQ("aefdef", v);
}

// Each kind of edit on one of two sharing copies leaves the other copy's text and buffer as
// they were: the edit makes its own buffer unique first.
TEST(SYS_String, EditsOnASharedCopyLeaveTheOtherCopyAlone) {
    typedef SYS_String& E;
    struct Case { const char* name; const char* text; void (*edit)(E); const char* want; };
    const Case cases[] = {
        {"replace a character", "abc", [](E s) { s.Replace('b', 'x'); }, "axc"},
        {"replace a text", "abc", [](E s) { s.Replace("bc", "yz"); }, "ayz"},
        {"format", "abc", [](E s) { s.Format("%d", 7); }, "7"},
        {"write through GetBuffer", "abc", [](E s) { s.GetBuffer(0)[0] = 'x'; }, "xbc"},
        {"make upper", "abc", [](E s) { s.MakeUpper(); }, "ABC"},
        {"trim right", "ab  ", [](E s) { s.TrimRight(); }, "ab"},
        {"trim left", "--ab", [](E s) { s.TrimLeft("-"); }, "ab"},
        {"insert", "abc", [](E s) { s.Insert(1, "X"); }, "aXbc"},
        {"delete", "abc", [](E s) { s.Delete(1, 1); }, "ac"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SYS_String original(c.text);
        SYS_String edited(original);
        const char* buffer = Ptr(original);
        c.edit(edited);
        edited.ReleaseBuffer();
        EXPECT_STREQ(c.want, edited);
        EXPECT_STREQ(c.text, original);
        EXPECT_EQ(buffer, Ptr(original));
    }
}

TEST(SYS_String, FormattingAndAppendOperators) {
    SYS_String f;
    f.Format("%s:%03d", "U", 7);
    EXPECT_STREQ("U:007", f);
    const std::string longText(700, 'w');
    EXPECT_EQ(longText + "!", std::string(FormattedString("%s!", longText.c_str())));
    SYS_String s;
    s << 'c' << "-" << CString("cs") << '|';
    s << 0 << ',' << -17 << ',' << INT_MIN << ',' << INT_MAX << '|';
    s << LONG_MIN << ',' << LONG_MAX << '|';
    s << 0u << ',' << UINT_MAX << ',' << ULONG_MAX << '|';
    s << 1.5 << ',' << 2.25f << ',' << -0.0000004;
    EXPECT_STREQ(
        "c-cs|0,-17,-2147483648,2147483647|-9223372036854775808,9223372036854775807|"
        "0,4294967295,18446744073709551615|1.500000,2.250000,-0.000000",
        s);
    SYS_String self("ab");
    self << self << Ptr(self);
    EXPECT_STREQ("abababab", self);
}

TEST(SYS_String, ExtractOperatorsReturnTheRest) {
    struct Case { const char* text; const char* rest; unsigned int value; };
    const Case numbers[] = {
        {"12abc", "abc", 12u},  {"  +7 x", " x", 7u},  {"none", "none", 0u},
        {"99999999999", "", UINT_MAX},  // saturates as a 32-bit strtoul does
        {"-1", "", UINT_MAX},
    };
    for (const Case& c : numbers) {
        SCOPED_TRACE(c.text);
        unsigned int value = 99;
        EXPECT_STREQ(c.rest, SYS_String(c.text) >> value);
        EXPECT_EQ(c.value, value);
    }
    EXPECT_STREQ("x", SYS_String("  x") >> " ");
    char skip[] = " \t";
    EXPECT_STREQ("y ", SYS_String("\t y ") >> skip);
    EXPECT_STREQ("a", SYS_String("a") >> "");
}

TEST(SYS_String, ValueReadsEachTypeAndReportsWhereItStopped) {
    const char* end = nullptr;
    short sh = 0;
    EXPECT_EQ(4464, SYS_String("70000").Value(&sh, &end));
    int i = 0;
    SYS_String intText(" -42mm");
    EXPECT_EQ(-42, intText.Value(&i, &end));
    EXPECT_STREQ("mm", end);
    EXPECT_EQ(INT_MAX, SYS_String("3000000000").Value(&i));
    long l = 0;
    EXPECT_EQ(3000000000L, SYS_String("3000000000").Value(&l));
    unsigned int u = 0;
    EXPECT_EQ(4000000000u, SYS_String("4000000000").Value(&u));
    EXPECT_EQ(UINT_MAX, SYS_String("5000000000").Value(&u));
    unsigned long ul = 0;
    EXPECT_EQ(5000000000UL, SYS_String("5000000000").Value(&ul));
    float f = 0;
    SYS_String floatText("2.5e0x");
    EXPECT_FLOAT_EQ(2.5f, floatText.Value(&f, &end));
    EXPECT_STREQ("x", end);
    EXPECT_TRUE(SYS_String("1e300").Value(&f) > 3e38f);  // infinity, not undefined behaviour
    double d = 0;
    EXPECT_DOUBLE_EQ(-0.125, SYS_String("-1.25e-1").Value(&d));
    SYS_String none("mm");
    EXPECT_EQ(0, none.Value(&i, &end));
    EXPECT_EQ(Ptr(none), end);
    EXPECT_EQ(7, SYS_String("7").Value(static_cast<int*>(nullptr)));
}

TEST(SYS_String, OrderingsOfStringKeys) {
    EXPECT_EQ(1, SCC_Compare(SYS_String("\xE9"), SYS_String("z")));  // unsigned bytes
    EXPECT_EQ(0, SCC_Compare(SYS_StrNoCase("Via"), SYS_StrNoCase("vIA")));
    SYS_StrNoCase key("Net");
    key = SYS_String("GND");
    EXPECT_STREQ("GND", key);
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

// Multibyte text (UTF-8): no search, span or trim may stop inside a character.
class SYS_StringUtf8 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_locale.IsActive()); }
    ScopedLocale m_locale{"C.UTF-8"};
};

// "é" is C3 A9, "©" is C2 A9, "€" is E2 82 AC; "\xA9" alone is an invalid byte.
TEST_F(SYS_StringUtf8, SearchesNeverMatchInsideACharacter) {
    SYS_String s("\xC3\xA9\xC2\xA9" "a\xA9");  // é © a <A9>
    EXPECT_EQ(-1, SYS_String("\xC3\xA9").Find('\xC3'));  // a lead byte is not a character
    EXPECT_EQ(-1, s.Find('z'));
    EXPECT_EQ(5, s.ReverseFind('\xA9'));
    EXPECT_EQ(-1, s.ReverseFind('\xA9', 4));
    EXPECT_EQ(-1, SYS_String("\xC3\xA9").Find("\xC3"));  // would end inside é
    EXPECT_EQ(2, SYS_String("\xC3\xA9\xC3").Find("\xC3"));  // a lone byte is a character
    EXPECT_EQ(2, SYS_String("\xC3\xA9\xC3\xA9").Find("\xC3\xA9", 1));  // start taken as given
    EXPECT_EQ(4, SYS_String("\xE2\x82\xAC" "x\xE2\x82\xAC").Find("\xE2\x82\xAC", 1));
}

TEST_F(SYS_StringUtf8, TrimsReplaceAndCompareStepWholeCharacters) {
    SYS_String tail("x\xC3\xA9");
    tail.TrimRight("\xA9");  // the last byte belongs to é: nothing is trimmed
    EXPECT_STREQ("x\xC3\xA9", tail);
    SYS_String spaces("\xE3\x80\x80" " word\xE2\x80\x83");  // ideographic space, em space
    spaces.AllTrim();
    EXPECT_STREQ("word", spaces);
    SYS_String nbsp("\xC2\xA0x");  // no-break space is not white space here
    nbsp.TrimLeft();
    EXPECT_STREQ("\xC2\xA0x", nbsp);
    SYS_String broken("ab\xC3");  // incomplete character at the end: one byte
    broken.TrimRight("\xC3");
    EXPECT_STREQ("ab", broken);
    SYS_String s("\xC3\xA9-\xA9");
    EXPECT_EQ(1, s.Replace('\xA9', '+'));
    EXPECT_STREQ("\xC3\xA9-+", s);
    EXPECT_LT(SYS_String("\xC3\xA9" "9").CompareAlNum("\xC3\xA9" "10"), 0);
    EXPECT_LT(SYS_String("\xC3\xA9").CompareAlNum("\xC3\xAA"), 0);
    // A lone lead byte and é share their first byte but are different characters: the
    // walk must stop there instead of stepping into the middle of é.
    EXPECT_LT(SYS_String("\xC3\xC3").CompareAlNum("\xC3\xA9"), 0);
    EXPECT_GT(SYS_String("\xC3\xA9").CompareAlNum("\xC3\xC3"), 0);
}

// Random texts of whole UTF-8 characters (and the never-valid byte FF), checked against a model
// that works on the list of characters: a byte-level hit inside a character, or one that starts
// or ends inside one, makes the results differ.
const char* const kCharacters[] = {"a", "b", "\xC3\xA9", "\xC2\xA9", "\xE2\x82\xAC", "\xFF"};

TEST_F(SYS_StringUtf8, RandomTextsAgreeWithACharacterModel) {
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        std::vector<int> chars, offsets;  // indexes into kCharacters, byte offset of each
        std::string bytes;
        for (int n = random() % 9; n > 0; --n) {
            chars.push_back(random() % 6);
            offsets.push_back(int(bytes.size()));
            bytes += kCharacters[chars.back()];
        }
        offsets.push_back(int(bytes.size()));
        const std::vector<int> sub = {int(random() % 6), int(random() % 6)};
        const std::string pair = std::string(kCharacters[sub[0]]) + kCharacters[sub[1]];
        const char* one = kCharacters[sub[0]];
        SCOPED_TRACE(bytes + " / " + pair);
        const SYS_String s(bytes.c_str());
        auto at = std::search(chars.begin(), chars.end(), sub.begin(), sub.end());
        ASSERT_EQ(at == chars.end() ? -1 : offsets[at - chars.begin()], s.Find(pair.c_str()));
        size_t leading = 0, trailing = chars.size();
        while (leading < chars.size() && chars[leading] == sub[0]) ++leading;
        while (trailing > leading && chars[trailing - 1] == sub[0]) --trailing;
        SYS_String trimmed(s);
        trimmed.AllTrim(one);
        ASSERT_EQ(bytes.substr(offsets[leading], offsets[trailing] - offsets[leading]),
                  std::string(trimmed));
        ASSERT_EQ(offsets[leading], s.SpanIncluding(one).GetLength());
        int firstOf = -1, lastOf = -1;
        for (size_t i = 0; i < chars.size(); ++i) {
            if (chars[i] != sub[0] && chars[i] != sub[1]) continue;
            if (firstOf < 0) firstOf = offsets[i];
            lastOf = offsets[i];
        }
        ASSERT_EQ(firstOf, s.FindOneOf(pair.c_str()));
        ASSERT_EQ(lastOf, s.ReverseFindOneOf(pair.c_str()));
        ASSERT_EQ(firstOf < 0 ? s.GetLength() : firstOf, s.SpanExcluding(pair.c_str()).GetLength());
    }
}

}  // namespace
