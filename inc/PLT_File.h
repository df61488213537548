#pragma once

#include <cstddef>
#include <string>

#include "TessarExport.h"
#include "TessarTypes.h"

/// @file
/// Services of the operating system for files, the application profile and starting programs.

/// `path` as the system takes it: every '\' becomes '/', so that a path written with either
/// separator names the same file. A null path gives the empty one.
TESSAR_EXPORT std::string PLT_SystemPath(const char* path);

/// The system's text for `errorCode` in the current locale, or the empty text when the system
/// has none for that number.
TESSAR_EXPORT std::string PLT_SystemErrorText(int errorCode);

/// Runs `commandLine` with /bin/sh -c in the background and returns at once: the program is not
/// waited for and leaves no zombie behind. FALSE when the shell could not be started.
TESSAR_EXPORT int PLT_StartProgram(const char* commandLine);

/// A private, read-only-on-disk view of a whole file: writing into the view never changes the
/// file. `view` is null when the file could not be opened or mapped (an empty file included).
struct PLT_MappedFile {
    /// The open file, or -1.
    int descriptor = -1;
    /// The mapped view, or null.
    void* view = nullptr;
    /// Bytes of the view (the file's length when mapped), else 0.
    size_t size = 0;
};
/// Maps the whole file at `path` (see PLT_MappedFile); release it with PLT_UnmapFile.
TESSAR_EXPORT PLT_MappedFile PLT_MapFile(const char* path);
/// Releases the view and then the descriptor; FALSE (and nothing released) when the view could
/// not be released.
TESSAR_EXPORT int PLT_UnmapFile(PLT_MappedFile& mapping);

// The application profile: an INI file of "[section]" headers and "key=value" lines. Section
// and key names compare without case; blanks around names and values are ignored, and a value
// in matching double quotes loses them; lines starting with ';' are comments. Its path is set by
// the host (PLT_SetProfilePath); by default $XDG_CONFIG_HOME/Tessar500r/profile.ini, or
// ~/.config/Tessar500r/profile.ini when XDG_CONFIG_HOME is not set.
//
// Writes rewrite the whole file through a temporary file in the same directory that is then
// renamed over it, so a crash never leaves a half-written profile; the directory is created
// when missing. A value is stored up to its first line break, which the format cannot hold; a
// value with blanks at its ends is stored in double quotes. Names the format cannot hold (empty,
// blanks at their ends, a line break, ']' in a section, '=' in a key, a key that starts with ';'
// or '[') are refused.

/// Sets the profile's path; null or empty restores the default.
TESSAR_EXPORT void PLT_SetProfilePath(const char* path);
/// The profile's path: the one set, else the default.
TESSAR_EXPORT std::string PLT_GetProfilePath();
/// The setting, or `defaultValue` when it (or the file) is missing.
TESSAR_EXPORT std::string PLT_ReadProfileString(const char* section, const char* key,
                                                const char* defaultValue);
/// The setting's leading decimal integer (0 when it has none), or `defaultValue` when missing.
TESSAR_EXPORT int PLT_ReadProfileInt(const char* section, const char* key, int defaultValue);
/// FALSE when the profile could not be written (it is then unchanged).
TESSAR_EXPORT int PLT_WriteProfileString(const char* section, const char* key, const char* value);

/// The INI text rules of the profile, on a text in memory.
/// Looks up `key` in `section`; true and the value when found.
TESSAR_EXPORT bool PLT_IniFind(const std::string& text, const char* section, const char* key,
                               std::string& value);
/// `text` with `key` of `section` set to `value`: the first such line is replaced, else the key
/// is added at the end of the first such section, else the section is added at the end. A
/// refused name leaves the text unchanged.
TESSAR_EXPORT std::string PLT_IniSet(const std::string& text, const char* section,
                                     const char* key, const char* value);
