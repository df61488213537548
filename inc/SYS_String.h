#pragma once

#include <cstdarg>

#include "CString.h"
#include "TessarTypes.h"

/// The library's string: a CString (same representation, copy-on-write, byte lengths) with
/// searches from a start position, trimming by a character, insertion and deletion at an
/// index, stream-like append and extract operators, typed number reading, wildcard patterns
/// and a numeric-aware comparison.
///
/// The text is a byte string in the multibyte encoding of the current C locale. Searches,
/// spans and trimming step over whole characters and never match inside a multibyte
/// character; indexes and lengths are counted in bytes. They cover the whole stored length:
/// a NUL byte inside the text is an ordinary byte that no character set contains. Number
/// reading and wildcard matching see the text as a C string (up to its first NUL).
class TESSAR_EXPORT SYS_String : public CString {
public:
    // Construction and conversion
    SYS_String() = default;
    /// Shares other's buffer.
    SYS_String(const SYS_String& other) = default;
    /// Takes other's buffer; other becomes empty.
    SYS_String(SYS_String&& other) noexcept = default;
    SYS_String(const CString& other) : CString(other) {}          ///< shares the buffer
    /// Takes other's buffer; other becomes empty.
    SYS_String(CString&& other) noexcept : CString(static_cast<CString&&>(other)) {}
    /// `nRepeat` copies of ch; nRepeat <= 0 gives empty.
    SYS_String(char ch, int nRepeat) : CString(ch, nRepeat) {}
    SYS_String(const char* text) : CString(text) {}                ///< null gives empty
    /// The first `nLength` bytes of text (NULs included).
    SYS_String(const char* text, int nLength) : CString(text, nLength) {}
    SYS_String(const unsigned short* wide) : CString(wide) {}     ///< see CString
    /// The bytes as a C string.
    SYS_String(const unsigned char* text) : CString(text) {}
    ~SYS_String() = default;

    /// Replace the text, as CString's assignments do (a string shares or takes the other's buffer,
    /// a C string is copied, null gives empty); return this string.
    ///@{
    const SYS_String& operator=(const SYS_String& other);
    const SYS_String& operator=(SYS_String&& other) noexcept;
    const SYS_String& operator=(const CString& other);
    const SYS_String& operator=(const char* text);
    const SYS_String& operator=(const unsigned short* wide);
    const SYS_String& operator=(const unsigned char* text);
    ///@}

    /// Sub-strings (new strings; *this is unchanged). Negative positions and counts count as
    /// 0 and counts are clipped to the text; a start beyond the text gives an empty string.
    ///@{
    SYS_String Mid(int nFirst, int nCount) const;
    SYS_String Mid(int nFirst) const;
    SYS_String Left(int nCount) const;
    SYS_String Right(int nCount) const;
    ///@}
    SYS_String SpanIncluding(const char* set) const;  ///< leading characters in set
    SYS_String SpanExcluding(const char* set) const;  ///< leading characters not in set

    /// Searches: a byte index or -1. Forward searches start at 0 by default; -2, the default
    /// of the reverse searches, means from the last character. Find(char) allows a start equal
    /// to the length, Find(sub) does not; an empty sub is found at the start. Find('\0') gives
    /// the first NUL at or after the start: the terminator, at the length, unless the text
    /// holds NUL bytes of its own. Reverse searches never write into the (shared) buffer.
    ///@{
    int Find(char ch, int nStart = 0) const;
    int Find(const char* sub, int nStart = 0) const;
    int FindOneOf(const char* set, int nStart = 0) const;
    int ReverseFind(char ch, int nStart = -2) const;
    int ReverseFindOneOf(const char* set, int nStart = -2) const;
    ///@}

    /// Trimming. With an empty (or null) target, white space of the locale is removed;
    /// otherwise the run of characters equal to the first character of target (the rest of
    /// target is ignored). AllTrim trims both ends. Nothing is written when nothing is trimmed.
    ///@{
    SYS_String& TrimRight(const char* target = "");
    SYS_String& TrimLeft(const char* target = "");
    SYS_String& AllTrim(const char* target = "");
    ///@}

    /// Editing; each returns the new length. Insert at or past the end pads with spaces up to
    /// nIndex. Delete with nCount 0, or more than remains, deletes to the end; nothing happens
    /// at or past the end. A negative index (or count) is reported ("sys/sysstr") and leaves
    /// the string unchanged. Replace(int, int, ...) is Delete then Insert, each with its own
    /// report: a negative count alone still inserts.
    ///@{
    int Insert(int nIndex, const char* str);
    int Delete(int nIndex, int nCount);
    int Replace(int nIndex, int nCount, const char* str);
    ///@}
    /// All occurrences of a character or text; returns the count (see CString::Replace).
    using CString::Replace;  // all occurrences of a character or text; returns the count

    /// Appending (chaining). Integers in decimal, float and double with "%f".
    ///@{
    SYS_String& operator<<(char ch);
    SYS_String& operator<<(const char* text);
    SYS_String& operator<<(const CString& text);
    SYS_String& operator<<(int value);
    SYS_String& operator<<(long value);
    SYS_String& operator<<(unsigned int value);
    SYS_String& operator<<(unsigned long value);
    SYS_String& operator<<(float value);
    SYS_String& operator<<(double value);
    ///@}

    /// Extracting: each returns the rest of the text; *this is unchanged.
    /// An unsigned decimal number (strtoul rules); the whole text when none was read.
    SYS_String operator>>(unsigned int& value) const;
    /// The text from the first byte that is not in skipSet.
    ///@{
    SYS_String operator>>(const char* skipSet) const;
    SYS_String operator>>(char* skipSet) const;
    ///@}
    /// A token: a quote (") at the very start is skipped; a pair of quotes is copied as two
    /// quotes; any other quote ends the token and starts the rest (it is not consumed).
    SYS_String operator>>(CString& token) const;

    /// Reads a number from the start of the text (strtol/strtoul base 10, strtod), stores it
    /// in *pValue and the first unread character in *ppEnd (when not null), and returns it.
    /// No number gives 0 with *ppEnd at the start. short, int and unsigned int are read as the
    /// 32-bit conversions do: out-of-range text saturates at the 32-bit limits, and short is
    /// then cut to its low 16 bits (70000 gives 4464). long and unsigned long are 64-bit.
    ///@{
    short Value(short* pValue, const char** ppEnd = nullptr) const;
    int Value(int* pValue, const char** ppEnd = nullptr) const;
    long Value(long* pValue, const char** ppEnd = nullptr) const;
    unsigned int Value(unsigned int* pValue, const char** ppEnd = nullptr) const;
    unsigned long Value(unsigned long* pValue, const char** ppEnd = nullptr) const;
    float Value(float* pValue, const char** ppEnd = nullptr) const;
    double Value(double* pValue, const char** ppEnd = nullptr) const;
    ///@}

    /// Numeric-aware ordering (_tcsnumcmp): item9 < item10 < item10$.
    int CompareAlNum(const char* other) const;

    /// Wildcard patterns: "*" any run, "?" any one byte, "[set]" / "[!set]" / "[^set]" one
    /// byte in (not in) the set, with ranges "a-z" (reversed ranges too) and "\" escaping a
    /// member inside a set. Outside a set every character, "\" included, is literal. The
    /// matcher works on bytes: "?" matches one byte of a multibyte character.
    /// TRUE when the text holds "*", "?" or "[".
    int IsPattern() const;
    /// TRUE, or FALSE with *pError = -1 (escape at the end inside a set), -2 (range without
    /// end), -3 (set not closed), -4 (empty set "[]"); *pError is 0 when valid.
    int IsValidPattern(int* pError) const;
    /// TRUE when the whole text matches pattern. Never recurses per input byte or per "*".
    int Match(const CString& pattern) const;
};

static_assert(sizeof(SYS_String) == sizeof(CString), "SYS_String adds no data member");

/// Key form of SYS_String whose ordering (and hash) ignores the case of ASCII letters.
struct TESSAR_EXPORT SYS_StrNoCase : public SYS_String {
    /// Every constructor of SYS_String.
    using SYS_String::SYS_String;
    SYS_StrNoCase() = default;
    /// The same text; ordering and hashing then ignore case.
    SYS_StrNoCase(const SYS_String& other) : SYS_String(other) {}
};

static_assert(sizeof(SYS_StrNoCase) == sizeof(CString), "SYS_StrNoCase adds no data member");

/// printf-style formatting into a new string.
TESSAR_EXPORT SYS_String FormattedString(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

/// Orderings of string keys for sorted arrays and maps.
/// Byte-wise on unsigned bytes up to the first difference or terminator; exactly -1, 0 or 1.
TESSAR_EXPORT int SCC_Compare(const SYS_String& a, const SYS_String& b);
/// Case-insensitive (_stricmp): negative, 0 or positive.
TESSAR_EXPORT int SCC_Compare(const SYS_StrNoCase& a, const SYS_StrNoCase& b);
