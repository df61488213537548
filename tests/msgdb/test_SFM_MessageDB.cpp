// The message database: the text form, lookups, sections and the iterator; the binary form,
// its round trip and unreadable offsets; and the file manager's database.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "SFM.h"
#include "SFM_MessageDB.h"
#include "tessar_files.h"
#include "tessar_reports.h"

using namespace tessar_test;

namespace {

// A database loaded from `content` written to `path` in the text form, with what loading
// printed.
struct Loaded {
    std::unique_ptr<SFM_MessageDB> db;
    std::string printed;
};

inline Loaded LoadText(const std::string& path, const std::string& content) {
    WriteBytes(path, content);
    testing::internal::CaptureStdout();
    Loaded loaded;
    loaded.db.reset(new SFM_MessageDB(SYS_String(path.c_str()), 0));
    loaded.printed = testing::internal::GetCapturedStdout();
    return loaded;
}

inline std::string Txt(SFM_MessageDB& db, long key) { return Text(db.getTxt(key)); }

// Broken preconditions of the database are reported as errors of its unit, with no text.
void ExpectDatabaseReports(size_t count, const std::vector<Report>& reports) {
    ASSERT_EQ(count, reports.size());
    for (const Report& report : reports) {
        EXPECT_EQ("Vosk: ", report.message);
        EXPECT_EQ("sfm/sfmmsgdb", report.unit);
        EXPECT_EQ(SSM_FailureError, report.type);
    }
}

struct KeyText {
    long key;
    std::string text;
};

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
    {"a bracket inside or missing, a colon first or none, a leading blank",
     "[A]x]\n1:a\n:abc\nabc\n 2:b\n[A\n",
     "F(1) : invalid section : \"[A]x]\"\nF(3) : invalid line : \":abc\"\nF(4) : invalid line : \"abc\"\n"
     "F(5) : leading blanks are not allowed\nF(6) : invalid section : \"[A\"\n",
     {{1, "a"}, {2, ""}}},
    // 600 bytes: a first piece of 510 bytes (a valid message) and a second of 90 + LF; the text
    // is cut to 199 bytes, so the lookup buffer always keeps its NUL.
    {"long lines are read in pieces and counted so", "1:" + std::string(598, 'a') + "\nno colon\n",
     "F(2) : invalid line : \"" + std::string(90, 'a') + "\"\nF(3) : invalid line : \"no colon\"\n",
     {{1, std::string(199, 'a')}}},
    // The ignored 1:second sets the last key back to 1, so [S] gets base 3, not 7.
    {"the first definition of a key wins and the duplicate moves the last key",
     "1:first\n5:a\n1:second\n[S]\n1:x\n", "", {{1, "first"}, {-3, "S"}, {4, "x"}, {8, ""}}},
    {"blanks right after the colon are kept", "1:  a\n", "", {{1, "  a"}}},
    {"only the last dollar is removed", "1:$$\n2:$\n3:a$b\n", "", {{1, "$"}, {2, ""}, {3, "a$b"}}},
    {"trailing white space is removed before the dollar", "1:a \t\r\n2:b$  \n", "",
     {{1, "a"}, {2, "b"}}},
    {"a leading tab is white space, not a blank", "\t1:abc\n", "", {{1, "abc"}}},
    {"a sign before the digits, conversion up to a non-digit", "+7z:a\n-2:b\n", "",
     {{7, "a"}, {-2, "b"}}},
    {"no digits give 0", "x:abc\n", "", {{0, "abc"}}},
    {"comment, empty and blank lines are skipped", ";1:x\n\n   \n1:y\n", "", {{1, "y"}}},
    {"a 199-byte text is kept whole", "1:" + std::string(199, 'x') + "\n", "",
     {{1, std::string(199, 'x')}}},
    // [S]'s own entry -3 is a duplicate of [F]'s and is ignored.
    {"consecutive headers share a base", "1:a\n[F]\n[S]\n1:b\n", "", {{-3, "F"}, {4, "b"}}},
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
        for (const KeyText& row : c.texts) EXPECT_EQ(row.text, Txt(*l.db, row.key)) << row.key;
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

TEST(SFM_MessageDB, IteratorWalksAndStepsThroughExistingNumbersUpToTheHighest) {
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
        {"past the highest", "S", 6, {}},
        {"unknown section", "U", 1, {}},
        {"unnamed section", "", 0, {{0, "zero"}}},
        {"a huge number range steps by existing keys", "H", 2, {{2000000000, "b"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SFM_MessageDB::SectionIterator it(l.db.get(), c.section, c.start);
        EXPECT_EQ(c.section, Text(it.GetName()));
        EXPECT_EQ(c.expected, Walk(it));
    }
    // Increments return the text before or after the step; assigning a number repositions.
    SFM_MessageDB::SectionIterator it(l.db.get(), "S", 2);
    EXPECT_EQ("two", Text(it++));
    EXPECT_EQ(5, it.GetPosition());
    EXPECT_EQ("", Text(++it));
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(-1, it.GetPosition());
    EXPECT_EQ("", Text(it));
    it = 3;
    EXPECT_EQ("five", Text(it));
}

// A missing file, in either form, leaves an empty database.
TEST(SFM_MessageDB, IteratorStepsWithoutDatabaseOrKeyTableAreReported) {
    ScopedReportRecorder recorder;
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
    ExpectDatabaseReports(6, recorder.Reports());
}

// ---------------------------------------------------------------------------------------------
// The binary form.

const char kSample[] =
    "4:unnamed four$\n"
    "[Errors]\n"
    "1:Disk full\n"
    "7:seven\n"
    "[Middle]\n"
    "3:three\n"
    "[Last]\n"
    "3:again\n";

// Every observable answer of a database: texts of its keys and of keys around them, and the
// named sections' bases, highest numbers and walks.
std::vector<std::string> Answers(SFM_MessageDB& db, const std::vector<int32_t>& keys,
                                 const std::vector<std::string>& sections) {
    std::vector<std::string> answers;
    for (int32_t key : keys)
        for (long k = key - 1; k <= key + 1; ++k)
            answers.push_back(std::to_string(k) + "=" + Txt(db, k));
    for (const std::string& name : sections) {
        answers.push_back(name + "@" + std::to_string(db.GetSectionBase(name.c_str())));
        for (SFM_MessageDB::SectionIterator it(&db, name.c_str(), 0); !it.IsEmpty(); ++it)
            answers.push_back(name + "#" + std::to_string(it.GetPosition()) + "=" + Text(it));
    }
    return answers;
}

// Saved and loaded again, the database gives the same answers, except that the unnamed section
// is not saved; saving a database onto the file it came from keeps every text.
TEST(SFM_MessageDB_Binary, RoundTripGivesTheSameAnswersWithoutTheUnnamedSection) {
    ScopedReportRecorder recorder;  // a valid file loads without any report
    TempDir dir;
    Loaded text = LoadText(dir / "m.txt", kSample);
    ASSERT_EQ("", text.printed);
    text.db->Save((dir / "m.mdb").c_str());
    const std::string saved = ReadBytes(dir / "m.mdb");
    {
        SFM_MessageDB binary(SYS_String((dir / "m.mdb").c_str()));
        const std::vector<std::string> named = {"Errors", "Middle", "LAST", "none"};
        EXPECT_EQ(text.db->GetKeys(), binary.GetKeys());
        EXPECT_EQ(Answers(*text.db, text.db->GetKeys(), named),
                  Answers(binary, text.db->GetKeys(), named));
        EXPECT_EQ("unnamed four", Txt(binary, 4));
        EXPECT_EQ(0, text.db->GetSectionBase(""));
        EXPECT_EQ(-1, binary.GetSectionBase(""));
        binary.Save((dir / "m.mdb").c_str());
    }
    EXPECT_EQ(saved, ReadBytes(dir / "m.mdb"));
    EXPECT_EQ(std::vector<Report>(), recorder.Reports());
}

// The form counts its records in 16 bits: one entry more than it can count is refused, reported,
// and nothing is written.
TEST(SFM_MessageDB_Binary, SaveRefusesMoreEntriesThanTheFormCounts) {
    TempDir dir;
    for (int count : {32767, 32768}) {
        SCOPED_TRACE(count);
        ScopedReportRecorder recorder;
        std::string content;
        for (int i = 0; i < count; ++i) content += std::to_string(i) + ":t\n";
        Loaded l = LoadText(dir / "big.txt", content);
        const std::string out = dir / ("big" + std::to_string(count) + ".mdb");
        l.db->Save(out.c_str());
        EXPECT_EQ(count == 32767, Exists(out));
        ExpectDatabaseReports(count == 32767 ? 0 : 1, recorder.Reports());
    }
}

// Save finds no section named after the text of a negative key, reports it and saves the key as
// a section record; a save to a directory that does not exist writes nothing.
TEST(SFM_MessageDB_Binary, ANegativeKeyIsSavedAsASectionRecordAndAMissingDirectoryGetsNothing) {
    ScopedReportRecorder recorder;
    TempDir dir;
    Loaded l = LoadText(dir / "m.txt", "-5:below zero\n1:one\n");
    l.db->Save((dir / "m.mdb").c_str());
    ExpectDatabaseReports(1, recorder.Reports());
    SFM_MessageDB binary(SYS_String((dir / "m.mdb").c_str()));
    EXPECT_EQ("below zero", Txt(binary, -5));
    EXPECT_EQ("one", Txt(binary, 1));
    EXPECT_EQ(5, binary.GetSectionBase("below zero"));
    binary.Save((dir / "missing/m.mdb").c_str());
    EXPECT_FALSE(Exists(dir / "missing/m.mdb"));
}

// A file of the binary form: a header counting `records`, the records, then their texts. Fields
// are little-endian, as on the host.
std::string BinaryFile(int16_t records, const std::vector<std::string>& fields, const std::string& texts) {
    std::string out(14, '\0');
    std::memcpy(&out[2], &records, 2);
    std::memcpy(&out[4], &records, 2);
    for (const std::string& record : fields) out += record;
    return out + texts;
}

// One record: a section record when `section`, its text at `offset` of `length` bytes.
std::string Record(bool section, int32_t offset, int32_t length, int32_t highest, const char* number) {
    std::string out(36, '\0');
    out[2] = section ? 1 : 0;
    std::memcpy(&out[4], &offset, 4);
    std::memcpy(&out[8], &length, 4);
    std::memcpy(&out[12], &highest, 4);
    std::memcpy(&out[16], number, std::strlen(number));
    return out;
}

// Offsets that cannot be read give empty texts, without a report; a walk ends at the section's
// highest number even when keys follow.
TEST(SFM_MessageDB_Binary, HostileOffsetsAndHighestNumbersGiveBoundedAnswers) {
    ScopedReportRecorder recorder;
    TempDir dir;
    const std::string texts("Name\0text\0", 10);
    WriteBytes(dir / "beyond.mdb", BinaryFile(1, {Record(false, 0x7fffffff, 5, 0, "1")}, texts));
    WriteBytes(dir / "before.mdb", BinaryFile(1, {Record(true, -100, 5, 0, "5")}, texts));
    WriteBytes(dir / "low.mdb", BinaryFile(2, {Record(true, 0, 5, 1, "4"), Record(false, 5, 5, 0, "9")}, texts));
    SFM_MessageDB beyond(SYS_String((dir / "beyond.mdb").c_str()));
    SFM_MessageDB before(SYS_String((dir / "before.mdb").c_str()));
    SFM_MessageDB low(SYS_String((dir / "low.mdb").c_str()));
    EXPECT_EQ(1, beyond.GetCount());
    EXPECT_EQ("", Txt(beyond, 1));
    EXPECT_EQ("", Txt(before, -6));
    EXPECT_EQ("text", Txt(low, 9));
    EXPECT_TRUE(SFM_MessageDB::SectionIterator(&low, "Name", 0).IsEmpty());
    EXPECT_TRUE(recorder.Reports().empty());
}

// ---------------------------------------------------------------------------------------------
// The file manager's database. Initiate acts once per manager, so each case runs in a child
// process whose manager has no database yet; the child's exit code names the first expectation
// that failed (0: all held).

int InChild(const std::function<int()>& body) {
    return RunInChild(body, ChildExit::Normal);
}

// A text form and its binary form of the same messages: a form read as the other loads nothing.
struct Forms {
    TempDir dir;
    std::string text = dir / "messages.txt";
    std::string binary = dir / "messages.MDB";
    Forms() {
        WriteBytes(text, "[S]\n1:one\n");
        SFM_MessageDB(text.c_str(), 0).Save(binary.c_str());
    }
};

// The extension .mdb, in any case, names the binary form, anything else the text form. A
// missing file gives an empty database, and the manager's hooks hear of the failed open.
TEST(SFM_MessageDBManager, InitiateChoosesTheFormByTheExtensionIgnoringCase) {
    const struct {
        const char* file;  // relative to the directory of Forms
        bool binary;
        bool exists;
    } cases[] = {
        {"m.MDB", true, true}, {"m", false, true}, {"d.mdb/m", false, true}, {"none.mdb", true, false},
    };
    Forms forms;
    mkdir((forms.dir / "d.mdb").c_str(), 0700);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = forms.dir / c.file;
        if (c.exists) WriteBytes(path, ReadBytes(c.binary ? forms.binary : forms.text));
        EXPECT_EQ(0, InChild([&] {
            SFM* manager = SFM::GetManager();
            ScopedEventRecorder events;
            manager->Initiate(path.c_str());
            if (manager->GetMessageDB() == nullptr) return 1;
            if (events.Count(SFM::EC_OPEN_FAILED) != (c.exists ? 0 : 1)) return 2;
            return (manager->GetMessageDB()->getTxt(3) == "one") == c.exists ? 0 : 3;
        }));
    }
}

// A manager without database reports IsValid; only the first Initiate that names a file creates
// the database, which the manager's end deletes, closing its file.
TEST(SFM_MessageDBManager, TheDatabaseLivesFromTheFirstNamedInitiateToTheManagersEnd) {
    Forms forms;
    EXPECT_EQ(0, InChild([&] {
        SFM* manager = SFM::GetManager();
        ScopedReportRecorder recorder;
        if (manager->IsValid() != 0) return 1;
        const std::vector<Report> reports = recorder.Take();
        if (reports.size() != 1 || reports[0].message != "Vosk: " ||
            reports[0].unit != "sfm/sfmanagr" || reports[0].type != 1)
            return 2;
        manager->Initiate(nullptr);
        if (manager->GetMessageDB() != nullptr) return 3;
        manager->Initiate(forms.binary.c_str());
        SFM_MessageDB* first = manager->GetMessageDB();
        manager->Initiate(forms.text.c_str());
        if (manager->GetMessageDB() != first || first->GetSectionBase("") != -1) return 4;
        if (manager->IsValid() != 1 || !recorder.Reports().empty()) return 5;
        ScopedEventRecorder events;
        delete manager;
        return events.Count(SFM::EC_CLOSED) == 1 ? 0 : 6;
    }));
}

TEST(SFM_MessageDBManager, ExternalFileNamesAreCompletedAgainstTheHostsDirectories) {
    SFM* manager = SFM::GetManager();
    SFM_DirArray& dirs = manager->GetDirectories();
    dirs.Add(SFM_Directory("C:\\work"));
    EXPECT_EQ("C:\\work\\plan.brd", Text(manager->GetExternalFileName(0, "plan.brd")));
    // A name with a base path stays as it is.
    EXPECT_EQ("D:\\other.brd", Text(manager->GetExternalFileName(0, "D:\\other.brd")));
    SFM_DirArray copy(dirs);  // copies hold their own directories
    copy[0] = "D:\\other";
    EXPECT_EQ("C:\\work\\plan.brd", Text(manager->GetExternalFileName(0, "plan.brd")));
    ScopedReportRecorder recorder;
    EXPECT_EQ("plan.brd", Text(manager->GetExternalFileName(1, "plan.brd")));
    ASSERT_EQ(1u, recorder.Reports().size());
    EXPECT_EQ("scc/SCC_Array_Inline", recorder.Reports()[0].unit);
    dirs.RemoveAll();
}

}  // namespace
