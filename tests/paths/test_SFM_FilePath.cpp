#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "paths_test_support.h"
#include "tessar_reports.h"

namespace {

using paths_test::IsConsistent;
using paths_test::Parts;
using paths_test::PartsOf;
using paths_test::ScopedDefaultSeparator;
using paths_test::Text;

TEST(SFM_FilePath, AssignmentParsesOrClears) {
    SFM_FilePath path("C:\\a\\b.c");
    EXPECT_EQ("d/e.f", Text(path = "d/e.f"));
    EXPECT_EQ("", Text(path = static_cast<const char*>(nullptr)));
    EXPECT_EQ((Parts{}), PartsOf(path));
    EXPECT_EQ("x.y", Text(path = CString("x.y")));
    EXPECT_TRUE((path = "").IsEmpty());
}

struct WriteCase {
    const char* name;
    const char* start;
    std::function<SYS_String(SFM_FilePath&)> write;
    const char* full;
};

const WriteCase kWrite[] = {
    {"extension without dot", "plan.brd", [](SFM_FilePath& p) { return p.SetFileExtension("txt"); }, "plan.txt"},
    {"extension with dot", "plan.brd", [](SFM_FilePath& p) { return p.SetFileExtension(".txt"); }, "plan.txt"},
    {"empty extension removes it", "plan.brd", [](SFM_FilePath& p) { return p.SetFileExtension(""); }, "plan"},
    {"null extension removes it", "plan.brd", [](SFM_FilePath& p) { return p.SetFileExtension(nullptr); }, "plan"},
    {"double extension keeps the last", "plan.brd", [](SFM_FilePath& p) { return p.SetFileExtension("tar.gz"); }, "plan.gz"},
    {"extension on a directory", "C:\\d\\", [](SFM_FilePath& p) { return p.SetFileExtension("x"); }, "C:\\d\\.x"},
    {"extension with path form", "", [](SFM_FilePath& p) { return p.SetFileExtension("C:\\a\\b.c", "txt"); }, "C:\\a\\b.txt"},
    {"name with extension kept", "plan.brd", [](SFM_FilePath& p) { return p.SetFileName("x.y", 0); }, "x.y.brd"},
    {"name only", "plan.brd", [](SFM_FilePath& p) { return p.SetFileName("x.y", 1); }, "x.brd"},
    {"name from a path", "C:\\a\\plan.brd", [](SFM_FilePath& p) { return p.SetFileName("D:\\q\\r.s", 1); }, "C:\\a\\r.brd"},
    {"name with path form", "", [](SFM_FilePath& p) { return p.SetFileName("/a/b.c", "d", 1); }, "/a/d.c"},
    {"name and extension", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetFileNameExt("x.txt"); }, "C:\\w\\x.txt"},
    {"name and extension without extension", "plan.brd", [](SFM_FilePath& p) { return p.SetFileNameExt("x"); }, "x"},
    {"name and extension parse the name again", "plan.brd", [](SFM_FilePath& p) { return p.SetFileNameExt("a.b.c"); }, "a.c"},
    {"name and extension with path form", "", [](SFM_FilePath& p) { return p.SetFileNameExt("/a/b.c", "d.e"); }, "/a/d.e"},
    {"directory gets a separator", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetFileDirectory("D:\\data"); }, "D:\\data\\plan.brd"},
    {"directory with slash kept", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetFileDirectory("/tmp/"); }, "/tmp/plan.brd"},
    {"empty directory", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetFileDirectory(""); }, "plan.brd"},
    {"drive as directory", "x.y", [](SFM_FilePath& p) { return p.SetFileDirectory("C:"); }, "C:\\x.y"},
    {"directory with path form", "", [](SFM_FilePath& p) { return p.SetFileDirectory("a/b.c", "q"); }, "q\\b.c"},
    {"base path", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetBasePath("D:\\other\\x"); }, "D:\\w\\plan.brd"},
    {"network base path", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetBasePath("\\\\s\\h\\x"); }, "\\\\s\\h\\\\w\\plan.brd"},
    {"base path with path form", "", [](SFM_FilePath& p) { return p.SetBasePath("C:x", "E:"); }, "E:x"},
    {"relative directory", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetRelPath("\\a\\b\\c.d"); }, "C:\\a\\b\\plan.brd"},
    {"relative directory without separator", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetRelPath("sub"); }, "C:plan.brd"},
    {"relative directory with path form", "", [](SFM_FilePath& p) { return p.SetRelPath("C:\\w\\x", "y/z/"); }, "C:y/z/x"},
    {"defaults fill empty parts", "plan", [](SFM_FilePath& p) { return p.SetDefault("D:\\x\\def.txt"); }, "D:\\x\\plan.txt"},
    {"defaults fill the name", "C:\\w\\.brd", [](SFM_FilePath& p) { return p.SetDefault("D:\\x\\def.txt"); }, "C:\\w\\def.brd"},
    {"defaults keep set parts", "C:\\w\\a.b", [](SFM_FilePath& p) { return p.SetDefault("D:\\x\\def.txt"); }, "C:\\w\\a.b"},
    {"def path on a name", "plan.brd", [](SFM_FilePath& p) { return p.SetDefPath("C:\\work"); }, "C:\\work\\plan.brd"},
    {"def path on a relative path", "sub\\plan.brd", [](SFM_FilePath& p) { return p.SetDefPath("C:\\work\\"); }, "C:\\work\\sub\\plan.brd"},
    {"def path keeps a slash before the name", "sub/plan.brd", [](SFM_FilePath& p) { return p.SetDefPath("C:\\work"); }, "C:\\work\\sub/plan.brd"},
    {"def path keeps a base path", "E:x\\plan.brd", [](SFM_FilePath& p) { return p.SetDefPath("C:\\work"); }, "E:x\\plan.brd"},
    {"def path on a rooted path takes only the drive", "\\etc\\x", [](SFM_FilePath& p) { return p.SetDefPath("C:\\work"); }, "C:\\etc\\x"},
    {"def path on a rooted posix path", "/etc/x", [](SFM_FilePath& p) { return p.SetDefPath("/tmp/d"); }, "/etc/x"},
    {"def path on a posix name", "x", [](SFM_FilePath& p) { return p.SetDefPath("/tmp/d"); }, "/tmp/d\\x"},
    {"def path with an empty directory", "x", [](SFM_FilePath& p) { return p.SetDefPath(""); }, "x"},
    {"def path on an empty path", "", [](SFM_FilePath& p) { return p.SetDefPath("C:\\w"); }, "C:\\w\\"},
};

TEST(SFM_FilePath, WritersReplaceOnePartAndRebuild) {
    for (const WriteCase& c : kWrite) {
        SCOPED_TRACE(c.name);
        SFM_FilePath path(c.start);
        EXPECT_EQ(c.full, Text(c.write(path)));
        EXPECT_EQ(c.full, Text(path));
        EXPECT_TRUE(IsConsistent(path));
    }
}

TEST(SFM_FilePath, AddSeparatorMovesTheNameIntoTheDirectory) {
    SFM_FilePath path("C:\\work");
    path.AddSeparator();
    EXPECT_EQ((Parts{"C:", "\\work\\", "", ""}), PartsOf(path));
    path.AddSeparator();
    EXPECT_EQ("C:\\work\\", Text(path));
    SFM_FilePath empty;
    empty.AddSeparator();
    EXPECT_TRUE(empty.IsEmpty());
}

struct SeparatorCase {
    int index;
    const char* path;
    const char* added;
    size_t reports;
};

// The default separator is the one added; an index out of range is reported and a backslash
// used. A backslash is no separator to skip when the default is a slash, so one more is added.
TEST(SFM_FilePath, AddSeparatorAddsTheDefaultSeparator) {
    ASSERT_EQ("\\/", Text(SFM_FilePath::DirectorySeparators));
    const SeparatorCase cases[] = {
        {1, "/tmp/d", "/tmp/d/", 0}, {1, "C:\\w\\", "C:\\w\\/", 0}, {7, "a", "a\\", 1}};
    for (const SeparatorCase& c : cases) {
        SCOPED_TRACE(c.path);
        tessar_test::ScopedReportRecorder recorder;
        ScopedDefaultSeparator separator(c.index);
        SFM_FilePath path(c.path);
        path.AddSeparator();
        EXPECT_EQ(c.added, Text(path));
        ASSERT_EQ(c.reports, recorder.Reports().size());
        for (const tessar_test::Report& report : recorder.Reports())
            EXPECT_EQ(tessar_test::Report({"Vosk: ", "sfm/sfmpath", report.line, SSM_FailureError}), report);
    }
}

}  // namespace
