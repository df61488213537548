// The path parser and its writers; the parser against a second one written here from the rules
// alone, over every short text of the characters that matter.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SFM_FilePath.h"
#include "tessar_files.h"
#include "tessar_locale.h"
#include "tessar_reports.h"

namespace {

using tessar_test::Text;

// The parts of a path as plain strings, in the order of the full path.
struct Parts {
    std::string base, rel, name, ext;

    bool operator==(const Parts& o) const {
        return base == o.base && rel == o.rel && name == o.name && ext == o.ext;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Parts& p) {
    return out << "[" << p.base << "|" << p.rel << "|" << p.name << "|" << p.ext << "]";
}

inline Parts PartsOf(SFM_FilePath& path) {
    return {Text(path.GetBasePath()), Text(path.GetRelPath()), Text(path.GetFileName()),
            Text(path.GetFileExtension())};
}

// Sets the default separator for the life of the object.
class ScopedDefaultSeparator {
public:
    explicit ScopedDefaultSeparator(int index) : m_saved(SFM_FilePath::DefaultSeparator) {
        SFM_FilePath::DefaultSeparator = index;
    }
    ~ScopedDefaultSeparator() { SFM_FilePath::DefaultSeparator = m_saved; }
    ScopedDefaultSeparator(const ScopedDefaultSeparator&) = delete;
    ScopedDefaultSeparator& operator=(const ScopedDefaultSeparator&) = delete;

private:
    int m_saved;
};

TEST(SFM_FilePath, AssignmentParsesOrClears) {
    SFM_FilePath path("C:\\a\\b.c");
    EXPECT_EQ("d/e.f", Text(path = "d/e.f"));
    EXPECT_EQ("", Text(path = static_cast<const char*>(nullptr)));
    EXPECT_EQ((Parts{}), PartsOf(path));
    EXPECT_EQ("x.y", Text(path = CString("x.y")));
    EXPECT_TRUE((path = "").IsEmpty());
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
    {"extension without dot", "plan.brd", [](SFM_FilePath& p) { return p.SetFileExtension("txt"); }, "plan.txt"},
    {"null extension removes it", "plan.brd", [](SFM_FilePath& p) { return p.SetFileExtension(nullptr); }, "plan"},
    {"double extension keeps the last", "plan.brd", [](SFM_FilePath& p) { return p.SetFileExtension("tar.gz"); }, "plan.gz"},
    {"extension on a directory", "C:\\d\\", [](SFM_FilePath& p) { return p.SetFileExtension("x"); }, "C:\\d\\.x"},
    {"extension with path form", "", [](SFM_FilePath& p) { return p.SetFileExtension("C:\\a\\b.c", "txt"); }, "C:\\a\\b.txt"},
    {"name with extension kept", "plan.brd", [](SFM_FilePath& p) { return p.SetFileName("x.y", 0); }, "x.y.brd"},
    {"name only", "plan.brd", [](SFM_FilePath& p) { return p.SetFileName("x.y", 1); }, "x.brd"},
    {"name with path form", "", [](SFM_FilePath& p) { return p.SetFileName("/a/b.c", "d", 1); }, "/a/d.c"},
    {"name and extension", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetFileNameExt("x.txt"); }, "C:\\w\\x.txt"},
    {"name and extension without extension", "plan.brd", [](SFM_FilePath& p) { return p.SetFileNameExt("x"); }, "x"},
    {"name and extension parse the name again", "plan.brd", [](SFM_FilePath& p) { return p.SetFileNameExt("a.b.c"); }, "a.c"},
    {"name and extension with path form", "", [](SFM_FilePath& p) { return p.SetFileNameExt("/a/b.c", "d.e"); }, "/a/d.e"},
    {"directory gets a separator", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetFileDirectory("D:\\data"); }, "D:\\data\\plan.brd"},
    {"empty directory", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetFileDirectory(""); }, "plan.brd"},
    {"drive as directory", "x.y", [](SFM_FilePath& p) { return p.SetFileDirectory("C:"); }, "C:\\x.y"},
    {"directory with path form", "", [](SFM_FilePath& p) { return p.SetFileDirectory("a/b.c", "q"); }, "q\\b.c"},
    {"network base path", "C:\\w\\plan.brd", [](SFM_FilePath& p) { return p.SetBasePath("\\\\s\\h\\x"); }, "\\\\s\\h\\\\w\\plan.brd"},
    {"base path with path form", "", [](SFM_FilePath& p) { return p.SetBasePath("C:x", "E:"); }, "E:x"},
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
    for (const SeparatorCase& c : cases) {
        SCOPED_TRACE(c.path);
        tessar_test::ScopedReportRecorder recorder;
        ScopedDefaultSeparator separator(c.index);
        SFM_FilePath path(c.path);
        path.AddSeparator();
        EXPECT_EQ(c.added, Text(path));
        EXPECT_EQ(*c.added == '\0', path.IsEmpty() != 0);
        EXPECT_EQ("", Text(path.GetFileNameExt()));  // the name moved into the directory
        ASSERT_EQ(c.reports, recorder.Reports().size());
        for (const tessar_test::Report& report : recorder.Reports()) {
            EXPECT_EQ("Vosk: ", report.message);
            EXPECT_EQ("sfm/sfmpath", report.unit);
            EXPECT_EQ(SSM_FailureError, report.type);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The reference parser.

bool IsSep(char c) { return c == '\\' || c == '/'; }

// Index one past the network root, found by walking the text once; 0 without a root.
size_t ReferenceRootEnd(const std::string& s) {
    if (s.size() <= 2 || !IsSep(s[0]) || s[1] != s[0]) return 0;
    int separatorsSeen = 0;
    for (size_t i = 2; i < s.size(); ++i) {
        if (IsSep(s[i]) && ++separatorsSeen == 2) return i + 1;
    }
    return s.size();
}

Parts ReferenceParse(const std::string& s) {
    Parts p;
    const size_t colon = s.find(':');
    const size_t baseEnd = colon != std::string::npos ? colon + 1 : ReferenceRootEnd(s);
    p.base = s.substr(0, baseEnd);
    size_t restStart = baseEnd;
    for (size_t i = s.size(); i > baseEnd; --i) {
        if (IsSep(s[i - 1])) {
            restStart = i;
            break;
        }
    }
    p.rel = s.substr(baseEnd, restStart - baseEnd);
    std::string rest = s.substr(restStart);
    while (!rest.empty() && rest.back() == '.') rest.pop_back();
    const size_t dot = rest.rfind('.');
    p.name = dot == std::string::npos ? rest : rest.substr(0, dot);
    p.ext = dot == std::string::npos ? "" : rest.substr(dot);
    return p;
}

void ExpectSameAsReference(const std::string& text) {
    SFM_FilePath path(text.c_str());
    const Parts expected = ReferenceParse(text);
    ASSERT_EQ(expected, PartsOf(path)) << "text: " << text;
    ASSERT_EQ(expected.base + expected.rel + expected.name + expected.ext,
              Text(path));
}

// All texts of up to `maxLength` characters over the alphabet, in odometer order.
void CheckEveryShortText(const std::vector<std::string>& alphabet, int maxLength) {
    std::vector<size_t> digits;
    std::string text;
    for (int length = 0; length <= maxLength; ++length) {
        digits.assign(length, 0);
        for (;;) {
            text.clear();
            for (size_t d : digits) text += alphabet[d];
            ExpectSameAsReference(text);
            int i = 0;
            while (i < length && ++digits[i] == alphabet.size()) digits[i++] = 0;
            if (i == length) break;
        }
    }
}

TEST(SFM_FilePathReference, EveryShortTextParsesAsTheReferenceDoes) {
    CheckEveryShortText({"a", ".", "\\", "/", ":"}, 6);
    // In a multibyte locale the parser steps over whole characters; UTF-8 characters never hold
    // a separator, dot or colon byte, so the parts are those of the byte-wise reference.
    ScopedLocale utf8("C.UTF-8");
    if (!utf8.IsActive()) GTEST_SKIP() << "C.UTF-8 is not available";
    CheckEveryShortText({"\xc3\xa9", ".", "\\", "/", ":", "\xe2\x82\xac"}, 5);
}

}  // namespace
