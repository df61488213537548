#pragma once

#include "SCC_Array.h"
#include "SFM_FilePath.h"
#include "TessarExport.h"

struct SFM_FindData;

/// A path that names a directory: it completes names against itself, lists its entries, files
/// and subdirectories with wildcard patterns, and creates, copies, moves and deletes files and
/// whole trees, telling the file manager (SFM) of every failure and asking its hooks whether to
/// overwrite an existing target (EC_TARGET_EXISTS, answer EC_YES) and whether to try a failed
/// step again (EC_COPY_FAILED, EC_MOVE_FAILED, EC_DELETE_FAILED, answer EC_RETRY). Every name is
/// handed to the system with each '\' turned into '/'.
///
/// Listings. A listing call with a pattern starts a new search, made absolute against this
/// directory; a call with null goes on with it. Entries and files share one search (mixing
/// GetNextEntry and GetNextFile continues it); subdirectories have their own. Patterns match
/// the last component with '*', '?' and [set]; "*.*" matches every name, with or without a dot,
/// and case counts. "." and ".." come back as entries but never as files or subdirectories. A
/// symbolic link is listed as a file, never as a subdirectory, so that DeleteAll never follows
/// a link out of the tree. A returned name lives in the search record until the next call of
/// that listing.
///
/// Names in the file operations (CopyFileA, MoveFileA, DeleteFileA, DeleteSubdir) get only this
/// directory's base path (drive or network root) when they have none; their relative part stays
/// relative to the process's current directory. The existence checks of copy and move
/// (FileExists) complete them against the whole directory. Without a file manager these
/// operations report a broken precondition ("Vosk: ", sfm/sfmdir) and return 0.
///
/// Copies. A copy takes the path only and starts without searches, so two objects never share
/// a search record.
class TESSAR_EXPORT SFM_Directory : public SFM_FilePath {
public:
    SFM_Directory() = default;
    /// A directory object for `path` (null: the empty path), with no search open.
    SFM_Directory(const char* path);
    /// Copies the path only (see Copies).
    SFM_Directory(const SFM_Directory& other);
    /// Closes the searches and frees their records.
    ~SFM_Directory() override;

    /// Assignment takes the path only; the searches of this object stay as they are.
    ///@{
    SYS_String operator=(const char* path);
    SYS_String operator=(const CString& path);
    SFM_Directory& operator=(const SFM_Directory& other);
    ///@}

    /// `name` made absolute against this directory (SetDefPath with this full path).
    SYS_String operator+(const char* name) const;

    /// The process's current directory with a trailing default separator, as base path and
    /// relative directory; the empty text when the system cannot tell it.
    SYS_String GetCurDir() const;
    /// Changes the process's current directory: 0 on success, -1 on failure.
    int SetCurDir(SYS_String dir);

    /// The next matching name (see Listings), or null at the end.
    ///@{
    char* GetNextEntry(const char* pattern = nullptr);
    char* GetNextFile(const char* pattern = nullptr);
    char* GetNextSubdir(const char* pattern = nullptr);
    ///@}
    /// 1 when a file / subdirectory matches `pattern`, else 0; the search is closed again.
    ///@{
    int FileExists(const char* pattern);
    int DirExists(const char* pattern);
    ///@}

    /// Creates one directory: non-zero on success.
    int MakeDirectory(SYS_String dir);
    /// Creates every directory along `path` (the prefixes before each separator, and the whole
    /// path; a drive such as C: is skipped). The result is that of the last creation: 0 when
    /// the deepest directory already existed, 0 for an empty path.
    int MakePath(SYS_String path);

    /// Copies `from` to `to`. When both exist and `overwrite` is 0, the hooks must answer EC_YES
    /// to EC_TARGET_EXISTS; a failed copy is tried again while they answer EC_RETRY to
    /// EC_COPY_FAILED. 1 on success, else 0.
    int CopyFileA(const char* from, const char* to, int overwrite);
    /// Renames `from` to `to`. An existing target is deleted first when `from` can be opened
    /// (after EC_TARGET_EXISTS answered EC_YES when `overwrite` is 0); a rename never replaces
    /// a target that is still there. EC_MOVE_FAILED and retries as for copies. 1 or 0.
    int MoveFileA(const char* from, const char* to, int overwrite);
    /// Deletes one file (never a directory); EC_DELETE_FAILED and retries. 1 or 0.
    int DeleteFileA(const char* name);
    /// Removes an empty directory; EC_DELETE_FAILED and retries. When the current directory is
    /// the directory part of `name`, this directory becomes the current one first. 1 or 0.
    int DeleteSubdir(const char* name);
    /// Deletes every file and subdirectory tree inside this directory (not the directory
    /// itself); stops with 0 at the first failure, else 1.
    int DeleteAll();

protected:
    /// One listing step on `record` (created on first use): a new search with a pattern, the
    /// next match without one. The name of the match, or null.
    char* GetNextItem(const char* pattern, SFM_FindData*& record);

private:
    /// The platform copy, overwriting allowed.
    static int _CopyFile(const char* from, const char* to);
    /// `name` with this directory's base path when it has none.
    SYS_String CompleteName(const char* name);

    SFM_FindData* m_entrySearch = nullptr;   ///< entries and files
    SFM_FindData* m_subdirSearch = nullptr;  ///< subdirectories
};

/// The directories a file manager keeps for building external file names.
class TESSAR_EXPORT SFM_DirArray : public SCC_Array<SFM_Directory> {};
