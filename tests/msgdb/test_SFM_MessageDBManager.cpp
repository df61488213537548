// The file manager's message database and directories. Initiate acts once per manager, so each
// case runs in a child process whose manager has no database yet; the child's exit code names
// the first expectation that failed (0: all held).
#include <gtest/gtest.h>

#include <string>

#include "SFM.h"
#include "SFM_MessageDB.h"
#include "msgdb_test_support.h"
#include "tessar_reports.h"

using namespace msgdb_test;

namespace {

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
        EXPECT_EQ(0, RunInChild([&] {
            SFM* manager = SFM::GetManager();
            tessar_test::ScopedEventRecorder events;
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
    EXPECT_EQ(0, RunInChild([&] {
        SFM* manager = SFM::GetManager();
        tessar_test::ScopedReportRecorder recorder;
        if (manager->IsValid() != 0) return 1;
        const std::vector<tessar_test::Report> reports = recorder.Take();
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
        tessar_test::ScopedEventRecorder events;
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

    tessar_test::ScopedReportRecorder recorder;
    EXPECT_EQ("plan.brd", Text(manager->GetExternalFileName(2, "plan.brd")));
    ASSERT_EQ(1u, recorder.Reports().size());
    EXPECT_EQ("scc/SCC_Array_Inline", recorder.Reports()[0].unit);
    dirs.RemoveAll();
}

}  // namespace
