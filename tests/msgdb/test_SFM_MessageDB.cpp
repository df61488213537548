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

struct SectionCase {
    const char* name;
    const char* content;
    std::vector<std::pair<const char*, long>> bases;  // name (any case) -> GetSectionBase
    std::vector<KeyText> texts;
};

TEST(SFM_MessageDB, SectionsGetBasesAfterTheLastKeyAndEntriesUnderMinusTheBase) {
    const SectionCase cases[] = {
        {"two sections", "[Errors]\n1:Disk full\n2:Retry? $\n[Warnings]\n1:Low\n",
         {{"Errors", 2}, {"Warnings", 6}},
         {{3, "Disk full"}, {4, "Retry? "}, {7, "Low"}, {-2, "Errors"}, {-6, "Warnings"},
          {5, ""}, {1, ""}, {0, ""}}},
        {"lines before any header: unnamed section, base 0", "5:x\n[A]\n1:y\n",
         {{"", 0}, {"a", 7}}, {{5, "x"}, {8, "y"}, {-7, "A"}}},
        {"headers in a row share the base; the second entry is ignored",
         "1:a\n[First]\n[Second]\n1:b\n", {{"First", 3}, {"Second", 3}},
         {{-3, "First"}, {4, "b"}}},
        // The ignored duplicate still moves the last key: [s] starts after key 5, base 7; the
        // latest of S and s is found.
        {"the first definition of a key wins", "1:first\n1:second\n[S]\n2:x\n[s]\n1:y\n",
         {{"S", 7}, {"none", -1}}, {{1, "first"}, {5, "x"}, {8, "y"}, {-3, "S"}, {-7, "s"}}},
    };
    for (const SectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Loaded l = LoadText(dir / "m.txt", c.content);
        EXPECT_EQ("", l.printed);
        for (const auto& base : c.bases) EXPECT_EQ(base.second, l.db->GetSectionBase(base.first));
        ExpectTexts(*l.db, c.texts);
    }
}

struct LineCase {
    const char* name;
    std::string content;
    std::string printed;             // with the file name replaced by F
    std::vector<KeyText> texts;
};

const LineCase kLines[] = {
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

TEST(SFM_MessageDB, AMissingFileLeavesAnEmptyDatabase) {
    TempDir dir;
    SFM_MessageDB text(SYS_String((dir / "none.txt").c_str()), 0);
    SFM_MessageDB binary(SYS_String((dir / "none.mdb").c_str()));
    for (SFM_MessageDB* db : {&text, &binary}) {
        EXPECT_EQ("", Txt(*db, 0));
        EXPECT_EQ(-1, db->GetSectionBase(""));
        EXPECT_EQ(0, db->GetCount());
        EXPECT_EQ(nullptr, db->GetFirstSection());
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

TEST(SFM_MessageDB, IteratorWithoutDatabaseIsReportedAndStaysEmpty) {
    tessar_test::ScopedReportRecorder recorder;
    SFM_MessageDB::SectionIterator it(nullptr, "S", 1);
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ("", Text(++it));
    EXPECT_EQ("", Text(it++));
    SFM_MessageDB::SectionIterator other(nullptr, "T", 1);
    it = other;
    const std::vector<tessar_test::Report> reports = recorder.Take();
    ASSERT_EQ(5u, reports.size());  // two constructors, two steps, one assignment
    for (const tessar_test::Report& report : reports) {
        EXPECT_EQ("Vosk: ", report.message);
        EXPECT_EQ("sfm/sfmmsgdb", report.unit);
        EXPECT_EQ(1, report.type);
    }
}

TEST(SFM_MessageDB, IteratorOnADatabaseWithoutKeyTableReportsTheStep) {
    tessar_test::ScopedReportRecorder recorder;
    TempDir dir;
    SFM_MessageDB db(SYS_String((dir / "none.txt").c_str()), 0);
    SFM_MessageDB::SectionIterator it(&db, "", 1);  // no section: no step
    EXPECT_TRUE(recorder.Take().empty());
    EXPECT_EQ("", Text(++it));
    ASSERT_EQ(1u, recorder.Reports().size());
    EXPECT_EQ("sfm/sfmmsgdb", recorder.Reports()[0].unit);
}

TEST(SFM_MessageDB, KeysAndSectionsListWhatTheFileDefined) {
    TempDir dir;
    Loaded l = LoadText(dir / "m.txt", "2:a\n2:dup\n[S]\n1:b\n9:c\n");
    EXPECT_EQ(std::vector<int32_t>({-4, 2, 5, 13}), l.db->GetKeys());
    EXPECT_EQ(4, l.db->GetCount());
    std::vector<std::string> names;
    for (const auto* s = l.db->GetFirstSection(); s != nullptr; s = s->GetNext())
        names.push_back(Text(s->GetName()) + "@" + std::to_string(s->GetBase()) + "/" +
                        std::to_string(s->GetHighest()));
    EXPECT_EQ(std::vector<std::string>({"@0/2", "S@4/9"}), names);
}

}  // namespace
