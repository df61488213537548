// Paths: the parser and every writer of SFM_FilePath on `path\0argument`. For any text the parts
// are those a byte-wise reference parser finds (the target runs in a single-byte locale), they
// concatenate to the full path, and parsing the full path again gives the same parts; every
// writer leaves the parts consistent and takes from its argument the part it names. The name
// matching of directory listings runs on the same texts: "*.*" matches every name and a name
// without wildcard characters matches itself.
#include <string>

#include "PLT_Directory.h"
#include "SFM_FilePath.h"
#include "fuzz_harness.h"

namespace {

std::string Text(const SYS_String& s) { return std::string(static_cast<const char*>(s), s.GetLength()); }

struct Parts {
    std::string base, rel, name, ext, nameExt, directory, full;

    explicit Parts(SFM_FilePath& p)
        : base(Text(p.GetBasePath())), rel(Text(p.GetRelPath())), name(Text(p.GetFileName())),
          ext(Text(p.GetFileExtension())), nameExt(Text(p.GetFileNameExt())),
          directory(Text(p.GetFileDirectory())), full(Text(p)) {}

    bool SameAs(const Parts& o) const {
        return base == o.base && rel == o.rel && name == o.name && ext == o.ext && full == o.full;
    }
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A second parser written from the rules alone, byte by byte: a drive up to the first ':' or a
// network root (\\srv\share\) is the base path, the relative directory runs to the last
// separator, trailing dots are dropped and the extension starts at the last dot of the rest.
size_t ReferenceRootEnd(const std::string& s) {
    if (s.size() <= 2 || !IsSeparator(s[0]) || s[1] != s[0]) return 0;
    int separatorsSeen = 0;
    for (size_t i = 2; i < s.size(); ++i) {
        if (IsSeparator(s[i]) && ++separatorsSeen == 2) return i + 1;
    }
    return s.size();
}

void RequireSameAsReference(const std::string& s, const Parts& parsed) {
    const size_t colon = s.find(':');
    const size_t baseEnd = colon != std::string::npos ? colon + 1 : ReferenceRootEnd(s);
    size_t restStart = baseEnd;
    for (size_t i = s.size(); i > baseEnd; --i) {
        if (IsSeparator(s[i - 1])) {
            restStart = i;
            break;
        }
    }
    std::string rest = s.substr(restStart);
    while (!rest.empty() && rest.back() == '.') rest.pop_back();
    const size_t dot = rest.rfind('.');
    fuzz::Require(parsed.base == s.substr(0, baseEnd), "reference: base path");
    fuzz::Require(parsed.rel == s.substr(baseEnd, restStart - baseEnd), "reference: relative directory");
    fuzz::Require(parsed.name == rest.substr(0, dot), "reference: name");
    fuzz::Require(parsed.ext == (dot == std::string::npos ? "" : rest.substr(dot)), "reference: extension");
}

void RequireConsistent(SFM_FilePath& path, const char* what) {
    const Parts p(path);
    fuzz::Require(p.nameExt == p.name + p.ext, what);
    fuzz::Require(p.directory == p.base + p.rel, what);
    fuzz::Require(p.full == p.base + p.rel + p.nameExt, what);
    fuzz::Require(p.rel.empty() || IsSeparator(p.rel.back()), what);
    fuzz::Require(p.ext.empty() || p.ext[0] == '.', what);
}

void CheckParse(const std::string& text) {
    SFM_FilePath path(text.c_str());
    RequireConsistent(path, "parse: parts concatenate");
    const Parts parsed(path);
    fuzz::Require(parsed.nameExt.empty() || parsed.nameExt.back() != '.', "parse: trailing dots");
    fuzz::Require(parsed.name.find('.') == std::string::npos || !parsed.ext.empty(),
                  "parse: the extension starts at the last dot");
    fuzz::Require(text.compare(0, parsed.full.size(), parsed.full) == 0,
                  "parse: the full path is the text without trailing dots");
    RequireSameAsReference(text, parsed);
    SFM_FilePath again(parsed.full.c_str());
    fuzz::Require(Parts(again).SameAs(parsed), "parse: parsing the full path again");
}

// Applies one writer to a copy of `start` and checks the copy afterwards.
template <class Write>
void CheckWriter(const SFM_FilePath& start, const char* what, Write write) {
    SFM_FilePath path(start);
    const std::string result = Text(write(path));
    fuzz::Require(result == Text(path), what);
    RequireConsistent(path, what);
}

void CheckWriters(const std::string& text, const std::string& argText) {
    const SFM_FilePath start(text.c_str());
    const char* arg = argText.c_str();
    SFM_FilePath argPath(arg);
    const Parts argParts(argPath);

    CheckWriter(start, "SetFileExtension", [&](SFM_FilePath& p) {
        SYS_String full = p.SetFileExtension(arg);
        const std::string ext = Text(p.GetFileExtension());
        fuzz::Require(ext.empty() || argText.find(ext.substr(1)) != std::string::npos,
                      "SetFileExtension: the extension comes from the argument");
        return full;
    });
    CheckWriter(start, "SetFileDirectory", [&](SFM_FilePath& p) { return p.SetFileDirectory(arg); });
    CheckWriter(start, "SetFileName 0", [&](SFM_FilePath& p) {
        SYS_String full = p.SetFileName(arg, 0);
        fuzz::Require(Text(p.GetFileName()) == argParts.nameExt, "SetFileName 0: name with extension");
        return full;
    });
    CheckWriter(start, "SetFileName 1", [&](SFM_FilePath& p) {
        SYS_String full = p.SetFileName(arg, 1);
        fuzz::Require(Text(p.GetFileName()) == argParts.name, "SetFileName 1: name");
        return full;
    });
    CheckWriter(start, "SetFileNameExt", [&](SFM_FilePath& p) { return p.SetFileNameExt(arg); });
    CheckWriter(start, "SetBasePath", [&](SFM_FilePath& p) {
        SYS_String full = p.SetBasePath(arg);
        fuzz::Require(Text(p.GetBasePath()) == argParts.base, "SetBasePath: base path");
        return full;
    });
    CheckWriter(start, "SetRelPath", [&](SFM_FilePath& p) {
        SYS_String full = p.SetRelPath(arg);
        fuzz::Require(Text(p.GetRelPath()) == argParts.rel, "SetRelPath: relative directory");
        return full;
    });
    CheckWriter(start, "SetDefault", [&](SFM_FilePath& p) { return p.SetDefault(arg); });
    CheckWriter(start, "SetDefPath", [&](SFM_FilePath& p) {
        const std::string before = Text(p);
        const bool hadBase = !Text(p.GetBasePath()).empty();
        SYS_String full = p.SetDefPath(arg);
        if (hadBase) fuzz::Require(Text(full) == before, "SetDefPath: a path with a base path stays");
        return full;
    });
    CheckWriter(start, "AddSeparator", [&](SFM_FilePath& p) {
        p.AddSeparator();
        const std::string full = Text(p);
        fuzz::Require(full.empty() || IsSeparator(full.back()), "AddSeparator: ends in a separator");
        return SYS_String(p);
    });
}

void CheckNameMatching(const std::string& name, const std::string& pattern) {
    fuzz::Require(PLT_MatchFileName("*.*", name.c_str()) == 1, "*.* matches every name");
    fuzz::Require(PLT_MatchFileName("*", name.c_str()) == 1, "* matches every name");
    if (name.find_first_of("*?") == std::string::npos)
        fuzz::Require(PLT_MatchFileName(name.c_str(), name.c_str()) == 1, "a plain name matches itself");
    const int matched = PLT_MatchFileName(pattern.c_str(), name.c_str());
    fuzz::Require(matched == 0 || matched == 1, "a match answers 0 or 1");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzz::SplitInput(data, size, 2);
    // The texts as C strings stop at their first NUL; the library sees the same.
    const std::string text = parts[0].c_str();
    const std::string arg = parts[1].c_str();
    SFM_FilePath::DefaultSeparator = static_cast<int>(arg.size() % 2);
    CheckParse(text);
    CheckWriters(text, arg);
    CheckNameMatching(text, arg);
    return 0;
}
