#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "CString.h"
#include "tessar_locale.h"

namespace {

std::string Bytes(const CString& s) {
    return std::string(static_cast<const char*>(s), s.GetLength());
}

// The empty strings share one representation, which no write and no buffer ever hands out.
TEST(CString, EmptyStringsShareOneValidRepresentation) {
    CString a;
    CString b("");
    CString c(static_cast<const char*>(nullptr));
    CString d('x', 0);
    for (const CString* s : {&b, &c, &d})
        EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(*s));
    a.Empty();
    a.ReleaseBuffer();
    a.GetBuffer(0)[0] = '\0';
    a.ReleaseBuffer();
    EXPECT_STREQ("", b);
    EXPECT_TRUE(b.IsEmpty());
}

TEST(CString, BufferAccessStoresLengthAndTerminator) {
    CString s("abc");
    char* buffer = s.GetBuffer(100);
    EXPECT_GE(s.GetAllocLength(), 100);
    std::strcpy(buffer, "longer text");
    s.ReleaseBuffer();
    EXPECT_STREQ("longer text", s);
    s.GetBuffer(0)[3] = 'G';
    s.ReleaseBuffer(4);
    EXPECT_STREQ("lonG", s);
}

TEST(CString, ReplaceCountsNonOverlappingOccurrences) {
    struct Case { const char* name; const char* text; const char* oldText; const char* newText;
                  int count; const char* expected; };
    const Case cases[] = {
        {"none", "abc", "x", "y", 0, "abc"},
        {"grow", "a.b.c", ".", "::", 2, "a::b::c"},
        {"no overlap", "aaa", "aa", "X", 1, "Xa"},
        {"empty old", "abc", "", "x", 0, "abc"},
        {"null new", "a-b", "-", nullptr, 1, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString s(c.text);
        EXPECT_EQ(c.count, s.Replace(c.oldText, c.newText));
        EXPECT_STREQ(c.expected, s);
    }
    CString s("a+b");
    EXPECT_EQ(0, s.Replace('+', '+'));
    CString t("ab");
    EXPECT_EQ(1, t.Replace("b", t));  // texts taken from the string itself
    EXPECT_STREQ("aab", t);
    CString u("abcabc");
    EXPECT_EQ(2, u.Replace(static_cast<const char*>(u) + 3, "x"));  // old text is "abc"
    EXPECT_STREQ("xx", u);
}

// Under a multibyte locale, wide text becomes multibyte text and no edit cuts a character.
TEST(CString, MultibyteTextIsConvertedAndEditedInWholeCharacters) {
    const unsigned short accented[] = {'c', 'a', 'f', 0xE9, 0};
    const unsigned short emoji[] = {0xD83D, 0xDE00, 0};
    const unsigned short lone[] = {'a', 0xDC00, 'b', 0xD800, 0};
    EXPECT_STREQ("caf?", CString(accented));  // "C" locale: not expressible
    ScopedLocale utf8("C.UTF-8");
    ASSERT_TRUE(utf8.IsActive());
    EXPECT_STREQ("caf\xC3\xA9", CString(accented));
    EXPECT_STREQ("\xF0\x9F\x98\x80", CString(emoji));
    EXPECT_STREQ("a?b?", CString(lone));
    CString assigned;
    assigned = accented;
    EXPECT_EQ(5, assigned.GetLength());
    EXPECT_STREQ("", CString(static_cast<const unsigned short*>(nullptr)));
    CString s("\xC3\xA9\xC2\xA9-\xA9");  // é © - and a stray byte A9
    EXPECT_EQ(1, s.Replace('\xA9', '*'));
    EXPECT_STREQ("\xC3\xA9\xC2\xA9-*", s);
    CString t("x\xC3\xA9x");
    EXPECT_EQ(0, t.Replace("\xA9x", "!"));
    EXPECT_EQ(0, t.Replace("x\xC3", "!"));  // would cut é in two
    EXPECT_EQ(1, t.Replace("\xC3\xA9", "e"));
    EXPECT_STREQ("xex", t);
    CString upper("a~-\xC3\xA9");
    upper.MakeUpper();  // single-byte letters only
    EXPECT_STREQ("A~-\xC3\xA9", upper);
}

TEST(CString, ComparisonsFollowStrcmpOfTheText) {
    const char* const words[] = {"", "a", "ab", "B", "\xE9"};
    for (const char* x : words) {
        for (const char* y : words) {
            SCOPED_TRACE(std::string(x) + " vs " + y);
            int expected = std::string(x).compare(y);  // unsigned bytes, like strcmp
            CString a(x);
            CString b(y);
            EXPECT_EQ(expected == 0, a == b);
            EXPECT_EQ(expected == 0, a == y);
            EXPECT_EQ(expected == 0, x == b);
            EXPECT_EQ(expected != 0, a != b);
            EXPECT_EQ(expected != 0, x != b);
            EXPECT_EQ(expected < 0, a < b);
            EXPECT_EQ(expected < 0, x < b);
            EXPECT_EQ(expected > 0, a > y);
            EXPECT_EQ(expected <= 0, a <= b);
            EXPECT_EQ(expected >= 0, a >= y);
            EXPECT_EQ(expected < 0, a.Compare(y) < 0);
        }
    }
    EXPECT_EQ(0, CString("PadStack").CompareNoCase("padstack"));
    EXPECT_LT(CString("_x").CompareNoCase("A"), 0);  // folds to lower case: '_' < 'a'
}

TEST(CString, ConcatenationOfEveryKind) {
    const CString a("top");
    EXPECT_STREQ("<top-layer", "<" + a + "-layer");
    EXPECT_STREQ("#top!", '#' + a + '!');
    EXPECT_STREQ("toptop", a + a);
    EXPECT_STREQ("top", a + static_cast<const char*>(nullptr));
    const CString nul("a\0b", 3);  // embedded NUL bytes keep their length
    EXPECT_EQ(std::string("a\0ba\0b", 6), Bytes(nul + nul));
    CString s("abab");
    s += static_cast<const char*>(s) + 1;  // a part of itself
    EXPECT_STREQ("ababbab", s);
}

TEST(CString, IndexChecksReportAndLeaveTheTextAlone) {
    ScopedBreakCounter breaks;
    CString s("abc");
    EXPECT_EQ('c', s.GetAt(2));
    EXPECT_EQ('\0', s.GetAt(3));
    s.SetAt(-1, 'x');
    s.SetAt(3, 'x');
    EXPECT_EQ(3, breaks.Breaks());
    EXPECT_STREQ("abc", s);
}

// Random edits on a few strings that copy each other, checked against std::string models:
// catches a write that shows through a copy, a stale length or a lost terminator.
TEST(CString, RandomEditsMatchAStdStringModel) {
    std::mt19937 random(20261206);
    std::vector<CString> strings(4);
    std::vector<std::string> models(4);
    for (int step = 0; step < 4000; ++step) {
        size_t i = random() % 4;
        size_t j = random() % 4;
        CString& s = strings[i];
        std::string& m = models[i];
        switch (random() % 8) {
            case 0: s = strings[j]; m = models[j]; break;
            case 1: s += "xy"; m += "xy"; break;
            case 2: s += char('a' + random() % 3); m += s[s.GetLength() - 1]; break;
            case 3: { std::string old = m; s += s; m += old; break; }
            case 4:
                if (!m.empty()) { int k = random() % m.size(); s.SetAt(k, 'Z'); m[k] = 'Z'; }
                break;
            case 5: {
                int count = 0;
                for (char& c : m) if (c == 'a') { c = 'b'; ++count; }
                EXPECT_EQ(count, s.Replace('a', 'b'));
                break;
            }
            case 6: {
                int n = m.empty() ? 0 : random() % m.size();
                s.GetBufferSetLength(n);
                m.resize(n);
                break;
            }
            case 7: if (m.size() > 64) { s.Empty(); m.clear(); } break;
        }
        for (size_t k = 0; k < 4; ++k) {
            ASSERT_EQ(models[k], Bytes(strings[k])) << "step " << step << " string " << k;
            ASSERT_EQ('\0', static_cast<const char*>(strings[k])[strings[k].GetLength()]);
        }
    }
}

}  // namespace
