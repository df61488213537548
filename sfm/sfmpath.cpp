#include "SFM_FilePath.h"

#include <cstdlib>
#include <cstring>

#include "SSM_Assert.h"

namespace {

const char kUnit[] = "sfm/sfmpath";

// The separators as DirectorySeparators holds them; the parser needs them before any object of
// the library exists.
bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

// a + b, sharing the buffer of a part when the other is empty.
SYS_String Join(const SYS_String& a, const SYS_String& b) {
    if (b.IsEmpty()) return a;
    if (a.IsEmpty()) return b;
    return a + b;
}

bool EndsWith(const SYS_String& text, char ch) {
    const int length = text.GetLength();
    return length > 0 && text[length - 1] == ch;
}

// Replaces `part` with `length` bytes from `text`, in place when its buffer is unique and large
// enough, so that parsing into a reused path allocates nothing.
void SetPart(SYS_String& part, const char* text, int length) {
    if (length == 0) {
        part.Empty();
        return;
    }
    const char* own = part;
    if (text >= own && text <= own + part.GetLength()) {
        // The text lies in the part's own buffer, which GetBuffer may replace.
        part = SYS_String(text, length);
        return;
    }
    char* buffer = part.GetBuffer(length);
    std::memcpy(buffer, text, length);
    part.ReleaseBuffer(length);
}

// Replaces `part` with a + b + c (none of them `part` itself).
void SetJoined(SYS_String& part, const SYS_String& a, const SYS_String& b, const SYS_String& c) {
    const int la = a.GetLength(), lb = b.GetLength(), lc = c.GetLength();
    if (la + lb + lc == 0) {
        part.Empty();
        return;
    }
    char* buffer = part.GetBuffer(la + lb + lc);
    std::memcpy(buffer, static_cast<const char*>(a), la);
    std::memcpy(buffer + la, static_cast<const char*>(b), lb);
    std::memcpy(buffer + la + lb, static_cast<const char*>(c), lc);
    part.ReleaseBuffer(la + lb + lc);
}

// Where the parts of a text begin and end: base path [0, baseLength), relative directory
// [baseLength, restStart), name [restStart, dot), extension [dot, restEnd); dot is restEnd
// without an extension. Bytes from restEnd on are the dropped trailing dots.
struct PathLayout {
    int baseLength, restStart, restEnd, dot;
};

// The byte scans of a single-byte locale, where every byte is a character.
struct ByteScan {
    const char* text;
    int length;

    int Find(char ch, int from) const {
        const void* hit = from < length ? std::memchr(text + from, ch, length - from) : nullptr;
        return hit ? static_cast<int>(static_cast<const char*>(hit) - text) : -1;
    }
    int FindSeparator(int from) const {
        for (int i = from; i < length; ++i)
            if (IsSeparator(text[i])) return i;
        return -1;
    }
    // Last separator at or after `from`, or -1.
    int LastSeparator(int from) const {
        for (int i = length - 1; i >= from; --i)
            if (IsSeparator(text[i])) return i;
        return -1;
    }
    int LastDot(int from, int end) const {
        for (int i = end - 1; i >= from; --i)
            if (text[i] == '.') return i;
        return -1;
    }
};

// The same scans stepping over whole characters of the locale's multibyte text.
struct CharScan {
    const SYS_String& text;

    int Find(char ch, int from) const { return text.Find(ch, from); }
    int FindSeparator(int from) const { return text.FindOneOf(SFM_FilePath::DirectorySeparators, from); }
    int LastSeparator(int from) const {
        const int last = text.ReverseFindOneOf(SFM_FilePath::DirectorySeparators);
        return last >= from ? last : -1;
    }
    int LastDot(int from, int end) const {
        const int dot = end > 0 ? text.ReverseFind('.', end - 1) : -1;
        return dot >= from ? dot : -1;
    }
};

// Length of the base path: a drive up to the first ':', or a network root (\\srv\share\)
// that ends at the separator after the share name or with the text.
template <class Scan>
int BasePathLength(const Scan& scan, const char* text, int length) {
    const int colon = scan.Find(':', 0);
    if (colon >= 0) return colon + 1;
    if (length <= 2 || text[0] != text[1] || !IsSeparator(text[0])) return 0;
    const int afterServer = scan.FindSeparator(2);
    if (afterServer < 0) return length;
    const int afterShare = scan.FindSeparator(afterServer + 1);
    return afterShare < 0 ? length : afterShare + 1;
}

template <class Scan>
PathLayout Layout(const Scan& scan, const char* text, int length) {
    PathLayout layout;
    layout.baseLength = BasePathLength(scan, text, length);
    const int lastSeparator = scan.LastSeparator(layout.baseLength);
    layout.restStart = lastSeparator >= 0 ? lastSeparator + 1 : layout.baseLength;
    layout.restEnd = length;
    while (layout.restEnd > layout.restStart && text[layout.restEnd - 1] == '.') --layout.restEnd;
    const int dot = scan.LastDot(layout.restStart, layout.restEnd);
    layout.dot = dot >= 0 ? dot : layout.restEnd;
    return layout;
}

PathLayout LayoutOf(const SYS_String& path) {
    const char* text = path;
    const int length = path.GetLength();
    if (MB_CUR_MAX == 1) return Layout(ByteScan{text, length}, text, length);
    return Layout(CharScan{path}, text, length);
}

}  // namespace

int SFM_FilePath::DefaultSeparator = 0;

SFM_FilePath::SFM_FilePath(const char* path) { *this = path; }

SFM_FilePath::SFM_FilePath(const CString& path) { Process(SYS_String(path)); }

SYS_String SFM_FilePath::operator=(const char* path) {
    // The text is copied into the full path first, so that a path reused for many texts
    // parses without allocating.
    SetPart(m_fullPath, path, path != nullptr ? static_cast<int>(std::strlen(path)) : 0);
    Process(m_fullPath);
    return m_fullPath;
}

SYS_String SFM_FilePath::operator=(const CString& path) {
    Process(SYS_String(path));
    return m_fullPath;
}

char SFM_FilePath::DefaultSeparatorChar() {
    const int index = DefaultSeparator;
    if (!SSM_CHECK(index >= 0 && index < DirectorySeparators.GetLength(), "Vosk: ", kUnit,
                   SSM_FailureError))
        return '\\';
    return DirectorySeparators[index];
}

// `path` may be the full path itself.
void SFM_FilePath::Process(const SYS_String& path) {
    const PathLayout layout = LayoutOf(path);
    const char* text = path;
    SetPart(m_basePath, text, layout.baseLength);
    SetPart(m_relPath, text + layout.baseLength, layout.restStart - layout.baseLength);
    SetPart(m_nameExt, text + layout.restStart, layout.restEnd - layout.restStart);
    SetPart(m_name, text + layout.restStart, layout.dot - layout.restStart);
    SetPart(m_ext, text + layout.dot, layout.restEnd - layout.dot);
    if (layout.restEnd != path.GetLength())
        SetJoined(m_fullPath, m_basePath, m_relPath, m_nameExt);  // trailing dots dropped
    else if (&path != &m_fullPath)
        m_fullPath = path;
}

void SFM_FilePath::Rebuild() {
    SetJoined(m_nameExt, m_name, m_ext, SYS_String());
    SetJoined(m_fullPath, m_basePath, m_relPath, m_nameExt);
}

// ---------------------------------------------------------------------------------------------
// Readers

SYS_String SFM_FilePath::GetFileExtension(const char* path) {
    if (path != nullptr) *this = path;
    return m_ext;
}

SYS_String SFM_FilePath::GetFileDirectory(const char* path) {
    if (path != nullptr) *this = path;
    return Join(m_basePath, m_relPath);
}

SYS_String SFM_FilePath::GetFileName(const char* path) {
    if (path != nullptr) *this = path;
    return m_name;
}

SYS_String SFM_FilePath::GetFileNameExt(const char* path) {
    if (path != nullptr) *this = path;
    return m_nameExt;
}

SYS_String SFM_FilePath::GetBasePath(const char* path) {
    if (path != nullptr) *this = path;
    return m_basePath;
}

SYS_String SFM_FilePath::GetRelPath(const char* path) {
    if (path != nullptr) *this = path;
    return m_relPath;
}

// ---------------------------------------------------------------------------------------------
// Writers

SYS_String SFM_FilePath::SetFileExtension(const char* ext) {
    SYS_String dotted(ext);
    if (dotted.IsEmpty() || dotted[0] != '.') dotted = '.' + dotted;
    m_ext = SFM_FilePath(dotted).m_ext;
    Rebuild();
    return m_fullPath;
}

SYS_String SFM_FilePath::SetFileExtension(const char* path, const char* ext) {
    GetFileExtension(path);
    return SetFileExtension(ext);
}

SYS_String SFM_FilePath::SetFileDirectory(const char* dir) {
    SYS_String directory(dir);
    const int length = directory.GetLength();
    if (length > 0 && !IsSeparator(directory[length - 1]))
        directory += DefaultSeparatorChar();
    const SFM_FilePath parsed(directory);
    m_basePath = parsed.m_basePath;
    m_relPath = parsed.m_relPath;
    Rebuild();
    return m_fullPath;
}

SYS_String SFM_FilePath::SetFileDirectory(const char* path, const char* dir) {
    GetFileDirectory(path);
    return SetFileDirectory(dir);
}

SYS_String SFM_FilePath::SetFileName(const char* name, int nameOnly) {
    const SFM_FilePath parsed(name);
    m_name = nameOnly ? parsed.m_name : parsed.m_nameExt;
    Rebuild();
    return m_fullPath;
}

SYS_String SFM_FilePath::SetFileName(const char* path, const char* name, int nameOnly) {
    GetFileName(path);
    return SetFileName(name, nameOnly);
}

SYS_String SFM_FilePath::SetFileNameExt(const char* nameExt) {
    const SFM_FilePath parsed(nameExt);
    SetFileName(parsed.m_name, 1);
    return SetFileExtension(parsed.m_ext);
}

SYS_String SFM_FilePath::SetFileNameExt(const char* path, const char* nameExt) {
    GetFileNameExt(path);
    return SetFileNameExt(nameExt);
}

SYS_String SFM_FilePath::SetBasePath(const char* base) {
    m_basePath = SFM_FilePath(base).m_basePath;
    Rebuild();
    return m_fullPath;
}

SYS_String SFM_FilePath::SetBasePath(const char* path, const char* base) {
    GetBasePath(path);
    return SetBasePath(base);
}

SYS_String SFM_FilePath::SetRelPath(const char* rel) {
    m_relPath = SFM_FilePath(rel).m_relPath;
    Rebuild();
    return m_fullPath;
}

SYS_String SFM_FilePath::SetRelPath(const char* path, const char* rel) {
    GetRelPath(path);
    return SetRelPath(rel);
}

SYS_String SFM_FilePath::SetDefault(const char* path) {
    const SFM_FilePath defaults(path);
    if (m_basePath.IsEmpty()) m_basePath = defaults.m_basePath;
    if (m_relPath.IsEmpty()) m_relPath = defaults.m_relPath;
    if (m_name.IsEmpty()) m_name = defaults.m_name;
    if (m_ext.IsEmpty()) m_ext = defaults.m_ext;
    Rebuild();
    return m_fullPath;
}

SYS_String SFM_FilePath::SetDefPath(const char* dir) {
    if (!m_basePath.IsEmpty()) return m_fullPath;
    const SFM_FilePath directory(dir);
    m_basePath = directory.m_basePath;
    const bool rooted = !m_relPath.IsEmpty() && IsSeparator(m_relPath[0]);
    if (!rooted) {
        SYS_String prefix = directory.m_relPath + directory.m_nameExt;
        const char separator = DefaultSeparatorChar();
        if (!prefix.IsEmpty() && !EndsWith(prefix, separator)) prefix += separator;
        m_relPath = prefix + m_relPath;
    }
    // A non-empty relative directory now ends in a separator: a parsed one always does, and
    // the prefix does when it stands alone.
    Rebuild();
    return m_fullPath;
}

void SFM_FilePath::AddSeparator() {
    if (m_fullPath.IsEmpty()) return;
    const char separator = DefaultSeparatorChar();
    if (EndsWith(m_fullPath, separator)) return;
    Process(m_fullPath + separator);
}
