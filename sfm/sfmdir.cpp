#include "SFM_Directory.h"

#include <cerrno>

#include "PLT_Directory.h"
#include "PLT_File.h"
#include "SFM.h"
#include "SSM_Assert.h"

// The search record: the system's directory stream, the name pattern and the latest match.
struct SFM_FindData : PLT_FindData {
    ~SFM_FindData() { PLT_FindClose(*this); }
};

namespace {

const char kUnit[] = "sfm/sfmdir";
const char kVosk[] = "Vosk: ";

// A missing name is the empty one (a null pattern would go on with an open listing instead).
const char* NonNull(const char* name) { return name != nullptr ? name : ""; }

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The file manager, after the check that it exists.
SFM* RequireManager() {
    SFM* manager = SFM::GetManager();
    SSM_CHECK_THROW(manager != nullptr, kVosk, kUnit, SSM_FailureError);
    return manager;
}

// Tells the manager of an operation on `first` (and `second`) and returns its answer. errno of
// the failure that led here reaches the manager unchanged.
SFM::EventCode Raise(SFM* manager, SFM::EventCode code, const char* first,
                     const char* second = nullptr) {
    const int error = errno;
    SFM_EventData data(first, second);
    errno = error;
    return manager->Event(code, data);
}

// Runs `step` until it succeeds (1) or the hooks answer `code` with anything but EC_RETRY (0).
template <class Step>
int WithRetries(SFM* manager, SFM::EventCode code, const char* first, const char* second,
                Step step) {
    for (;;) {
        if (step()) return 1;
        if (Raise(manager, code, first, second) != SFM::EC_RETRY) return 0;
    }
}

}  // namespace

SFM_Directory::SFM_Directory(const char* path) : SFM_FilePath(path) {}

SFM_Directory::SFM_Directory(const SFM_Directory& other) : SFM_FilePath(other) {}

SFM_Directory::~SFM_Directory() {
    delete m_entrySearch;
    delete m_subdirSearch;
}

SYS_String SFM_Directory::operator=(const char* path) { return SFM_FilePath::operator=(path); }

SYS_String SFM_Directory::operator=(const CString& path) { return SFM_FilePath::operator=(path); }

SFM_Directory& SFM_Directory::operator=(const SFM_Directory& other) {
    SFM_FilePath::operator=(other);
    return *this;
}

SYS_String SFM_Directory::operator+(const char* name) const {
    SFM_FilePath path(name);
    return path.SetDefPath(*this);
}

// ---------------------------------------------------------------------------------------------
// Current directory and listings

SYS_String SFM_Directory::GetCurDir() const {
    SFM_FilePath current(PLT_GetCurrentDirectory().c_str());
    current.AddSeparator();
    return current.GetFileDirectory();
}

int SFM_Directory::SetCurDir(SYS_String dir) { return PLT_SetCurrentDirectory(dir); }

char* SFM_Directory::GetNextItem(const char* pattern, SFM_FindData*& record) {
    if (record == nullptr) record = new SFM_FindData;
    if (pattern == nullptr) return PLT_FindNext(*record) ? record->name : nullptr;
    SYS_String text(pattern);
    const int length = text.GetLength();
    if (length > 0 && text[length - 1] == DefaultSeparatorChar()) text = text.Left(length - 1);
    SFM_FilePath absolute(text);
    absolute.SetDefPath(*this);
    return PLT_FindFirst(absolute, *record) ? record->name : nullptr;
}

char* SFM_Directory::GetNextEntry(const char* pattern) { return GetNextItem(pattern, m_entrySearch); }

char* SFM_Directory::GetNextFile(const char* pattern) {
    char* name = GetNextItem(pattern, m_entrySearch);
    while (name != nullptr && (m_entrySearch->attributes & PLT_ATTRIBUTE_DIRECTORY) != 0)
        name = GetNextItem(nullptr, m_entrySearch);
    return name;
}

char* SFM_Directory::GetNextSubdir(const char* pattern) {
    char* name = GetNextItem(pattern, m_subdirSearch);
    while (name != nullptr &&
           ((m_subdirSearch->attributes & PLT_ATTRIBUTE_DIRECTORY) == 0 || IsDotOrDotDot(name)))
        name = GetNextItem(nullptr, m_subdirSearch);
    return name;
}

int SFM_Directory::FileExists(const char* pattern) {
    const int found = GetNextFile(pattern) != nullptr;
    PLT_FindClose(*m_entrySearch);
    return found;
}

int SFM_Directory::DirExists(const char* pattern) {
    const int found = GetNextSubdir(pattern) != nullptr;
    PLT_FindClose(*m_subdirSearch);
    return found;
}

// ---------------------------------------------------------------------------------------------
// Creating directories

int SFM_Directory::MakeDirectory(SYS_String dir) { return PLT_MakeDirectory(dir); }

int SFM_Directory::MakePath(SYS_String path) {
    const int length = path.GetLength();
    if (length == 0) return 0;
    const char* separators = DirectorySeparators;
    if (path.ReverseFindOneOf(separators) != length - 1) path += '\\';
    int result = 1;
    for (int at = path.FindOneOf(separators); at >= 0; at = path.FindOneOf(separators, at + 1)) {
        const SYS_String prefix = path.Left(at);
        if (prefix.IsEmpty() || prefix[prefix.GetLength() - 1] == ':') continue;
        result = MakeDirectory(prefix);
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// File operations

int SFM_Directory::_CopyFile(const char* from, const char* to) { return PLT_CopyFile(from, to); }

SYS_String SFM_Directory::CompleteName(const char* name) {
    SFM_FilePath path(name);
    if (path.GetBasePath().IsEmpty()) path.SetBasePath(*this);
    return path;
}

int SFM_Directory::CopyFileA(const char* from, const char* to, int overwrite) {
    SFM* manager = RequireManager();
    if (manager == nullptr) return 0;
    const SYS_String source = CompleteName(from);
    const SYS_String target = CompleteName(to);
    if (FileExists(NonNull(from)) && FileExists(NonNull(to)) && !overwrite &&
        Raise(manager, SFM::EC_TARGET_EXISTS, source, target) != SFM::EC_YES)
        return 0;
    return WithRetries(manager, SFM::EC_COPY_FAILED, source, target,
                       [&] { return _CopyFile(source, target); });
}

int SFM_Directory::MoveFileA(const char* from, const char* to, int overwrite) {
    SFM* manager = RequireManager();
    if (manager == nullptr) return 0;
    const SYS_String source = CompleteName(from);
    const SYS_String target = CompleteName(to);
    if (FileExists(NonNull(to))) {
        // Only a source that can be opened may cost the target its place.
        const int held = PLT_OpenExisting(from);
        if (held >= 0) {
            if (!overwrite &&
                Raise(manager, SFM::EC_TARGET_EXISTS, source, target) != SFM::EC_YES) {
                PLT_CloseDescriptor(held);
                return 0;
            }
            PLT_RemoveFile(target);
            PLT_CloseDescriptor(held);
        }
    }
    return WithRetries(manager, SFM::EC_MOVE_FAILED, source, target,
                       [&] { return PLT_RenameFile(source, target) == 0; });
}

int SFM_Directory::DeleteFileA(const char* name) {
    SFM* manager = RequireManager();
    if (manager == nullptr) return 0;
    const SYS_String file = CompleteName(name);
    return WithRetries(manager, SFM::EC_DELETE_FAILED, file, nullptr,
                       [&] { return PLT_RemoveFile(file) == 0; });
}

int SFM_Directory::DeleteSubdir(const char* name) {
    SFM* manager = SFM::GetManager();
    SSM_CHECK_THROW(manager != nullptr, kVosk, kUnit, SSM_FailureError);
    if (!SSM_CHECK_THROW(manager != nullptr, "", kUnit, SSM_FailureAssert)) return 0;
    SFM_FilePath directory(CompleteName(name));
    // The current directory must not stay in the place being removed.
    if (PLT_SystemPath(GetCurDir()) == PLT_SystemPath(directory.GetFileDirectory()))
        SetCurDir(*this);
    const SYS_String path = directory;
    return WithRetries(manager, SFM::EC_DELETE_FAILED, path, nullptr,
                       [&] { return PLT_RemoveDirectory(path) == 0; });
}

int SFM_Directory::DeleteAll() {
    SFM_Directory tree(*this);
    tree.AddSeparator();
    for (const char* file = tree.GetNextFile("*.*"); file != nullptr; file = tree.GetNextFile())
        if (!tree.DeleteFileA(tree + file)) return 0;
    for (const char* sub = tree.GetNextSubdir("*.*"); sub != nullptr; sub = tree.GetNextSubdir()) {
        const SYS_String path = tree + sub;
        if (!SFM_Directory(path).DeleteAll() || !tree.DeleteSubdir(path)) return 0;
    }
    return 1;
}
