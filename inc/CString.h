#pragma once

#include <cstdarg>

#include "TessarExport.h"

/// Header in front of the characters of every CString buffer. The characters follow it
/// directly and are always NUL-terminated at nDataLength.
struct CStringData {
    long nRefs;        ///< copies sharing this buffer; -1 marks the shared empty string
    int nDataLength;   ///< bytes of text, not counting the terminator
    int nAllocLength;  ///< bytes the buffer can hold, not counting the terminator

    /// The characters, directly after the header.
    char* data() { return reinterpret_cast<char*>(this + 1); }
};

/// The library's base byte string: reference-counted with copy-on-write.
///
/// Copying shares the buffer and costs one count increment; every mutator first makes the
/// buffer unique (CopyBeforeWrite), so a write never shows through a copy. A string without
/// text points at one shared, read-only empty representation that is never written or freed;
/// the text pointer is therefore never null. Once a buffer is unique, writes in place keep its
/// address (SetAt, Replace of a character, GetBuffer and appends within the capacity); Empty,
/// growth past the capacity and the operations that build a new text (Replace of a text, a
/// Format longer than 255 bytes) may move it.
///
/// Lengths are counted in bytes. A text may hold NUL bytes of its own; the C-string views
/// (comparison, operator const char*) end at the first one. Single-threaded: copies must not
/// be used from two threads at once. Growing beyond INT_MAX - 64 bytes throws std::bad_alloc.
class TESSAR_EXPORT CString {
public:
    // Construction
    /// The empty string (the shared empty representation; allocates nothing).
    CString() : m_pchData(s_pchNil) {}
    /// Shares other's buffer.
    CString(const CString& other) : m_pchData(other.m_pchData) { AddRef(); }
    /// Takes other's buffer; other becomes empty.
    CString(CString&& other) noexcept : m_pchData(other.m_pchData) { other.m_pchData = s_pchNil; }
    CString(const char* text);                  ///< null gives the empty string
    CString(const char* text, int length);      ///< the first `length` bytes (NULs included)
    CString(char ch, int repeat = 1);           ///< `repeat` copies; repeat <= 0 gives empty
    CString(const unsigned char* text);         ///< the bytes as a C string
    /// A 16-bit wide string (UTF-16: surrogate pairs are combined) converted to the current
    /// locale's multibyte text; a character the locale cannot express becomes '?'.
    CString(const unsigned short* wide);
    /// Drops this copy's reference; the last one frees the buffer.
    ~CString() { Release(); }

    // Assignment
    /// Replaces the text: a CString shares (or, moved, takes) the other's buffer; a C string is
    /// copied (null gives the empty string); a wide string is converted as by the constructor.
    /// Returns this string.
    ///@{
    const CString& operator=(const CString& other);
    const CString& operator=(CString&& other) noexcept;
    const CString& operator=(const char* text);
    const CString& operator=(const unsigned char* text);
    const CString& operator=(const unsigned short* wide);
    ///@}

    // Queries
    /// Bytes of text, NULs of the text included, terminator excluded.
    int GetLength() const { return GetData()->nDataLength; }
    /// Bytes the buffer can hold without growing (0 for the empty representation).
    int GetAllocLength() const { return GetData()->nAllocLength; }
    /// Non-zero when the length is 0.
    int IsEmpty() const { return GetData()->nDataLength == 0; }
    /// Byte at index; an index outside 0..length-1 is reported and gives 0.
    char GetAt(int index) const;
    /// The text, NUL-terminated; never null. Valid until this string is next written or destroyed.
    operator const char*() const { return m_pchData; }

    /// Comparison of the C-string views: strcmp / case-insensitive ASCII (negative, 0, positive).
    ///@{
    int Compare(const char* other) const;
    int CompareNoCase(const char* other) const;
    ///@}

    // Mutation
    /// Makes the string empty and drops its buffer (back to the shared empty representation).
    void Empty();
    /// Stores ch at index (0..length-1, else reported and ignored).
    void SetAt(int index, char ch);
    /// Appends; the argument may be this string or point into it.
    ///@{
    const CString& operator+=(const CString& other);
    const CString& operator+=(const char* text);
    const CString& operator+=(char ch);
    ///@}
    /// Replaces every occurrence, left to right without overlap, on character boundaries of
    /// the locale's multibyte text; returns how many were replaced (0 when oldCh == newCh or
    /// when `oldText` is null or empty). The arguments may point into this string.
    ///@{
    int Replace(char oldCh, char newCh);
    int Replace(const char* oldText, const char* newText);
    ///@}
    /// Letter case of the single-byte characters (ASCII letters only).
    ///@{
    void MakeUpper();
    void MakeLower();
    ///@}

    /// printf-style formatting into this string; the arguments may point into it.
    ///@{
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void FormatV(const char* format, va_list args);
    ///@}

    /// Direct access to the buffer. GetBuffer makes the buffer unique with room for at least
    /// minLength bytes (plus the terminator) and returns it; it is never the shared empty
    /// representation. ReleaseBuffer then stores the new length (strlen of the buffer when
    /// newLength is -1) and writes the terminator. GetBufferSetLength does both at once.
    ///@{
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);
    char* GetBufferSetLength(int newLength);
    ///@}

protected:
    /// The header in front of the characters.
    CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pchData) - 1; }
    /// Makes the buffer unique (and allocated) without changing the text.
    void CopyBeforeWrite();
    /// Replaces the text with `length` bytes from text (which may point into this string).
    void AssignCopy(const char* text, int length);
    /// Appends `length` bytes (which may point into this string), growing geometrically.
    void ConcatInPlace(const char* text, int length);
    /// Keeps only the bytes [first, first + count) of the text (a range outside it empties
    /// the string); when that is the whole text nothing is written.
    void KeepRange(int first, int count);

    /// The characters (a header sits in front of them); never null.
    char* m_pchData;

private:
    void AddRef() const {
        if (GetData()->nRefs > 0) ++GetData()->nRefs;
    }
    void Release() {
        if (GetData()->nRefs > 0 && --GetData()->nRefs == 0) FreeData(GetData());
    }
    static void FreeData(CStringData* data);
    /// A unique buffer with room for `capacity` bytes whose first `keep` bytes are the text.
    void Reallocate(int capacity, int keep);

    static char* const s_pchNil;  ///< the shared empty representation (read-only memory)
};

/// Concatenation.
TESSAR_EXPORT CString operator+(const CString& a, const CString& b);
TESSAR_EXPORT CString operator+(const CString& a, const char* b);
TESSAR_EXPORT CString operator+(const char* a, const CString& b);
TESSAR_EXPORT CString operator+(const CString& a, char b);
TESSAR_EXPORT CString operator+(char a, const CString& b);

/// Comparison of the C-string views (strcmp order; a null const char* compares as "").
TESSAR_EXPORT int CStringCompare(const char* a, const char* b);
inline bool operator==(const CString& a, const CString& b) { return CStringCompare(a, b) == 0; }
inline bool operator==(const CString& a, const char* b) { return CStringCompare(a, b) == 0; }
inline bool operator==(const char* a, const CString& b) { return CStringCompare(a, b) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return CStringCompare(a, b) != 0; }
inline bool operator!=(const CString& a, const char* b) { return CStringCompare(a, b) != 0; }
inline bool operator!=(const char* a, const CString& b) { return CStringCompare(a, b) != 0; }
inline bool operator<(const CString& a, const CString& b) { return CStringCompare(a, b) < 0; }
inline bool operator<(const CString& a, const char* b) { return CStringCompare(a, b) < 0; }
inline bool operator<(const char* a, const CString& b) { return CStringCompare(a, b) < 0; }
inline bool operator>(const CString& a, const CString& b) { return CStringCompare(a, b) > 0; }
inline bool operator>(const CString& a, const char* b) { return CStringCompare(a, b) > 0; }
inline bool operator>(const char* a, const CString& b) { return CStringCompare(a, b) > 0; }
inline bool operator<=(const CString& a, const CString& b) { return CStringCompare(a, b) <= 0; }
inline bool operator<=(const CString& a, const char* b) { return CStringCompare(a, b) <= 0; }
inline bool operator<=(const char* a, const CString& b) { return CStringCompare(a, b) <= 0; }
inline bool operator>=(const CString& a, const CString& b) { return CStringCompare(a, b) >= 0; }
inline bool operator>=(const CString& a, const char* b) { return CStringCompare(a, b) >= 0; }
inline bool operator>=(const char* a, const CString& b) { return CStringCompare(a, b) >= 0; }
