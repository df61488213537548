// The path parser and its writers.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <utility>

#include "SFM_FilePath.h"
#include "tessar_files.h"
#include "tessar_locale.h"
#include "tessar_reports.h"

namespace {

using tessar_test::Text;

// The base path, relative directory, name and extension of a path.
using Parts = std::array<std::string, 4>;

Parts PartsOf(SFM_FilePath& path) {
    return {Text(path.GetBasePath()), Text(path.GetRelPath()), Text(path.GetFileName()),
            Text(path.GetFileExtension())};
}

TEST(SFM_FilePath, AssignmentParsesOrClears) {
    SFM_FilePath path("C:\\a\\b.c");
    EXPECT_EQ("d/e.f", Text(path = "d/e.f"));
    EXPECT_EQ("", Text(path = static_cast<const char*>(nullptr)));
    EXPECT_EQ((Parts{}), PartsOf(path));
    EXPECT_EQ("x.y", Text(path = CString("x.y")));
}

// Every writer leaves the parts consistent and takes the part it names from its argument (checked
// by the path fuzz target); the table holds what the writers make of their parts.
struct WriteCase {
    const char* name;
    const char* start;
    std::function<SYS_String(SFM_FilePath&)> write;
    const char* full;
};

const WriteCase kWrite[] = {
    {"extension with path form", "", [](SFM_FilePath& p) { return p.SetFileExtension("C:\\a\\b.c", "txt"); }, "C:\\a\\b.txt"},
    {"name with extension, path form", "", [](SFM_FilePath& p) { return p.SetFileName("/a/b.c", "d.e", 0); }, "/a/d.e.c"},
    {"name and extension with path form", "", [](SFM_FilePath& p) { return p.SetFileNameExt("/a/b.c", "d.e"); }, "/a/d.e"},
    {"directory with path form", "", [](SFM_FilePath& p) { return p.SetFileDirectory("a/b.c", "q"); }, "q\\b.c"},
    {"base path with path form", "", [](SFM_FilePath& p) { return p.SetBasePath("C:x", "E:"); }, "E:x"},
    {"relative directory with path form", "", [](SFM_FilePath& p) { return p.SetRelPath("C:\\w\\x", "y/z/"); }, "C:y/z/x"},
    {"defaults fill empty parts", "plan", [](SFM_FilePath& p) { return p.SetDefault("D:\\x\\def.txt"); }, "D:\\x\\plan.txt"},
    {"def path on a relative path", "sub\\plan.brd", [](SFM_FilePath& p) { return p.SetDefPath("C:\\work\\"); }, "C:\\work\\sub\\plan.brd"},
    {"def path keeps a base path", "E:x\\plan.brd", [](SFM_FilePath& p) { return p.SetDefPath("C:\\work"); }, "E:x\\plan.brd"},
    {"def path on a rooted path takes only the drive", "\\etc\\x", [](SFM_FilePath& p) { return p.SetDefPath("C:\\work"); }, "C:\\etc\\x"},
};

TEST(SFM_FilePath, WritersReplaceOnePartAndRebuild) {
    for (const WriteCase& c : kWrite) {
        SCOPED_TRACE(c.name);
        SFM_FilePath path(c.start);
        EXPECT_EQ(c.full, Text(c.write(path)));
        EXPECT_EQ(c.full, Text(path));
    }
}

struct SeparatorCase {
    int index;
    const char* path;
    const char* added;
    size_t reports;
};

// A separator is added once, after the name, which becomes part of the directory. The default
// separator is the one added; an index out of range is reported and a backslash used. A
// backslash is no separator to skip when the default is a slash, so one more is added.
TEST(SFM_FilePath, AddSeparatorAddsTheDefaultSeparator) {
    ASSERT_EQ("\\/", Text(SFM_FilePath::DirectorySeparators));
    const SeparatorCase cases[] = {
        {0, "C:\\work", "C:\\work\\", 0}, {0, "C:\\w\\", "C:\\w\\", 0}, {0, "", "", 0},
        {1, "/tmp/d", "/tmp/d/", 0}, {1, "C:\\w\\", "C:\\w\\/", 0}, {7, "a", "a\\", 1}};
    const int saved = SFM_FilePath::DefaultSeparator;
    for (const SeparatorCase& c : cases) {
        SCOPED_TRACE(c.path);
        tessar_test::ScopedReportRecorder recorder;
        SFM_FilePath::DefaultSeparator = c.index;
        SFM_FilePath path(c.path);
        path.AddSeparator();
        EXPECT_EQ(c.added, Text(path));
        EXPECT_EQ(*c.added == '\0', path.IsEmpty() != 0);
        EXPECT_EQ("", Text(path.GetFileNameExt()));  // the name moved into the directory
        EXPECT_EQ(c.reports, recorder.Reports().size());
        for (const tessar_test::Report& report : recorder.Reports()) {
            EXPECT_EQ("Vosk: ", report.message);
            EXPECT_EQ("sfm/sfmpath", report.unit);
            EXPECT_EQ(SSM_FailureError, report.type);
        }
    }
    SFM_FilePath::DefaultSeparator = saved;
}

// In a multibyte locale the parser steps over whole characters; UTF-8 characters never hold a
// separator, dot or colon byte, so the parts are those of the same text in bytes (the path fuzz
// target checks the byte-wise parse against a reference parser).
TEST(SFM_FilePath, MultibyteTextsSplitAsTheirBytesDo) {
    ScopedLocale utf8("C.UTF-8");
    if (!utf8.IsActive()) GTEST_SKIP() << "C.UTF-8 is not available";
    const std::pair<const char*, Parts> cases[] = {
        {"\xc3\xa9:\xe2\x82\xac\\\xc3\xa9.\xe2\x82\xac..", {"\xc3\xa9:", "\xe2\x82\xac\\", "\xc3\xa9", ".\xe2\x82\xac"}},
        {"\\\\\xc3\xa9\\\xe2\x82\xac/x", {"\\\\\xc3\xa9\\\xe2\x82\xac/", "", "x", ""}},
        {"\\\\\xc3\xa9.", {"\\\\\xc3\xa9.", "", "", ""}},
        {"\\\\\xc3\xa9\\\xe2\x82\xac", {"\\\\\xc3\xa9\\\xe2\x82\xac", "", "", ""}},
        {".\xc3\xa9", {"", "", "", ".\xc3\xa9"}},
        {"\xc3\xa9", {"", "", "\xc3\xa9", ""}},
        {"..", {"", "", "", ""}},
        {"", {"", "", "", ""}},
    };
    for (const auto& c : cases) {
        SFM_FilePath path(c.first);
        EXPECT_EQ(c.second, PartsOf(path)) << c.first;
    }
}

}  // namespace
