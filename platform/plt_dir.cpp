#include "PLT_Directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "PLT_File.h"

namespace {

DIR* StreamOf(const PLT_FindData& data) { return static_cast<DIR*>(data.stream); }

// Whether the entry is a directory. A symbolic link is not, wherever it points, so that a walk
// over the tree never leaves it; an entry of unknown type is looked up.
bool IsDirectoryEntry(DIR* stream, const dirent* entry) {
    if (entry->d_type != DT_UNKNOWN) return entry->d_type == DT_DIR;
    struct stat info;
    return fstatat(dirfd(stream), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(info.st_mode);
}

// `pattern` as fnmatch reads it with only '*' and '?' special: '[' and '\\' are escaped.
std::string FnmatchForm(const char* pattern, size_t length) {
    std::string form;
    form.reserve(length + 4);
    for (size_t i = 0; i < length; ++i) {
        if (pattern[i] == '[' || pattern[i] == '\\') form += '\\';
        form += pattern[i];
    }
    return form;
}

bool EndsInDotStar(const std::string& pattern) {
    return pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
}

// The fnmatch forms of a name pattern: as written, and without a final ".*" (empty when it
// has none), which lets "*.*" match a name without a dot.
void CompilePattern(const std::string& pattern, std::string& whole, std::string& withoutDotStar) {
    whole = FnmatchForm(pattern.data(), pattern.size());
    withoutDotStar = EndsInDotStar(pattern) ? FnmatchForm(pattern.data(), pattern.size() - 2)
                                            : std::string();
}

bool MatchesCompiled(const std::string& whole, const std::string& withoutDotStar,
                     const char* name) {
    if (fnmatch(whole.c_str(), name, 0) == 0) return true;
    return !withoutDotStar.empty() && fnmatch(withoutDotStar.c_str(), name, 0) == 0;
}

// Reads entries up to the next one that matches the search's pattern.
int ReadMatch(PLT_FindData& data) {
    DIR* stream = StreamOf(data);
    if (stream == nullptr) return 0;
    while (const dirent* entry = readdir(stream)) {
        if (!MatchesCompiled(data.matchWhole, data.matchWithoutDotStar, entry->d_name)) continue;
        const size_t length = strnlen(entry->d_name, sizeof data.name - 1);
        std::memcpy(data.name, entry->d_name, length);
        data.name[length] = '\0';
        data.attributes = IsDirectoryEntry(stream, entry) ? PLT_ATTRIBUTE_DIRECTORY : 0;
        return 1;
    }
    PLT_FindClose(data);
    return 0;
}

// Writes all `count` bytes, going on after partial writes and interruptions.
bool WriteAll(int descriptor, const char* bytes, ssize_t count) {
    while (count > 0) {
        const ssize_t written = write(descriptor, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= written;
    }
    return true;
}

bool CopyContents(int source, int target) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = read(source, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (!WriteAll(target, buffer.data(), got)) return false;
    }
}

// Opens (creating when missing) the target of a copy without truncating it, and refuses the
// source itself, which truncating would destroy.
int OpenCopyTarget(const std::string& path, int source, mode_t mode) {
    const int target = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, mode);
    if (target < 0) return -1;
    struct stat sourceInfo, targetInfo;
    if (fstat(source, &sourceInfo) == 0 && fstat(target, &targetInfo) == 0 &&
        sourceInfo.st_dev == targetInfo.st_dev && sourceInfo.st_ino == targetInfo.st_ino) {
        close(target);
        errno = EINVAL;
        return -1;
    }
    if (ftruncate(target, 0) != 0) {
        const int error = errno;
        close(target);
        errno = error;
        return -1;
    }
    return target;
}

}  // namespace

int PLT_MatchFileName(const char* pattern, const char* name) {
    std::string whole, withoutDotStar;
    CompilePattern(pattern, whole, withoutDotStar);
    return MatchesCompiled(whole, withoutDotStar, name) ? 1 : 0;
}

int PLT_FindFirst(const char* pattern, PLT_FindData& data) {
    PLT_FindClose(data);
    const std::string path = PLT_SystemPath(pattern);
    const size_t slash = path.rfind('/');
    std::string directory = ".";
    if (slash != std::string::npos) directory = slash == 0 ? "/" : path.substr(0, slash);
    data.pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    CompilePattern(data.pattern, data.matchWhole, data.matchWithoutDotStar);
    data.stream = opendir(directory.c_str());
    return ReadMatch(data);
}

int PLT_FindNext(PLT_FindData& data) { return ReadMatch(data); }

void PLT_FindClose(PLT_FindData& data) {
    if (data.stream == nullptr) return;
    closedir(StreamOf(data));
    data.stream = nullptr;
}

std::string PLT_GetCurrentDirectory() {
    std::vector<char> buffer(256);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

int PLT_SetCurrentDirectory(const char* path) { return chdir(PLT_SystemPath(path).c_str()); }

int PLT_MakeDirectory(const char* path) { return mkdir(PLT_SystemPath(path).c_str(), 0777) == 0; }

int PLT_RemoveDirectory(const char* path) { return rmdir(PLT_SystemPath(path).c_str()); }

int PLT_RemoveFile(const char* path) { return unlink(PLT_SystemPath(path).c_str()); }

int PLT_RenameFile(const char* from, const char* to) {
    const std::string source = PLT_SystemPath(from);
    const std::string target = PLT_SystemPath(to);
    if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without the no-replace flag: refuse a target that exists, then rename.
    struct stat info;
    if (lstat(target.c_str(), &info) == 0) {
        errno = EEXIST;
        return -1;
    }
    return rename(source.c_str(), target.c_str());
}

int PLT_OpenExisting(const char* path) {
    return open(PLT_SystemPath(path).c_str(), O_RDONLY | O_CLOEXEC);
}

void PLT_CloseDescriptor(int descriptor) {
    if (descriptor >= 0) close(descriptor);
}

int PLT_CopyFile(const char* from, const char* to) {
    const int source = PLT_OpenExisting(from);
    if (source < 0) return 0;
    struct stat info;
    int target = -1;
    bool copied = false;
    if (fstat(source, &info) != 0) {
        // errno tells why
    } else if (S_ISDIR(info.st_mode)) {
        errno = EISDIR;
    } else {
        target = OpenCopyTarget(PLT_SystemPath(to), source, info.st_mode & 07777);
        copied = target >= 0 && CopyContents(source, target);
    }
    int error = copied ? 0 : errno;
    if (target >= 0 && close(target) != 0 && copied) {
        copied = false;  // the last bytes may not have reached the disk
        error = errno;
    }
    close(source);
    if (!copied) errno = error;
    return copied ? 1 : 0;
}
