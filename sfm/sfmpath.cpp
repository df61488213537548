#include "SFM_FilePath.h"

#include <cstring>

#include "SSM_Assert.h"

namespace {

const char kUnit[] = "sfm/sfmpath";

bool IsSeparator(char ch) {
    return ch != '\0' && std::strchr(SFM_FilePath::DirectorySeparators, ch) != nullptr;
}

// a + b, sharing the buffer of a part when the other is empty.
SYS_String Join(const SYS_String& a, const SYS_String& b) {
    if (b.IsEmpty()) return a;
    if (a.IsEmpty()) return b;
    return a + b;
}

// Length of the network root at the start of `path` (\\srv\share\), or 0 when it has none.
// The root ends at the separator after the share name, or with the text when server or share
// is not followed by one.
int NetworkRootLength(const SYS_String& path, const char* separators) {
    const int length = path.GetLength();
    if (length <= 2 || path[0] != path[1] || !IsSeparator(path[0])) return 0;
    const int afterServer = path.FindOneOf(separators, 2);
    if (afterServer < 0) return length;
    const int afterShare = path.FindOneOf(separators, afterServer + 1);
    return afterShare < 0 ? length : afterShare + 1;
}

int BasePathLength(const SYS_String& path, const char* separators) {
    const int colon = path.Find(':');
    if (colon >= 0) return colon + 1;
    return NetworkRootLength(path, separators);
}

bool EndsWith(const SYS_String& text, char ch) {
    const int length = text.GetLength();
    return length > 0 && text[length - 1] == ch;
}

}  // namespace

int SFM_FilePath::DefaultSeparator = 0;

SFM_FilePath::SFM_FilePath(const char* path) { Process(SYS_String(path)); }

SFM_FilePath::SFM_FilePath(const CString& path) { Process(SYS_String(path)); }

SYS_String SFM_FilePath::operator=(const char* path) {
    Process(SYS_String(path));
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

void SFM_FilePath::Process(const SYS_String& path) {
    const char* separators = DirectorySeparators;
    const int baseLength = BasePathLength(path, separators);
    const int lastSeparator = path.ReverseFindOneOf(separators);
    const int restStart = lastSeparator >= baseLength ? lastSeparator + 1 : baseLength;

    m_basePath = path.Left(baseLength);
    m_relPath = path.Mid(baseLength, restStart - baseLength);
    int restEnd = path.GetLength();
    while (restEnd > restStart && path[restEnd - 1] == '.') --restEnd;
    const SYS_String nameExt = path.Mid(restStart, restEnd - restStart);
    const int dot = nameExt.ReverseFind('.');
    m_name = dot >= 0 ? nameExt.Left(dot) : nameExt;
    m_ext = dot >= 0 ? nameExt.Mid(dot) : SYS_String();
    // The full path is the text itself unless trailing dots were dropped; sharing it saves
    // rebuilding a copy.
    if (restEnd == path.GetLength()) {
        m_nameExt = nameExt;
        m_fullPath = path;
    } else {
        Rebuild();
    }
}

void SFM_FilePath::Rebuild() {
    m_nameExt = Join(m_name, m_ext);
    m_fullPath = Join(Join(m_basePath, m_relPath), m_nameExt);
}

// ---------------------------------------------------------------------------------------------
// Readers

SYS_String SFM_FilePath::GetFileExtension(const char* path) {
    if (path != nullptr) *this = path;
    return m_ext;
}

SYS_String SFM_FilePath::GetFileDirectory(const char* path) {
    if (path != nullptr) *this = path;
    return m_basePath + m_relPath;
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
