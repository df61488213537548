#pragma once

#include <string>

#include "TessarExport.h"

/// @file
/// Services of the operating system for directories and whole files. Every path is taken as
/// PLT_SystemPath gives it (each '\' becomes '/'), so that a path written with either separator
/// names the same file.

/// Attribute bit of a match that is a directory (a symbolic link never is).
const unsigned PLT_ATTRIBUTE_DIRECTORY = 0x10;

/// One directory search: the system's directory stream, the name pattern, and the latest match.
/// A search is open while `stream` is not null.
struct PLT_FindData {
    void* stream = nullptr;     ///< the directory stream (DIR*)
    std::string pattern;        ///< the name pattern, the last component of the searched text
    std::string matchWhole;           ///< the pattern as the matcher reads it
    std::string matchWithoutDotStar;  ///< the same without a final ".*", or empty
    unsigned attributes = 0;    ///< PLT_ATTRIBUTE_DIRECTORY or 0, of the latest match
    char name[256] = {};        ///< the latest match (a Linux name holds at most 255 bytes)
};

/// Whether `name` matches the wildcard `pattern` as a directory search of the original host does:
/// '*' any run of characters (also none), '?' any one character, every other character itself
/// ('[' and '\' included); leading dots need no special match; case counts. A pattern that ends
/// in ".*" also matches without that ending, so "*.*" matches every name and "a.*" matches "a".
TESSAR_EXPORT int PLT_MatchFileName(const char* pattern, const char* name);

/// Starts a search for the entries matching the last component of `pattern` in the directory
/// before it (the current directory when there is none). Closes a search `data` already holds.
/// TRUE with the first match in `data`; FALSE, with the search closed, when the directory
/// cannot be read or nothing matches.
TESSAR_EXPORT int PLT_FindFirst(const char* pattern, PLT_FindData& data);
/// The next match of an open search: TRUE with it in `data`; FALSE at the end, which closes the
/// search, or when no search is open.
TESSAR_EXPORT int PLT_FindNext(PLT_FindData& data);
/// Closes the search if one is open.
TESSAR_EXPORT void PLT_FindClose(PLT_FindData& data);

/// The process's current directory, of any length; empty when the system cannot tell it.
TESSAR_EXPORT std::string PLT_GetCurrentDirectory();
/// chdir: 0 on success, -1 on failure (errno set).
TESSAR_EXPORT int PLT_SetCurrentDirectory(const char* path);
/// mkdir with the permissions the process's umask allows: TRUE on success.
TESSAR_EXPORT int PLT_MakeDirectory(const char* path);
/// rmdir, unlink (never a directory): 0 on success, -1 on failure (errno set).
///@{
TESSAR_EXPORT int PLT_RemoveDirectory(const char* path);
TESSAR_EXPORT int PLT_RemoveFile(const char* path);
///@}
/// Renames without ever replacing an existing `to` (EEXIST), as the C run time of the original
/// host renames: 0 on success, -1 on failure (errno set).
TESSAR_EXPORT int PLT_RenameFile(const char* from, const char* to);
/// Opens an existing file for reading: a descriptor, or -1 (errno set).
TESSAR_EXPORT int PLT_OpenExisting(const char* path);
/// Closes a descriptor of PLT_OpenExisting; -1 is ignored.
TESSAR_EXPORT void PLT_CloseDescriptor(int descriptor);
/// Copies the contents of the file `from` to `to`, creating or replacing `to` (with the
/// permissions of `from`); TRUE on success. Copying a file onto itself fails and leaves it whole.
/// errno tells the first failure.
TESSAR_EXPORT int PLT_CopyFile(const char* from, const char* to);
