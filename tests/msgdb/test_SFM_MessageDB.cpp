// The message database's text form, lookups, sections and iterator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "msgdb_test_support.h"
#include "tessar_reports.h"

using namespace msgdb_test;

namespace {

struct KeyText {
    long key;
    std::string text;
};

void ExpectTexts(SFM_MessageDB& db, const std::vector<KeyText>& expected) {
    for (const KeyText& row : expected) EXPECT_EQ(row.text, Txt(db, row.key)) << "key " << row.key;
}

struct LineCase {
    const char* name;
    std::string content;
    std::string printed;             // with the file name replaced by F
    std::vector<KeyText> texts;
};

// A section's entry is its name under minus its base, the key after the last one defined
// before it; its lines are keyed base + number.
const LineCase kLines[] = {
    {"sections get bases after the last key", "[E]\n1:full\n2:Retry? $\n[W]\n1:Low\n", "",
     {{3, "full"}, {4, "Retry? "}, {7, "Low"}, {-2, "E"}, {-6, "W"}, {5, ""}, {1, ""}}},
    {"lines before any header have base 0", "5:x\n[A]\n1:y\n", "", {{5, "x"}, {8, "y"}, {-7, "A"}}},
    {"headers in a row share the base", "1:a\n[F]\n[S]\n1:b\n", "", {{-3, "F"}, {4, "b"}}},
    // The ignored duplicate still moves the last key: [s] starts after key 5, base 7.
    {"the first definition of a key wins", "1:first\n1:second\n[S]\n2:x\n[s]\n1:y\n", "",
     {{1, "first"}, {5, "x"}, {8, "y"}, {-3, "S"}, {-7, "s"}}},
    {"closing bracket inside", "[A]x]\n1:a\n", "F(1) : invalid section : \"[A]x]\"\n", {{1, "a"}}},
    {"header not closed", "[A\n", "F(1) : invalid section : \"[A\"\n", {}},
    {"colon first", "\n:abc\n", "F(2) : invalid line : \":abc\"\n", {}},
    {"no colon", "; c\nabc\n", "F(2) : invalid line : \"abc\"\n", {}},
    {"leading blank", " 1:abc\n2:x\n", "F(1) : leading blanks are not allowed\n", {{1, ""}, {2, "x"}}},
    {"leading tab is white space", "\t1:abc\n", "", {{1, "abc"}}},
    {"no digits give 0", "x:abc\n", "", {{0, "abc"}}},
    {"sign and digits up to a non-digit", "+7z:a\n-0:b\n", "", {{7, "a"}, {0, "b"}}},
    {"blanks after the colon kept", "1:  a\n", "", {{1, "  a"}}},
    {"trailing white space removed", "1:a \t\r\n2:b$  \r\n", "", {{1, "a"}, {2, "b"}}},
    {"only the last dollar removed", "1:$$\n2:$\n", "", {{1, "$"}, {2, ""}}},
    {"comment, empty and blank lines skipped", ";1:x\n\n   \n1:y\n", "", {{1, "y"}}},
    {"a NUL ends the line", std::string("1:ab\0cd\n2:e\n", 12), "", {{1, "ab"}, {2, "e"}}},
    {"last line without line feed", "1:a\n2:b", "", {{1, "a"}, {2, "b"}}},
    {"empty header name", "[]\n1:x\n", "", {{-2, ""}, {3, "x"}}},
    {"199 bytes are whole, longer texts cut",
     "1:" + std::string(199, 'x') + "\n2:" + std::string(300, 'y') + "\n",
     "", {{1, std::string(199, 'x')}, {2, std::string(199, 'y')}}},
    // The entry starts after the first '[' and is as long as the name.
    {"nested brackets stripped", "[[A]\n2:x\n", "", {{-2, "["}, {4, "x"}}},
    // 600 bytes: a first piece of 510 bytes (a valid message) and a second of 90 + LF; the text
    // is cut to 199 bytes, so the lookup buffer always keeps its NUL.
    {"long lines are read in pieces and counted so", "1:" + std::string(598, 'a') + "\nno colon\n",
     "F(2) : invalid line : \"" + std::string(90, 'a') + "\"\nF(3) : invalid line : \"no colon\"\n",
     {{1, std::string(199, 'a')}}},
    {"keys beyond the 32-bit range are unknown", "1:a\n", "", {{1, "a"}, {1 + (1L << 32), ""}}},
    // As on the 32-bit host: 99999999999 saturates to 2147483647, the next base wraps to
    // INT32_MIN + 1 (its entry loses to the earlier key 2147483647).
    {"numbers saturate and keys wrap", "99999999999:big\n[S]\n5:x\n", "",
     {{2147483647L, "big"}, {-2147483642L, "x"}}},
};

TEST(SFM_MessageDB, TextFormLinesAndTheirMessages) {
    for (const LineCase& c : kLines) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir / "m.txt";
        Loaded l = LoadText(path, c.content);
        std::string printed = l.printed;
        for (size_t at; (at = printed.find(path)) != std::string::npos;) printed.replace(at, path.size(), "F");
        EXPECT_EQ(c.printed, printed);
        ExpectTexts(*l.db, c.texts);
    }
}

// ---------------------------------------------------------------------------------------------
// The iterator.

std::vector<std::pair<long, std::string>> Walk(SFM_MessageDB::SectionIterator it) {
    std::vector<std::pair<long, std::string>> seen;
    for (int guard = 0; !it.IsEmpty() && guard < 100; ++guard) {
        seen.push_back({it.GetPosition(), Text(it)});
        ++it;
    }
    return seen;
}

typedef std::vector<std::pair<long, std::string>> Walked;

TEST(SFM_MessageDB, IteratorWalksExistingNumbersUpToTheHighest) {
    TempDir dir;
    Loaded l = LoadText(dir / "m.txt", "0:zero\n[S]\n1:one\n2:two\n5:five\n[T]\n1:next\n[H]\n1:a\n2000000000:b\n");
    struct Case {
        const char* name;
        const char* section;
        long start;
        Walked expected;
    };
    const Case cases[] = {
        {"from 1", "S", 1, {{1, "one"}, {2, "two"}, {5, "five"}}},
        {"from a gap", "s", 3, {{5, "five"}}},
        {"from 0 skips the entry below", "S", 0, {{1, "one"}, {2, "two"}, {5, "five"}}},
        {"past the highest", "S", 6, {}},
        {"unknown section", "U", 1, {}},
        {"unnamed section", "", 0, {{0, "zero"}}},
        {"next section stops at its highest", "T", 1, {{1, "next"}}},
        {"a huge number range steps by existing keys", "H", 2, {{2000000000, "b"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SFM_MessageDB::SectionIterator it(l.db.get(), c.section, c.start);
        EXPECT_EQ(c.section, Text(it.GetName()));
        EXPECT_EQ(c.expected, Walk(it));
    }
}

TEST(SFM_MessageDB, IteratorIncrementsReturnTheTextBeforeOrAfterTheStep) {
    TempDir dir;
    Loaded l = LoadText(dir / "m.txt", "[S]\n1:one\n3:three\n");
    SFM_MessageDB::SectionIterator it(l.db.get(), "S", 1);
    EXPECT_EQ("one", Text(it++));
    EXPECT_EQ(3, it.GetPosition());
    EXPECT_EQ("", Text(++it));
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(-1, it.GetPosition());
    EXPECT_EQ("", Text(it));

    it = 2;  // repositioning
    EXPECT_EQ("three", Text(it));
    SFM_MessageDB::SectionIterator copy(l.db.get(), "none", 1);
    copy = it;
    EXPECT_EQ("S", Text(copy.GetName()));
    EXPECT_EQ(3, copy.GetPosition());
    it.Clear();
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(3, copy.GetPosition());  // copies are independent
}

// A missing file, in either form, leaves an empty database.
TEST(SFM_MessageDB, IteratorStepsWithoutDatabaseOrKeyTableAreReported) {
    tessar_test::ScopedReportRecorder recorder;
    TempDir dir;
    SFM_MessageDB empty(SYS_String((dir / "none.txt").c_str()), 0);
    SFM_MessageDB binary(SYS_String((dir / "none.mdb").c_str()));
    for (SFM_MessageDB* db : {&empty, &binary}) {
        EXPECT_EQ("", Txt(*db, 0));
        EXPECT_EQ(-1, db->GetSectionBase(""));
        EXPECT_EQ(0, db->GetCount());
        EXPECT_EQ(nullptr, db->GetFirstSection());
    }
    SFM_MessageDB::SectionIterator noKeys(&empty, "", 1);  // no section: no step
    EXPECT_TRUE(recorder.Reports().empty());
    EXPECT_EQ("", Text(++noKeys));
    SFM_MessageDB::SectionIterator it(nullptr, "S", 1);
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ("", Text(++it));
    EXPECT_EQ("", Text(it++));
    it = SFM_MessageDB::SectionIterator(nullptr, "T", 1);
    // One step without key table; two constructors, two steps and one assignment without database.
    ASSERT_EQ(6u, recorder.Reports().size());
    for (const tessar_test::Report& report : recorder.Reports()) {
        EXPECT_EQ("Vosk: ", report.message);
        EXPECT_EQ("sfm/sfmmsgdb", report.unit);
        EXPECT_EQ(SSM_FailureError, report.type);
    }
}

}  // namespace
