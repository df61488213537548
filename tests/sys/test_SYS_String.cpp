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

std::string Bytes(const CString& s) { return std::string(static_cast<const char*>(s), s.GetLength()); }

TEST(SYS_String, ConstructionAndConversion) {
    EXPECT_STREQ("---", SYS_String('-', 3));
    EXPECT_STREQ("", SYS_String('-', -1));
    EXPECT_STREQ("ab", SYS_String("abc", 2));
    EXPECT_EQ(std::string("a\0c", 3), Bytes(SYS_String("a\0c", 3)));
    const unsigned char bytes[] = {'p', 'i', 'n', 0};
    EXPECT_STREQ("pin", SYS_String(bytes));
    const unsigned short wide[] = {'v', 'i', 'a', 0};
    EXPECT_STREQ("via", SYS_String(wide));

    CString base("shared");
    SYS_String fromBase(base);
    EXPECT_EQ(static_cast<const char*>(base), static_cast<const char*>(fromBase));
    SYS_String assigned;
    assigned = base;
    EXPECT_EQ(static_cast<const char*>(base), static_cast<const char*>(assigned));
    assigned = bytes;
    EXPECT_STREQ("pin", assigned);
    assigned = wide;
    EXPECT_STREQ("via", assigned);
    assigned = static_cast<const char*>(nullptr);
    EXPECT_TRUE(assigned.IsEmpty());
    static_assert(sizeof(SYS_String) == sizeof(void*), "one pointer, like CString");
}

struct SubCase {
    const char* name;
    SYS_String (*take)(const SYS_String&);
    const char* expected;
};

TEST(SYS_String, SubStringsClampTheirArguments) {
    const SubCase cases[] = {
        {"mid negative first", [](const SYS_String& s) { return s.Mid(-3, 2); }, "ab"},
        {"mid past end", [](const SYS_String& s) { return s.Mid(4, 10); }, "ef"},
        {"mid start beyond", [](const SYS_String& s) { return s.Mid(7, 1); }, ""},
        {"mid start at end", [](const SYS_String& s) { return s.Mid(6, 1); }, ""},
        {"mid negative count", [](const SYS_String& s) { return s.Mid(2, -1); }, ""},
        {"mid huge count", [](const SYS_String& s) { return s.Mid(1, INT_MAX); }, "bcdef"},
        {"mid one arg", [](const SYS_String& s) { return s.Mid(3); }, "def"},
        {"mid one arg negative", [](const SYS_String& s) { return s.Mid(-5); }, "abcdef"},
        {"mid one arg beyond", [](const SYS_String& s) { return s.Mid(9); }, ""},
        {"left", [](const SYS_String& s) { return s.Left(2); }, "ab"},
        {"left negative", [](const SYS_String& s) { return s.Left(-1); }, ""},
        {"left too many", [](const SYS_String& s) { return s.Left(99); }, "abcdef"},
        {"right", [](const SYS_String& s) { return s.Right(2); }, "ef"},
        {"right negative", [](const SYS_String& s) { return s.Right(-2); }, ""},
        {"right too many", [](const SYS_String& s) { return s.Right(99); }, "abcdef"},
        {"span including", [](const SYS_String& s) { return s.SpanIncluding("bac"); }, "abc"},
        {"span including none", [](const SYS_String& s) { return s.SpanIncluding("x"); }, ""},
        {"span excluding", [](const SYS_String& s) { return s.SpanExcluding("dc"); }, "ab"},
        {"span excluding empty", [](const SYS_String& s) { return s.SpanExcluding(""); }, "abcdef"},
    };
    const SYS_String text("abcdef");
    for (const SubCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.expected, c.take(text));
        EXPECT_STREQ("abcdef", text);
    }
}

struct SearchCase {
    const char* name;
    const char* text;
    int (*search)(const SYS_String&);
    int expected;
};

TEST(SYS_String, SearchesHonourTheirStartConventions) {
    const SearchCase cases[] = {
        {"nul at length", "abc", [](const SYS_String& s) { return s.Find('\0', 3); }, 3},
        {"nul from start", "abc", [](const SYS_String& s) { return s.Find('\0', 0); }, 3},
        {"char past length", "abc", [](const SYS_String& s) { return s.Find('a', 4); }, -1},
        {"char negative start", "abc", [](const SYS_String& s) { return s.Find('a', -1); }, -1},
        {"char at length", "abc", [](const SYS_String& s) { return s.Find('c', 3); }, -1},
        {"char default start", "abcb", [](const SYS_String& s) { return s.Find('b'); }, 1},
        {"char from start", "abcb", [](const SYS_String& s) { return s.Find('b', 2); }, 3},
        {"char only before start", "abcb", [](const SYS_String& s) { return s.Find('a', 1); }, -1},
        {"empty sub at length", "abc", [](const SYS_String& s) { return s.Find("", 3); }, -1},
        {"empty sub inside", "abc", [](const SYS_String& s) { return s.Find("", 1); }, 1},
        {"sub", "abcabc", [](const SYS_String& s) { return s.Find("ca"); }, 2},
        {"sub from start", "abcabc", [](const SYS_String& s) { return s.Find("ab", 1); }, 3},
        {"sub longer than rest", "abcabc", [](const SYS_String& s) { return s.Find("bcd", 4); }, -1},
        {"one of", "x-y+z", [](const SYS_String& s) { return s.FindOneOf("+-"); }, 1},
        {"one of at length", "abc", [](const SYS_String& s) { return s.FindOneOf("a", 3); }, -1},
        {"one of past length", "abc", [](const SYS_String& s) { return s.FindOneOf("a", 4); }, -1},
        {"reverse from end", "abca", [](const SYS_String& s) { return s.ReverseFind('a', -2); }, 3},
        {"reverse default", "abca", [](const SYS_String& s) { return s.ReverseFind('a'); }, 3},
        {"reverse bounded", "abca", [](const SYS_String& s) { return s.ReverseFind('a', 2); }, 0},
        {"reverse at length", "abca", [](const SYS_String& s) { return s.ReverseFind('a', 4); }, -1},
        {"reverse minus one", "abca", [](const SYS_String& s) { return s.ReverseFind('a', -1); }, -1},
        {"reverse nul at end", "abc", [](const SYS_String& s) { return s.ReverseFind('\0', 3); }, 3},
        {"reverse nul default", "abc", [](const SYS_String& s) { return s.ReverseFind('\0'); }, 3},
        {"reverse nul inside", "abc", [](const SYS_String& s) { return s.ReverseFind('\0', 1); }, -1},
        {"reverse empty", "", [](const SYS_String& s) { return s.ReverseFind('a'); }, -1},
        {"reverse one of", "abc", [](const SYS_String& s) { return s.ReverseFindOneOf("a", -2); }, 0},
        {"reverse one of bounded", "a,b,c", [](const SYS_String& s) { return s.ReverseFindOneOf(",", 2); }, 1},
        {"reverse one of at length", "abc", [](const SYS_String& s) { return s.ReverseFindOneOf("c", 3); }, -1},
    };
    for (const SearchCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, c.search(SYS_String(c.text)));
    }
}

// Every start inside the text, against std::string as the oracle.
TEST(SYS_String, ForwardAndReverseSearchesAgreeWithStdString) {
    const char* const texts[] = {"", "a", "abracadabra", "a.b..c...", "zzzz"};
    const char* const subs[] = {"a", "ab", "abra", "..", "z", "q"};
    for (const char* t : texts) {
        SYS_String s(t);
        std::string model(t);
        for (int start = 0; start < s.GetLength(); ++start) {
            SCOPED_TRACE(std::string(t) + " @" + std::to_string(start));
            for (const char* sub : subs) {
                size_t hit = model.find(sub, start);
                EXPECT_EQ(hit == std::string::npos ? -1 : int(hit), s.Find(sub, start));
                size_t one = model.find(sub[0], start);
                EXPECT_EQ(one == std::string::npos ? -1 : int(one), s.Find(sub[0], start));
                size_t back = model.rfind(sub[0], start);
                EXPECT_EQ(back == std::string::npos ? -1 : int(back), s.ReverseFind(sub[0], start));
                size_t anyOf = model.find_first_of(sub, start);
                EXPECT_EQ(anyOf == std::string::npos ? -1 : int(anyOf), s.FindOneOf(sub, start));
                size_t lastOf = model.find_last_of(sub, start);
                EXPECT_EQ(lastOf == std::string::npos ? -1 : int(lastOf),
                          s.ReverseFindOneOf(sub, start));
            }
        }
    }
}

TEST(SYS_String, ReverseSearchesLeaveASharedBufferUntouched) {
    SYS_String text("net.a.b");
    SYS_String copy(text);
    const char* shared = text;
    EXPECT_EQ(3, text.ReverseFind('.', 4));
    EXPECT_EQ(5, text.ReverseFindOneOf(".", 6));
    EXPECT_EQ(shared, static_cast<const char*>(copy));
    EXPECT_STREQ("net.a.b", copy);
    EXPECT_EQ(7, copy.GetLength());
}

TEST(SYS_String, SearchesCoverEmbeddedNulBytes) {
    SYS_String s("ab\0cb", 5);
    EXPECT_EQ(2, s.Find('\0'));  // the first NUL, as a C search would find it
    EXPECT_EQ(4, s.Find('b', 2));
    EXPECT_EQ(3, s.Find("cb"));
    EXPECT_EQ(4, s.ReverseFind('b'));
    EXPECT_EQ(3, s.FindOneOf("c"));
    EXPECT_EQ(3, s.SpanExcluding("c").GetLength());  // the NUL is in no set: the run goes on
    EXPECT_EQ(0, s.SpanIncluding("\0").GetLength());
}

struct TrimCase {
    const char* name;
    const char* text;
    int which;  // 0 right, 1 left, 2 both
    const char* target;
    const char* expected;
};

TEST(SYS_String, TrimmingRemovesRunsOfOneCharacterOrWhiteSpace) {
    const TrimCase cases[] = {
        {"right only first target char", "abxxyy", 0, "xy", "abxxyy"},
        {"right run of x", "abyxx", 0, "xy", "aby"},
        {"right white space", "ab \t\n", 0, "", "ab"},
        {"right null target", "ab  ", 0, nullptr, "ab"},
        {"left run", "xxab", 1, "x", "ab"},
        {"left white space", " \t ab ", 1, "", "ab "},
        {"both white space", "  a b  ", 2, "", "a b"},
        {"both target", "--a-b--", 2, "-", "a-b"},
        {"all trimmed", "    ", 2, "", ""},
        {"all target", "xxx", 0, "x", ""},
        {"nothing to trim", "abc", 2, "", "abc"},
        {"empty", "", 2, "", ""},
    };
    for (const TrimCase& c : cases) {
        SCOPED_TRACE(c.name);
        SYS_String s(c.text);
        SYS_String copy(s);
        if (c.which == 0) s.TrimRight(c.target);
        if (c.which == 1) s.TrimLeft(c.target);
        if (c.which == 2) s.AllTrim(c.target);
        EXPECT_STREQ(c.expected, s);
        EXPECT_EQ(int(std::strlen(c.expected)), s.GetLength());
        EXPECT_STREQ(c.text, copy);
    }
    SYS_String unchanged("abc");
    SYS_String sharer(unchanged);
    unchanged.AllTrim();
    EXPECT_EQ(static_cast<const char*>(sharer), static_cast<const char*>(unchanged));  // no write
}

struct EditCase {
    const char* name;
    const char* text;
    int (*edit)(SYS_String&);
    const char* expected;
};

TEST(SYS_String, InsertDeleteReplaceAtAnIndex) {
    const EditCase cases[] = {
        {"insert inside", "abc", [](SYS_String& s) { return s.Insert(1, "XY"); }, "aXYbc"},
        {"insert at front", "abc", [](SYS_String& s) { return s.Insert(0, ">"); }, ">abc"},
        {"insert at end", "abc", [](SYS_String& s) { return s.Insert(3, "!"); }, "abc!"},
        {"insert past end pads", "abc", [](SYS_String& s) { return s.Insert(5, "ab"); }, "abc  ab"},
        {"insert empty", "abc", [](SYS_String& s) { return s.Insert(9, ""); }, "abc"},
        {"insert null", "abc", [](SYS_String& s) { return s.Insert(1, nullptr); }, "abc"},
        {"insert into empty", "", [](SYS_String& s) { return s.Insert(2, "x"); }, "  x"},
        {"delete count zero", "abcdef", [](SYS_String& s) { return s.Delete(1, 0); }, "a"},
        {"delete too many", "abcdef", [](SYS_String& s) { return s.Delete(1, 100); }, "a"},
        {"delete at end", "abcdef", [](SYS_String& s) { return s.Delete(6, 2); }, "abcdef"},
        {"delete inside", "abcdef", [](SYS_String& s) { return s.Delete(1, 2); }, "adef"},
        {"delete all", "abcdef", [](SYS_String& s) { return s.Delete(0, 6); }, ""},
        {"replace inside", "abcdef", [](SYS_String& s) { return s.Replace(1, 2, "XYZ"); }, "aXYZdef"},
        {"replace tail", "abcdef", [](SYS_String& s) { return s.Replace(2, 0, "!"); }, "ab!"},
        {"replace past end", "ab", [](SYS_String& s) { return s.Replace(4, 1, "x"); }, "ab  x"},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        SYS_String s(c.text);
        SYS_String copy(s);
        EXPECT_EQ(int(std::strlen(c.expected)), c.edit(s));
        EXPECT_STREQ(c.expected, s);
        EXPECT_EQ(int(std::strlen(c.expected)), s.GetLength());
        EXPECT_STREQ(c.text, copy);
    }
}

TEST(SYS_String, EditingWithTextTakenFromItself) {
    SYS_String s("abc");
    s.Insert(1, s);
    EXPECT_STREQ("aabcbc", s);
    SYS_String t("abc");
    t.Insert(10, static_cast<const char*>(t) + 1);
    EXPECT_STREQ("abc       bc", t);
    SYS_String u("abc");
    u.Replace(0, 0, u);  // deletes everything, then inserts the old text
    EXPECT_STREQ("abc", u);
    SYS_String v("abcdef");
    v.Replace(1, 2, static_cast<const char*>(v) + 4);
    EXPECT_STREQ("aefdef", v);
}

TEST(SYS_String, NegativeIndexIsReportedAndChangesNothing) {
    ScopedBreakCounter breaks;
    SYS_String s("abc");
    EXPECT_EQ(3, s.Insert(-1, "x"));
    EXPECT_EQ(1, breaks.Breaks());
    EXPECT_EQ(3, s.Delete(-1, 1));
    EXPECT_EQ(3, s.Delete(1, -1));
    EXPECT_EQ(3, breaks.Breaks());
    // Replace is Delete followed by Insert: each reports its own fault.
    EXPECT_EQ(4, s.Replace(0, -2, "x"));  // the deletion is refused, the insertion happens
    EXPECT_EQ(4, breaks.Breaks());
    EXPECT_STREQ("xabc", s);
    EXPECT_EQ(4, s.Replace(-1, 1, "y"));  // both steps refuse a negative index
    EXPECT_EQ(6, breaks.Breaks());
    EXPECT_STREQ("xabc", s);
}

TEST(SYS_String, FormattingIntoThisAndIntoANewString) {
    SYS_String s;
    s.Format("%s:%03d", "U", 7);
    EXPECT_STREQ("U:007", s);
    EXPECT_STREQ("1.50 mm", FormattedString("%.2f %s", 1.5, "mm"));
    std::string longText(700, 'w');
    EXPECT_EQ(longText + "!", Bytes(FormattedString("%s!", longText.c_str())));
}

TEST(SYS_String, AppendOperatorsWriteDecimalText) {
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
    self << self << static_cast<const char*>(self);
    EXPECT_STREQ("ababab" "ab", self);
}

TEST(SYS_String, ExtractOperatorsReturnTheRest) {
    unsigned int value = 99;
    EXPECT_STREQ("abc", SYS_String("12abc") >> value);
    EXPECT_EQ(12u, value);
    EXPECT_STREQ(" x", SYS_String("  +7 x") >> value);
    EXPECT_EQ(7u, value);
    EXPECT_STREQ("none", SYS_String("none") >> value);
    EXPECT_EQ(0u, value);
    EXPECT_STREQ("", SYS_String("99999999999") >> value);
    EXPECT_EQ(UINT_MAX, value);  // saturates as a 32-bit strtoul does
    SYS_String("-1") >> value;
    EXPECT_EQ(UINT_MAX, value);

    EXPECT_STREQ("x", SYS_String("  x") >> " ");
    char skip[] = " \t";
    EXPECT_STREQ("y ", SYS_String("\t y ") >> skip);
    EXPECT_STREQ("", SYS_String("   ") >> " ");
    EXPECT_STREQ("a", SYS_String("a") >> "");
}

struct TokenCase {
    const char* name;
    const char* text;
    const char* token;
    const char* rest;
};

TEST(SYS_String, TokenExtractionWithQuotes) {
    const TokenCase cases[] = {
        {"plain", "abc def", "abc def", ""},
        {"quoted", "\"abc\" rest", "abc", "\" rest"},
        {"doubled quote kept", "\"a\"\"b\" x", "a\"\"b", "\" x"},
        {"quote inside", "ab\"cd", "ab", "\"cd"},
        {"only quote", "\"", "", ""},
        {"empty", "", "", ""},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        SYS_String token("old");
        SYS_String rest = SYS_String(c.text) >> token;
        EXPECT_STREQ(c.token, token);
        EXPECT_STREQ(c.rest, rest);
    }
    SYS_String self("\"ab\"cd");
    SYS_String rest = self >> self;
    EXPECT_STREQ("ab", self);
    EXPECT_STREQ("\"cd", rest);
}

TEST(SYS_String, ValueReadsEachTypeAndReportsWhereItStopped) {
    const char* end = nullptr;
    short sh = 0;
    EXPECT_EQ(4464, SYS_String("70000").Value(&sh, &end));
    EXPECT_EQ(4464, sh);
    EXPECT_EQ(-1, SYS_String("99999999999").Value(&sh));  // 0x7FFFFFFF cut to 16 bits
    int i = 0;
    SYS_String intText(" -42mm");
    EXPECT_EQ(-42, intText.Value(&i, &end));
    EXPECT_STREQ("mm", end);
    EXPECT_EQ(INT_MAX, SYS_String("3000000000").Value(&i));
    EXPECT_EQ(INT_MIN, SYS_String("-3000000000").Value(&i));
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
    EXPECT_EQ(static_cast<const char*>(none), end);
    EXPECT_EQ(7, SYS_String("7").Value(static_cast<int*>(nullptr)));
}

TEST(SYS_String, OrderingsOfStringKeys) {
    EXPECT_EQ(-1, SCC_Compare(SYS_String("a"), SYS_String("b")));
    EXPECT_EQ(1, SCC_Compare(SYS_String("b"), SYS_String("a")));
    EXPECT_EQ(0, SCC_Compare(SYS_String("ab"), SYS_String("ab")));
    EXPECT_EQ(-1, SCC_Compare(SYS_String("ab"), SYS_String("abc")));
    EXPECT_EQ(1, SCC_Compare(SYS_String("\xE9"), SYS_String("z")));  // unsigned bytes
    EXPECT_EQ(1, SCC_Compare(SYS_String("a"), SYS_String("B")));      // no case folding
    EXPECT_EQ(0, SCC_Compare(SYS_StrNoCase("Via"), SYS_StrNoCase("vIA")));
    EXPECT_LT(SCC_Compare(SYS_StrNoCase("a"), SYS_StrNoCase("B")), 0);
    EXPECT_GT(SCC_Compare(SYS_StrNoCase("pad2"), SYS_StrNoCase("PAD1")), 0);
    SYS_StrNoCase key("Net");
    key = SYS_String("GND");
    EXPECT_STREQ("GND", key);
}

TEST(SYS_String, CompareAlNumOrdersNumbersByValue) {
    std::vector<std::string> names = {"item10$", "item10", "U2", "item9", "U10", "item010a", "U1"};
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return SYS_String(a.c_str()).CompareAlNum(b.c_str()) < 0;
    });
    const std::vector<std::string> expected = {"U1", "U2", "U10", "item9", "item10", "item010a", "item10$"};
    EXPECT_EQ(expected, names);
    EXPECT_EQ(0, SYS_String("file007").CompareAlNum("file7"));
}

// ---------------------------------------------------------------------------------------------
// Multibyte text (UTF-8): no search, span or trim may stop inside a character.

class SYS_StringUtf8 : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_locale.IsActive()); }
    ScopedLocale m_locale{"C.UTF-8"};
};

// "é" is C3 A9, "©" is C2 A9, "€" is E2 82 AC; "\xA9" alone is an invalid byte.
TEST_F(SYS_StringUtf8, SearchesNeverMatchInsideACharacter) {
    SYS_String s("\xC3\xA9\xC2\xA9" "a\xA9");  // é © a <A9>
    EXPECT_EQ(5, s.Find('\xA9'));
    EXPECT_EQ(-1, SYS_String("\xC3\xA9").Find('\xA9'));
    EXPECT_EQ(-1, SYS_String("\xC3\xA9").Find('\xC3'));  // a lead byte is not a character
    EXPECT_EQ(5, s.ReverseFind('\xA9'));
    EXPECT_EQ(-1, s.ReverseFind('\xA9', 4));
    EXPECT_EQ(5, s.FindOneOf("\xA9"));
    EXPECT_EQ(2, s.FindOneOf("\xC2\xA9"));  // © as a whole character
    EXPECT_EQ(2, s.ReverseFindOneOf("\xC2\xA9"));
    EXPECT_EQ(-1, SYS_String("\xC3\xA9\xC3\xA9").Find("\xA9\xC3"));
    EXPECT_EQ(-1, SYS_String("\xC3\xA9").Find("\xC3"));  // would end inside é
    EXPECT_EQ(2, SYS_String("\xC3\xA9\xC3").Find("\xC3"));  // a lone byte is a character
    EXPECT_EQ(2, SYS_String("\xC3\xA9\xC3\xA9").Find("\xC3\xA9", 1));  // start taken as given
    EXPECT_EQ(4, SYS_String("\xE2\x82\xAC" "x\xE2\x82\xAC").Find("\xE2\x82\xAC", 1));
}

TEST_F(SYS_StringUtf8, SpansAndTrimsStepWholeCharacters) {
    SYS_String s("\xC3\xA9\xC3\xA9" "a\xC3\xA9");
    EXPECT_STREQ("\xC3\xA9\xC3\xA9", s.SpanIncluding("\xC3\xA9"));
    EXPECT_STREQ("", s.SpanIncluding("\xC3"));
    EXPECT_STREQ("\xC3\xA9\xC3\xA9", s.SpanExcluding("a"));
    EXPECT_EQ(7, s.SpanExcluding("\xA9").GetLength());  // no character is the lone byte

    SYS_String trimmed(s);
    trimmed.AllTrim("\xC3\xA9");
    EXPECT_STREQ("a", trimmed);
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
}

TEST_F(SYS_StringUtf8, ReplaceAndCompareAlNumStepWholeCharacters) {
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

}  // namespace

namespace {

// Random texts made of whole UTF-8 characters (and the never-valid byte FF), checked against
// a model that works on the list of characters: a byte-level hit inside a character, or one
// that starts or ends inside one, makes the results differ.
const char* const kCharacters[] = {"a", "b", "\xC3\xA9", "\xC2\xA9", "\xE2\x82\xAC", "\xFF"};

struct CharText {
    std::vector<int> chars;  // indexes into kCharacters
    std::string bytes;
    std::vector<int> offsets;  // byte offset of each character

    int Offset(size_t i) const { return i < offsets.size() ? offsets[i] : int(bytes.size()); }
};

CharText RandomCharText(std::mt19937& random) {
    CharText text;
    for (int n = random() % 9; n > 0; --n) {
        int c = random() % 6;
        text.chars.push_back(c);
        text.offsets.push_back(int(text.bytes.size()));
        text.bytes += kCharacters[c];
    }
    return text;
}

int ModelFind(const CharText& text, const std::vector<int>& sub) {
    for (size_t i = 0; i + sub.size() <= text.chars.size(); ++i)
        if (std::equal(sub.begin(), sub.end(), text.chars.begin() + i)) return text.Offset(i);
    return -1;
}

TEST_F(SYS_StringUtf8, RandomTextsAgreeWithACharacterModel) {
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        CharText text = RandomCharText(random);
        SYS_String s(text.bytes.c_str());
        std::vector<int> sub = {int(random() % 6)};
        if (random() % 2) sub.push_back(random() % 6);
        std::string subBytes;
        for (int c : sub) subBytes += kCharacters[c];
        SCOPED_TRACE(text.bytes + " / " + subBytes);
        ASSERT_EQ(ModelFind(text, sub), s.Find(subBytes.c_str()));
        const char* one = kCharacters[sub[0]];
        size_t leading = 0;
        while (leading < text.chars.size() && text.chars[leading] == sub[0]) ++leading;
        size_t trailing = text.chars.size();
        while (trailing > leading && text.chars[trailing - 1] == sub[0]) --trailing;
        SYS_String trimmed(s);
        trimmed.AllTrim(one);
        ASSERT_EQ(text.bytes.substr(text.Offset(leading), text.Offset(trailing) - text.Offset(leading)),
                  std::string(trimmed));
        ASSERT_EQ(text.Offset(leading), s.SpanIncluding(one).GetLength());
        int firstOf = -1, lastOf = -1;
        for (size_t i = 0; i < text.chars.size(); ++i) {
            if (std::find(sub.begin(), sub.end(), text.chars[i]) == sub.end()) continue;
            if (firstOf < 0) firstOf = text.Offset(i);
            lastOf = text.Offset(i);
        }
        ASSERT_EQ(firstOf, s.FindOneOf(subBytes.c_str()));
        ASSERT_EQ(lastOf, s.ReverseFindOneOf(subBytes.c_str()));
        ASSERT_EQ(firstOf < 0 ? s.GetLength() : firstOf, s.SpanExcluding(subBytes.c_str()).GetLength());
        if (std::strlen(one) == 1) {
            ASSERT_EQ(ModelFind(text, {sub[0]}), s.Find(one[0]));
        }
    }
}

}  // namespace
