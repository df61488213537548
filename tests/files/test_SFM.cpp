#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "PLT_File.h"
#include "SFM.h"
#include "SFM_File.h"
#include "tessar_files.h"
#include "tessar_reports.h"


using namespace tessar_test;

namespace {

TEST(SFM, OpeningMovesAFileToTheTailAndTooManyFilesClosesTheOldest) {
    TempDir dir;
    SFM_File a((dir / "a").c_str(), "w");
    SFM_File b((dir / "b").c_str(), "w");
    a.Close();
    ASSERT_TRUE(a.Open("w"));
    EXPECT_EQ(&a, SFM::GetManager()->GetFileList().GetTail());
    EXPECT_EQ(&b, a.GetPrev());

    ScopedEventRecorder hooks;
    SFM_EventData data((dir / "c").c_str());
    errno = SFM::kTooManyOpenFiles;
    EXPECT_EQ(SFM::EC_RETRY, SFM::GetManager()->Event(SFM::EC_OPEN_FAILED, data));
    EXPECT_EQ(SFM::kTooManyOpenFiles, errno);  // kept for the caller
    EXPECT_TRUE(hooks.Events().empty());        // decided without the hooks
    EXPECT_FALSE(b.MayBeTempClosed());          // b, the least recently opened, was closed
    EXPECT_TRUE(b.IsOpen());
    EXPECT_TRUE(a.MayBeTempClosed());
}

struct FailureTextCase {
    const char* name;
    SFM::EventCode code;
    int errorCode;
    const char* text;  // before the names; a notification has none
};

TEST(SFM, FailuresGetTheSystemTextAndTheLastFileOfThatNameKeepsIt) {
    const std::string kNames = "\r\n\"same.brd\"\r\n\"copy.brd\"";
    const FailureTextCase cases[] = {
        {"a notification carries the names only", SFM::EC_CLOSED, ENOENT, ""},
        {"known error", SFM::EC_COPY_FAILED, ENOENT, "No such file or directory"},
        {"unknown error", SFM::EC_COPY_FAILED, 4321, "Error 4321 occurred (no further info)."},
    };
    SFM_File older("same.brd"), newer("same.brd");
    ScopedEventRecorder hooks;
    for (const FailureTextCase& c : cases) {
        SCOPED_TRACE(c.name);
        hooks.Clear();
        SFM_EventData data("same.brd", "copy.brd");
        errno = c.errorCode;
        EXPECT_EQ(SFM::EC_NONE, SFM::GetManager()->Event(c.code, data));
        ASSERT_EQ(1u, hooks.Events().size());
        EXPECT_EQ(c.text + kNames, hooks.Events()[0].text);
        EXPECT_EQ(c.errorCode, hooks.Events()[0].errorCode);
        EXPECT_EQ(*c.text != '\0' ? c.text + kNames : "", Text(newer.GetMsg()));
        EXPECT_EQ("", Text(older.GetMsg()));
    }
}

// Without names the text is the failure text alone. Setting none, or an answer over none, is
// quiet; one answer over another is reported.
TEST(SFM_EventData, TextWithoutNamesAndReplacingAnAnswerIsReported) {
    ScopedReportRecorder recorder;
    SFM_EventData data;
    data.SetText("T");
    EXPECT_EQ("T", Text(data.GetText()));
    data.SetResult(SFM::EC_RETRY);
    data.SetResult(SFM::EC_NONE);
    data.SetResult(SFM::EC_YES);
    EXPECT_TRUE(recorder.Reports().empty());
    data.SetResult(SFM::EC_RETRY);
    EXPECT_EQ(SFM::EC_RETRY, data.GetResult());  // replaced after the report
    ASSERT_EQ(1u, recorder.Reports().size());
    EXPECT_EQ("Vosk: ", recorder.Reports()[0].message);
    EXPECT_EQ("sfm/sfmanagr", recorder.Reports()[0].unit);
    EXPECT_EQ(SSM_FailureError, recorder.Reports()[0].type);
}

// ---------------------------------------------------------------------------------------------
// Profile and ShowFile

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { PLT_SetProfilePath((m_dir / "cfg/sub/profile.ini").c_str()); }
    void TearDown() override { PLT_SetProfilePath(nullptr); }
    TempDir m_dir;
};

TEST_F(ProfileTest, SettingsReadBackAndMissingOnesGiveTheDefault) {
    SFM* manager = SFM::GetManager();
    EXPECT_EQ("dflt", Text(manager->ReadProfileString("general", "editor", "dflt")));
    EXPECT_EQ(7, manager->GetProfileIntA("general", "count", 7));
    manager->SetProfileString("general", "editor", "vi -R");
    manager->SetProfileInt("general", "count", -42);
    manager->SetProfileString("Other", "editor", "  padded ");
    EXPECT_EQ("vi -R", Text(manager->ReadProfileString("GENERAL", "Editor", "")));
    EXPECT_EQ(-42, manager->GetProfileIntA("general", "count", 7));
    EXPECT_EQ("  padded ", Text(manager->ReadProfileString("other", "editor", "")));
    EXPECT_EQ("[general]\neditor=vi -R\ncount=-42\n[Other]\neditor=\"  padded \"\n",
              ReadBytes(m_dir / "cfg/sub/profile.ini"));
    std::vector<std::string> names;  // writes leave no temporary file behind
    if (DIR* dir = opendir((m_dir / "cfg/sub").c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        closedir(dir);
    }
    EXPECT_EQ(std::vector<std::string>{"profile.ini"}, names);
}

// Waits (bounded) until the background editor has written its file.
std::string WaitForFile(const std::string& path) {
    for (int i = 0; i < 1000 && !Exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let it finish writing
    return ReadBytes(path);
}

TEST_F(ProfileTest, ShowFileRunsTheEditorWithTheNameAsOneWord) {
    SFM::GetManager()->ShowFile("x.brd");  // no editor: nothing runs, reading created nothing
    errno = 0;
    EXPECT_EQ(-1, waitpid(-1, nullptr, WNOHANG));
    EXPECT_EQ(ECHILD, errno);
    EXPECT_FALSE(Exists(m_dir / "cfg/sub/profile.ini"));
    const std::string script = m_dir / "editor.sh";
    const std::string record = m_dir / "args.txt";
    WriteBytes(script, "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" + record + ".part'\nmv '" +
                           record + ".part' '" + record + "'\n");
    chmod(script.c_str(), 0755);
    SFM::GetManager()->SetProfileString("general", "editor", (script + " -x").c_str());
    const std::string name = m_dir / "it's a; touch pwned $(touch pwned2).brd";
    SFM::GetManager()->ShowFile(name.c_str());
    EXPECT_EQ("2|-x|" + name + "|", WaitForFile(record));
    EXPECT_FALSE(Exists("pwned"));
    EXPECT_FALSE(Exists("pwned2"));
    errno = 0;
    EXPECT_EQ(-1, waitpid(-1, nullptr, WNOHANG));  // no child left to reap
    EXPECT_EQ(ECHILD, errno);
}

TEST(PLT_Profile, TheDefaultPathFollowsTheConfigurationDirectory) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedXdg = xdg != nullptr ? xdg : "";
    const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    PLT_SetProfilePath(nullptr);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ("/cfg/Tessar500r/profile.ini", PLT_GetProfilePath());
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ("/home/u/.config/Tessar500r/profile.ini", PLT_GetProfilePath());
    setenv("HOME", savedHome.c_str(), 1);
    if (xdg != nullptr) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
}

// Editing keeps the rest of the text as it was; a name the format cannot hold is refused and the
// text stays unchanged.
TEST(PLT_Ini, SetReplacesInPlaceAddsWhereTheSectionIsOrRefuses) {
    const struct {
        const char* name;
        const char* text;
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"a replaced line keeps its place", "[g]\nk=1\nz=2\n", "g", "k", "[g]\nk=3\nz=2\n"},
        {"a new key joins its section", "[g]\nk=1\n\n[h]\n", "g", "n", "[g]\nk=1\nn=3\n\n[h]\n"},
        {"a new section goes at the end", "[g]\nk=1", "h", "k", "[g]\nk=1\n[h]\nk=3\n"},
        {"a key with '='", "[g]\n", "g", "a=b", "[g]\n"},
        {"a section with ']'", "[g]\n", "g]x", "k", "[g]\n"},
        {"a key with a line break", "[g]\n", "g", "k\n[h]", "[g]\n"},
        {"a section with a line break", "[g]\n", "g\nx", "k", "[g]\n"},
        {"a key starting with ';'", "[g]\n", "g", ";k", "[g]\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, PLT_IniSet(c.text, c.section, c.key, "3"));
    }
}

}  // namespace
