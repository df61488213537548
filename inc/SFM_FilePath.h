#pragma once

#include "SYS_String.h"
#include "TessarExport.h"

/// A file path split into its parts:
///
///     full path = base path + relative directory + name with extension
///     name with extension = name + extension
///
/// for `C:\work\sub\plan.brd`: base path "C:", relative directory "\work\sub\", name "plan",
/// extension ".brd". Every operation leaves these two equations true; the full path is rebuilt
/// from the parts after each change.
///
/// Parsing (every assignment and every writer argument goes through it):
/// - base path: up to and including the first ':' when the text has one (a drive); otherwise,
///   for a text longer than 2 characters that starts with the same separator twice, the network
///   root up to and including the separator after the share name (\\srv\share\), or the whole
///   text when server or share is not followed by a separator; otherwise empty;
/// - relative directory: after the base path, up to and including the last separator; empty
///   when the last separator lies inside the base path or there is none;
/// - the rest, with its trailing dots removed ("plan." is "plan", ".." is empty), is the name
///   with extension; the extension runs from its last '.' (".gz" of "archive.tar.gz"), so a
///   name that starts with its only dot (".profile") is all extension and has an empty name.
/// Both backslash and slash are separators (DirectorySeparators); writers that add a separator
/// add the default one. Searches step over whole characters of the locale's multibyte text.
///
/// Rooted paths: on this platform a path that starts with a separator names a place of its
/// own, so SetDefPath gives such a path at most the other directory's base path (its drive or
/// network root) and never puts that directory's relative part in front of it.
class TESSAR_EXPORT SFM_FilePath {
public:
    /// The separators, backslash then slash. Created when the library is loaded.
    static const SYS_String DirectorySeparators;
    /// Index into DirectorySeparators of the separator that writers add; 0 (backslash) at
    /// start, set by the host (1 makes it the slash).
    static int DefaultSeparator;

    /// Construction: empty, parsed from a text (null gives empty), or a copy of all parts.
    SFM_FilePath() = default;
    /// Parses `path` (null gives the empty path).
    ///@{
    SFM_FilePath(const char* path);
    SFM_FilePath(const CString& path);
    ///@}
    /// Copies every part.
    SFM_FilePath(const SFM_FilePath& other) = default;
    /// Paths are values; destroying one frees its texts.
    virtual ~SFM_FilePath() = default;

    /// Parses `path`; a null or empty text clears every part. Returns the full path.
    ///@{
    SYS_String operator=(const char* path);
    SYS_String operator=(const CString& path);
    ///@}
    /// Copies every part.
    SFM_FilePath& operator=(const SFM_FilePath& other) = default;

    /// Non-zero when the full path is empty.
    int IsEmpty() const { return m_fullPath.IsEmpty(); }
    /// The full path; the pointer form stays valid until this path changes or is destroyed.
    ///@{
    operator SYS_String() const { return m_fullPath; }
    operator const char*() const { return m_fullPath; }
    ///@}

    /// Readers. When `path` is given it is assigned first (a null pointer keeps this path).
    SYS_String GetFileExtension(const char* path = nullptr);  ///< ".brd"
    SYS_String GetFileDirectory(const char* path = nullptr);  ///< base path + relative directory
    SYS_String GetFileName(const char* path = nullptr);       ///< "plan"
    SYS_String GetFileNameExt(const char* path = nullptr);    ///< "plan.brd"
    SYS_String GetBasePath(const char* path = nullptr);       ///< "C:"
    SYS_String GetRelPath(const char* path = nullptr);        ///< "\work\sub\"

    /// Writers; each returns the new full path. Every argument is parsed as a path and only the
    /// named part of it is taken. The forms with a leading `path` assign it first.
    ///
    /// A '.' is put in front of an extension that does not start with one: "txt" and ".txt"
    /// give ".txt", "tar.gz" gives ".gz" and the empty text removes the extension.
    ///@{
    SYS_String SetFileExtension(const char* ext);
    SYS_String SetFileExtension(const char* path, const char* ext);
    ///@}
    /// Base path and relative directory of `dir`, read as a directory: a default separator is
    /// appended when it does not end in a separator ("C:\work" gives "C:" and "\work\").
    ///@{
    SYS_String SetFileDirectory(const char* dir);
    SYS_String SetFileDirectory(const char* path, const char* dir);
    ///@}
    /// With `nameOnly` non-zero the name of `name` replaces the name; with 0 its name with
    /// extension replaces the name and the old extension stays behind it ("x.y" on plan.brd
    /// gives x.y.brd; with nameOnly 1, x.brd).
    ///@{
    SYS_String SetFileName(const char* name, int nameOnly);
    SYS_String SetFileName(const char* path, const char* name, int nameOnly);
    ///@}
    /// SetFileName(name of `nameExt`, 1), then SetFileExtension(extension of `nameExt`). The
    /// name is parsed once more on the way, so only its part before its own last dot stays:
    /// "a.b.c" gives the name "a" and the extension ".c".
    ///@{
    SYS_String SetFileNameExt(const char* nameExt);
    SYS_String SetFileNameExt(const char* path, const char* nameExt);
    ///@}
    /// The base path of `base` (its drive or network root) replaces the base path.
    ///@{
    SYS_String SetBasePath(const char* base);
    SYS_String SetBasePath(const char* path, const char* base);
    ///@}
    /// The relative directory of `rel`: a text without a separator ("sub") has none and
    /// empties the relative directory.
    ///@{
    SYS_String SetRelPath(const char* rel);
    SYS_String SetRelPath(const char* path, const char* rel);
    ///@}
    /// Fills each empty part (base path, relative directory, name, extension) from `path`.
    SYS_String SetDefault(const char* path);
    /// Makes a path without a base path absolute against the directory `dir`: the base path of
    /// `dir` becomes this base path and, unless this path is rooted (its relative directory
    /// starts with a separator), dir's relative directory and name, with a default separator
    /// after them, go in front of this relative directory, which then ends in a separator when
    /// it is not empty (the default one is added). A path with a base path is left as it is.
    SYS_String SetDefPath(const char* dir);

    /// Appends the default separator to a non-empty full path that does not end in it and
    /// parses the result, so that the last name becomes part of the relative directory.
    void AddSeparator();

protected:
    /// Rebuilds the name with extension and the full path from the other parts.
    void Rebuild();
    /// The default separator as a character.
    static char DefaultSeparatorChar();

private:
    virtual void Process(const SYS_String& path);

    SYS_String m_fullPath;
    SYS_String m_basePath;
    SYS_String m_relPath;
    SYS_String m_nameExt;
    SYS_String m_name;
    SYS_String m_ext;
};
