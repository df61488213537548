// Directories on disk: each test works in its own temporary directory; failures are answered by
// hooks on the file manager's event that say retry, overwrite or nothing.
#include <gtest/gtest.h>

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <set>

#include "SFM_Directory.h"
#include "tessar_files.h"

namespace {

using tessar_test::Exists;
using tessar_test::ReadBytes;
using tessar_test::ScopedEventRecorder;
using tessar_test::TempDir;
using tessar_test::WriteBytes;
using tessar_test::Text;

typedef std::set<std::string> Names;

// The current directory, restored at the end of a test that changes it.
class ScopedCurrentDirectory {
public:
    ScopedCurrentDirectory() : m_saved(getcwd(nullptr, 0)) {}
    ~ScopedCurrentDirectory() {
        if (m_saved != nullptr && chdir(m_saved) != 0) ADD_FAILURE() << "cannot restore " << m_saved;
        std::free(m_saved);
    }

private:
    char* m_saved;
};

typedef char* (SFM_Directory::*Listing)(const char*);

// Every name a listing gives for `pattern`.
Names List(SFM_Directory& dir, Listing next, const char* pattern) {
    Names names;
    for (const char* name = (dir.*next)(pattern); name != nullptr; name = (dir.*next)(nullptr))
        names.insert(name);
    return names;
}

// A directory with files of every kind of name, two subdirectories and a link to a directory.
class ListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file : {"a.txt", "b.brd", "noext", ".hidden", "x.tar.gz"})
            WriteBytes(m_temp / file, file);
        mkdir((m_temp / "sub1").c_str(), 0700);
        mkdir((m_temp / "sub2.d").c_str(), 0700);
        ASSERT_EQ(0, symlink("sub1", (m_temp / "link").c_str()));
        m_dir = m_temp.Path().c_str();
    }
    Names Entries(const char* pattern) { return List(m_dir, &SFM_Directory::GetNextEntry, pattern); }
    Names Files(const char* pattern) { return List(m_dir, &SFM_Directory::GetNextFile, pattern); }
    Names Subdirs(const char* pattern) { return List(m_dir, &SFM_Directory::GetNextSubdir, pattern); }

    TempDir m_temp;
    SFM_Directory m_dir;
};

TEST_F(ListingTest, EachListingKeepsItsKindAndPatternsMatchTheLastComponent) {
    EXPECT_EQ((Names{".", "..", "a.txt", "b.brd", "noext", ".hidden", "x.tar.gz", "sub1", "sub2.d",
                     "link"}),
              Entries("*.*"));
    EXPECT_EQ((Names{"a.txt", "b.brd", "noext", ".hidden", "x.tar.gz", "link"}), Files("*.*"));
    EXPECT_EQ((Names{"sub1", "sub2.d"}), Subdirs("*.*"));
    EXPECT_EQ(1, m_dir.FileExists("*.brd"));
    EXPECT_EQ(0, m_dir.FileExists("sub1"));
    EXPECT_EQ(1, m_dir.DirExists("sub*"));
    EXPECT_EQ(0, m_dir.DirExists("link"));
    EXPECT_EQ((Names{"noext"}), Files("noext.*"));  // ".*" also matches no extension
    WriteBytes(m_temp / "[a].txt", "brackets are plain characters");
    EXPECT_EQ(Names{}, Files("[ab].*"));
    EXPECT_EQ((Names{"[a].txt"}), Files("[a].*"));
    EXPECT_EQ(Names{}, Files("A.TXT"));  // case matters
    WriteBytes(m_temp / "sub1/in.txt", "x");
    EXPECT_EQ((Names{"in.txt"}), Files("sub1\\*.*"));  // either separator
    EXPECT_EQ((Names{"sub1"}), Subdirs("sub1\\"));    // a trailing default separator is dropped
}

// MakePath answers non-zero when it created the deepest level; the current directory may be
// longer than any fixed buffer.
TEST(SFM_Directory, MakePathCreatesEveryLevelAndTheCurrentDirectoryHasAnyLength) {
    ScopedCurrentDirectory restore;
    TempDir temp;
    SFM_Directory dir;
    const std::string root = temp.Path();
    EXPECT_EQ(0, dir.MakePath(""));
    EXPECT_EQ(0, dir.MakePath(root.c_str()));  // exists already
    std::string deep = root + "/a";
    while (deep.size() < 700) deep += "/" + std::string(60, 'd');
    EXPECT_NE(0, dir.MakePath((deep + "/").c_str()));
    EXPECT_NE(0, dir.MakePath((root + "\\b\\c").c_str()));  // either separator
    EXPECT_TRUE(Exists(root + "/b/c"));
    EXPECT_EQ(0, dir.MakeDirectory((root + "/a").c_str()));
    EXPECT_NE(0, dir.MakeDirectory((root + "\\e").c_str()));
    EXPECT_TRUE(Exists(root + "/e"));
    EXPECT_EQ(0, dir.SetCurDir(deep.c_str()));
    EXPECT_EQ(deep + "\\", Text(dir.GetCurDir()));
    EXPECT_EQ(-1, dir.SetCurDir((temp / "missing").c_str()));
    EXPECT_EQ(deep + "\\", Text(dir.GetCurDir()));
}

// Answers every event of `code` with `answer`, at most `times` times.
ScopedEventRecorder::Answer AnswerTimes(int code, SFM::EventCode answer, int times) {
    auto left = std::make_shared<int>(times);
    return [=](int seen, const SFM_EventData&) {
        if (seen != code || *left == 0) return SFM::EC_NONE;
        --*left;
        return answer;
    };
}

// A copy or move onto an existing file asks first and never loses the target without leave;
// a failed copy is tried again when a hook answers retry.
TEST(SFM_Directory, CopyAndMoveAskBeforeOverwritingAndRetryOnRequest) {
    TempDir temp;
    SFM_Directory dir(temp.Path().c_str());
    // Brackets in the target's name are plain characters: an existing "[to].brd" is found.
    const std::string from = temp / "from.brd", to = temp / "[to].brd";
    WriteBytes(from, "new");
    WriteBytes(to, "old");
    {
        ScopedEventRecorder silent;
        EXPECT_EQ(0, dir.CopyFileA(from.c_str(), to.c_str(), 0));
        EXPECT_EQ(0, dir.MoveFileA(from.c_str(), to.c_str(), 0));
        EXPECT_EQ("old", ReadBytes(to));
        ASSERT_EQ(std::vector<int>(2, SFM::EC_TARGET_EXISTS), silent.Codes());
        EXPECT_EQ(from, silent.Events()[0].name1);
        EXPECT_EQ(to, silent.Events()[0].name2);
        EXPECT_EQ(0, dir.MoveFileA((temp / "missing").c_str(), to.c_str(), 1));
        EXPECT_EQ("old", ReadBytes(to));  // a missing source deletes nothing
        EXPECT_EQ(SFM::EC_MOVE_FAILED, silent.Codes().back());
    }
    {
        ScopedEventRecorder yes(AnswerTimes(SFM::EC_TARGET_EXISTS, SFM::EC_YES, 2));
        EXPECT_EQ(1, dir.CopyFileA(from.c_str(), to.c_str(), 0));
        EXPECT_EQ("new", ReadBytes(to));
        WriteBytes(to, "old");
        EXPECT_EQ(1, dir.MoveFileA(from.c_str(), to.c_str(), 0));
        EXPECT_EQ("new", ReadBytes(to));
        EXPECT_FALSE(Exists(from));
    }
    const std::string missing = temp / "sub/x";
    ScopedEventRecorder retry([&](int code, const SFM_EventData& data) {
        EXPECT_EQ(ENOENT, data.GetErrorCode());
        mkdir((temp / "sub").c_str(), 0700);  // the hook repairs, then asks again
        return code == SFM::EC_COPY_FAILED ? SFM::EC_RETRY : SFM::EC_NONE;
    });
    EXPECT_EQ(1, dir.CopyFileA(to.c_str(), missing.c_str(), 0));
    EXPECT_EQ(std::vector<int>{SFM::EC_COPY_FAILED}, retry.Codes());
    EXPECT_EQ("new", ReadBytes(missing));
}

TEST(SFM_Directory, CopyFailsOntoItselfFromADirectoryOrWithoutAName) {
    TempDir temp;
    WriteBytes(temp / "a", "keep");
    ScopedEventRecorder events;
    EXPECT_EQ(0, SFM_Directory().CopyFileA((temp / "a").c_str(), (temp / "a").c_str(), 1));
    EXPECT_EQ("keep", ReadBytes(temp / "a"));
    EXPECT_EQ(0, SFM_Directory().CopyFileA(temp.Path().c_str(), (temp / "b").c_str(), 1));
    EXPECT_FALSE(Exists(temp / "b"));
    SFM_Directory lister(temp.Path().c_str());  // a missing name names no file, even in a listing
    ASSERT_NE(nullptr, lister.GetNextFile("*.*"));
    EXPECT_EQ(0, lister.CopyFileA(nullptr, (temp / "a").c_str(), 0));
    EXPECT_EQ("keep", ReadBytes(temp / "a"));
    ASSERT_EQ(std::vector<int>(3, SFM::EC_COPY_FAILED), events.Codes());  // nothing to ask about
    EXPECT_EQ(EISDIR, events.Events()[1].errorCode);
}

// A hook that always answers retry is asked a bounded number of times.
TEST(SFM_Directory, DeletesRetryABoundedNumberOfTimes) {
    TempDir temp;
    SFM_Directory dir(temp.Path().c_str());
    ScopedEventRecorder always([](int, const SFM_EventData&) { return SFM::EC_RETRY; });
    EXPECT_EQ(0, dir.DeleteFileA((temp / "missing").c_str()));
    EXPECT_EQ(SFM::kMaxOpenAttempts, always.Count(SFM::EC_DELETE_FAILED));
}

TEST(SFM_Directory, DeleteAllEmptiesTheTreeAndNeverFollowsLinks) {
    ScopedCurrentDirectory restore;
    TempDir temp, outside;
    WriteBytes(outside / "keep", "k");
    const std::string root = temp / "root";
    SFM_Directory dir;
    ASSERT_NE(0, dir.MakePath((root + "/a/b/c").c_str()));
    for (const char* file : {"/f", "/.hidden", "/a/g.txt", "/a/b/c/h"}) WriteBytes(root + file, "x");
    ASSERT_EQ(0, symlink(outside.Path().c_str(), (root + "/a/out").c_str()));
    ASSERT_EQ(0, chdir((root + "/a/b").c_str()));  // inside the tree
    dir = root.c_str();
    EXPECT_EQ(1, dir.DeleteAll());
    EXPECT_TRUE(Exists(root));
    EXPECT_EQ(Names{}, List(dir, &SFM_Directory::GetNextFile, "*"));
    EXPECT_EQ(0, dir.DirExists("*.*"));
    EXPECT_EQ("k", ReadBytes(outside / "keep"));
}

TEST(SFM_Directory, FileOperationsByNameStayRelativeToTheCurrentDirectory) {
    ScopedCurrentDirectory restore;
    TempDir temp;
    ASSERT_EQ(0, chdir(temp.Path().c_str()));
    WriteBytes(temp / "a.brd", "board");
    SFM_File file("a.brd");
    EXPECT_EQ(1, file.Exists());
    EXPECT_EQ(1, file.Copy("b.brd", 0));
    EXPECT_EQ("board", ReadBytes(temp / "b.brd"));
    EXPECT_EQ(0, file.Copy("b.brd", 0));  // exists, nobody allows the overwrite
    EXPECT_EQ(1, file.Move("c.brd", 0));
    SFM_File moved("c.brd");
    EXPECT_EQ(0, file.Exists());
    EXPECT_EQ(1, moved.Delete());
}

}  // namespace
