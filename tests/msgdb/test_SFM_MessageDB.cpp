// The message database: the text form, lookups, sections and the iterator; the binary form,
// its round trip and hostile files; and the file manager's database.
#include <gtest/gtest.h>

#include <cstdint>
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

inline std::unique_ptr<SFM_MessageDB> LoadBinary(const std::string& path,
                                                 const std::string& bytes) {
    WriteBytes(path, bytes);
    return std::unique_ptr<SFM_MessageDB>(new SFM_MessageDB(SYS_String(path.c_str())));
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

// Little-endian pieces of the binary form, written independently of the library's writer.
inline void Put16(std::string& out, int v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}
inline void Put32(std::string& out, int64_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}
inline std::string Header(int r, int n) {
    std::string out;
    Put16(out, 0);
    Put16(out, r);
    Put16(out, n);
    Put32(out, 0);
    Put32(out, 0);
    return out;
}
// One record; `number` is the 20-byte field as given (padded with NULs, or cut to 20 bytes).
inline std::string Record(int index, int flag, int64_t offset, int64_t length, int64_t highest,
                          const std::string& number) {
    std::string out;
    Put16(out, index);
    out += static_cast<char>(flag);
    out += '\0';
    Put32(out, offset);
    Put32(out, length);
    Put32(out, highest);
    std::string field = number.substr(0, 20);
    field.resize(20, '\0');
    return out + field;
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
    {"lines before any header have base 0", "5:x\n[A]\n1:y\n", "", {{5, "x"}, {8, "y"}, {-7, "A"}}},
    {"headers in a row share the base", "1:a\n[F]\n[S]\n1:b\n", "", {{-3, "F"}, {4, "b"}}},
    // The ignored duplicate still moves the last key: [s] starts after key 5, base 7.
    {"the first definition of a key wins", "1:first\n1:second\n[S]\n2:x\n[s]\n1:y\n", "",
     {{1, "first"}, {5, "x"}, {8, "y"}, {-3, "S"}, {-7, "s"}}},
    {"a bracket inside or missing", "[A]x]\n1:a\n[A\n",
     "F(1) : invalid section : \"[A]x]\"\nF(3) : invalid section : \"[A\"\n", {{1, "a"}}},
    {"a colon first or none", "\n:abc\nabc\n",
     "F(2) : invalid line : \":abc\"\nF(3) : invalid line : \"abc\"\n", {}},
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
    SFM_MessageDB::SectionIterator copy(l.db.get(), "none", 1);
    copy = it;
    EXPECT_EQ("S", Text(copy.GetName()));
    EXPECT_EQ(5, copy.GetPosition());
    it.Clear();
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(5, copy.GetPosition());  // copies are independent
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
    "; sample\n"
    "0:unnamed zero\n"
    "4:unnamed four$\n"
    "[Errors]\n"
    "1:Disk full\n"
    "2:Retry? $\n"
    "2:ignored duplicate\n"
    "7:seven\n"
    "[Warnings]\n"
    "1:Low\n"
    "[Empty]\n"
    "3:empty three\n"
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
        const std::vector<std::string> named = {"Errors", "Warnings", "Empty", "LAST", "none"};
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

// ---------------------------------------------------------------------------------------------
// Hostile files.

// Loads `bytes` and checks what holds for any content: every text fits the lookup buffer, no
// more entries than records present, and every walk ends. Returns the database for more checks.
std::unique_ptr<SFM_MessageDB> LoadHostile(const TempDir& dir, const std::string& bytes) {
    auto db = LoadBinary(dir / "h.mdb", bytes);
    const long recordsPresent = bytes.size() < 14 ? 0 : static_cast<long>((bytes.size() - 14) / 36);
    EXPECT_LE(db->GetCount(), recordsPresent);
    for (int32_t key : db->GetKeys()) EXPECT_LE(db->getTxt(key).GetLength(), 199);
    for (const auto* s = db->GetFirstSection(); s != nullptr; s = s->GetNext()) {
        long steps = 0;
        for (SFM_MessageDB::SectionIterator it(db.get(), s->GetName(), 0); !it.IsEmpty(); ++it)
            EXPECT_LE(++steps, db->GetCount());
    }
    return db;
}

struct HostileCase {
    const char* name;
    std::string bytes;
    std::vector<std::pair<long, std::string>> texts;  // key = expected text
    long count;
};

const std::string kTexts = std::string("Name\0text\0", 10);

TEST(SFM_MessageDB_Binary, HostileFieldsGiveBoundedAnswers) {
    const std::string twentyDigits(20, '9');
    const HostileCase cases[] = {
        {"R and N negative", Header(-1, -1) + Record(0, 0, 0, 5, 0, "1") + kTexts, {{1, ""}}, 0},
        {"N beyond the records present", Header(1, 500) + Record(0, 0, 0, 5, 0, "1") + kTexts,
         {{1, "Name"}}, 1},
        {"R negative moves the text area before the records",
         Header(-1, 1) + Record(0, 0, 72, 5, 0, "1") + kTexts, {{1, "Name"}}, 1},
        {"offset beyond 32 bits", Header(1, 1) + Record(0, 0, 0x7fffffff, 5, 0, "1") + kTexts,
         {{1, ""}}, 1},
        {"length 255 is 0", Header(1, 1) + Record(0, 0, 0, 255, 0, "1") + kTexts, {{1, ""}}, 1},
        {"number field without NUL saturates",
         Header(1, 1) + Record(0, 0, 5, 5, 0, twentyDigits) + kTexts, {{2147483647L, "text"}}, 1},
        {"section number INT32_MIN wraps its key",
         Header(1, 1) + Record(0, 1, 0, 5, 3, "-2147483648") + kTexts, {{2147483647L, "Name"}}, 1},
        {"section name without NUL up to the end",
         Header(1, 1) + Record(0, 1, 0, 400, 0, "5") + "Nameless", {{-6, "Nameless"}}, 1},
        {"short header", std::string("\0\0\1", 3), {}, 0},
        {"section name before the file", Header(1, 1) + Record(0, 1, -100, 5, 0, "5") + kTexts,
         {{-6, ""}}, 1},
        {"a section record names its section", Header(3, 3) + Record(0, 1, 0, 5, 9, "4") +
             Record(1, 0, 5, 5, 9, "6") + Record(2, 0, 5, 5, 9, "9") + kTexts,
         {{-5, "Name"}, {6, "text"}, {9, "text"}}, 3},
    };
    TempDir dir;
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto db = LoadHostile(dir, c.bytes);
        EXPECT_EQ(c.count, db->GetCount());
        for (const auto& row : c.texts) EXPECT_EQ(row.second, Txt(*db, row.first)) << row.first;
    }
}

// ---------------------------------------------------------------------------------------------
// The file manager's database. Initiate acts once per manager, so each case runs in a child
// process whose manager has no database yet; the child's exit code names the first expectation
// that failed (0: all held).

int InChild(const std::function<int()>& body) {
    return RunInChild(body, ChildExit::Normal);
}

// A text form and its binary form, so that the form Initiate chose shows in the answers: the
// text form read as binary (or the reverse) loads nothing under key 3.
struct Forms {
    TempDir dir;
    std::string text = dir / "messages.txt";
    std::string binary = dir / "messages.MDB";
    Forms() {
        WriteBytes(text, "[S]\n1:one\n");
        SFM_MessageDB(text.c_str(), 0).Save(binary.c_str());
    }
};

enum Content { kTextForm, kBinaryForm, kNoFile };

struct InitiateCase {
    const char* name;
    std::string file;  // relative to the directory of Forms
    Content content;
    bool loads;        // key 3 answers "one"
};

// A missing file gives an empty database, and the manager's hooks hear of the failed open.
TEST(SFM_MessageDBManager, InitiateChoosesTheFormByTheExtensionIgnoringCase) {
    const InitiateCase cases[] = {
        {"upper-case .MDB is binary", "m.MDB", kBinaryForm, true},
        {"mixed-case .mDb is binary", "m.mDb", kBinaryForm, true},
        {".txt is text", "m.txt", kTextForm, true},
        {"no extension is text", "m", kTextForm, true},
        {"binary content under .txt is read as text", "m.txt", kBinaryForm, false},
        {"text content under .mdb is read as binary", "m.mdb", kTextForm, false},
        {".mdb only in a directory name is text", "d.mdb/m", kTextForm, true},
        {"a missing file", "none.mdb", kNoFile, false},
    };
    Forms forms;
    mkdir((forms.dir / "d.mdb").c_str(), 0700);
    for (const InitiateCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = forms.dir / c.file;
        if (c.content != kNoFile)
            WriteBytes(path, ReadBytes(c.content == kBinaryForm ? forms.binary : forms.text));
        EXPECT_EQ(0, InChild([&] {
            SFM* manager = SFM::GetManager();
            ScopedEventRecorder events;
            testing::internal::CaptureStdout();  // a binary file read as text prints errors
            manager->Initiate(path.c_str());
            testing::internal::GetCapturedStdout();
            if (manager->GetMessageDB() == nullptr) return 1;
            if (events.Count(SFM::EC_OPEN_FAILED) != (c.content == kNoFile ? 1 : 0)) return 2;
            return (manager->GetMessageDB()->getTxt(3) == "one") == c.loads ? 0 : 3;
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
    dirs.Add(SFM_Directory("\\\\srv\\share\\lib\\"));
    struct Case {
        int index;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {0, "plan.brd", "C:\\work\\plan.brd"},
        {1, "parts\\r.lib", "\\\\srv\\share\\lib\\parts\\r.lib"},
        {0, "D:\\other.brd", "D:\\other.brd"},  // a name with a base path stays as it is
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Text(manager->GetExternalFileName(c.index, c.name))) << c.name;

    SFM_DirArray copy(dirs);  // copies hold their own directories
    copy[0] = "D:\\other";
    EXPECT_EQ("C:\\work\\plan.brd", Text(manager->GetExternalFileName(0, "plan.brd")));
    ScopedReportRecorder recorder;
    EXPECT_EQ("plan.brd", Text(manager->GetExternalFileName(2, "plan.brd")));
    ASSERT_EQ(1u, recorder.Reports().size());
    EXPECT_EQ("scc/SCC_Array_Inline", recorder.Reports()[0].unit);
    dirs.RemoveAll();
}

}  // namespace
