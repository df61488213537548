#pragma once

// Multibyte text of the current C locale, as the string classes walk it.
//
// A text is a byte range [s, s + len). Characters are found with mbrlen from a fresh state;
// an invalid or incomplete sequence, and a NUL byte, count as one byte, so every walk always
// advances and never leaves the range. In every charset glibc offers as a locale encoding a
// lead byte is 0x80 or above, so a byte below 0x80 found at a character boundary is a
// character of its own without asking mbrlen. (Trail bytes may lie below 0x80, as in BIG5 or
// GBK; that is why searches walk from a known boundary instead of testing bytes alone.)
// An operation creates one PLT_MbText, which reads MB_CUR_MAX once; in a single-byte locale
// (the default "C" locale) every walk then reduces to plain byte loops.
#include <ctype.h>

#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "TessarExport.h"

/// Shared by the base string of the platform layer and the string family above it; exported so
/// that both halves of one walk are the same code.
namespace plt {

/// The answer of a search that found nothing.
constexpr size_t kNotFound = static_cast<size_t>(-1);

/// Length of the multibyte character at p, at most `left` (> 0) bytes; 1 when invalid.
TESSAR_EXPORT size_t MultiByteCharLen(const char* p, size_t left);

/// First occurrence of the bytes of sub (subLen > 0) in [s, s + len), or null.
TESSAR_EXPORT const char* FindBytes(const char* s, size_t len, const char* sub, size_t subLen);

/// isspace of single bytes with the current locale's class table fetched once: glibc's isspace
/// reads the same table through __ctype_b_loc on every call.
class PLT_ByteClasses {
public:
    PLT_ByteClasses() : m_table(*__ctype_b_loc()) {}
    /// Whether the byte is white space in the current locale.
    bool IsSpace(unsigned char c) const { return (m_table[c] & _ISspace) != 0; }

private:
    const unsigned short* m_table;
};

/// The current locale's character walk, for one operation: it reads MB_CUR_MAX once, at
/// construction, and reduces every walk to byte steps in a single-byte locale.
class TESSAR_EXPORT PLT_MbText {
public:
    PLT_MbText() : m_singleByte(MB_CUR_MAX == 1) {}

    /// True when the locale's characters are all one byte long.
    bool IsSingleByte() const { return m_singleByte; }

    /// Bytes of the character at p when `left` (> 0) bytes remain in the text.
    size_t CharLen(const char* p, size_t left) const {
        if (m_singleByte || static_cast<unsigned char>(*p) < 0x80) return 1;
        return MultiByteCharLen(p, left);
    }

    /// Bytes of the character at p inside a NUL-terminated text (never looks past the NUL).
    size_t CharLenInCString(const char* p) const {
        if (m_singleByte || static_cast<unsigned char>(*p) < 0x80) return 1;
        return MultiByteCharLen(p, strnlen(p, MB_LEN_MAX));
    }

    /// True when the character of `n` bytes at p is white space (isspace / iswspace).
    bool IsSpace(const char* p, size_t n) const;

    /// First index >= start where the single-byte character ch stands as a whole character,
    /// or kNotFound. `start` is taken as a character boundary.
    size_t FindChar(const char* s, size_t len, size_t start, char ch) const {
        if (start >= len) return kNotFound;
        if (!m_singleByte) return FindCharMultiByte(s, len, start, ch);
        const void* hit = std::memchr(s + start, ch, len - start);
        return hit ? static_cast<const char*>(hit) - s : kNotFound;
    }
    /// Last index <= last where ch stands as a whole character (last < len), or kNotFound.
    size_t ReverseFindChar(const char* s, size_t len, size_t last, char ch) const {
        if (last >= len) return kNotFound;
        if (!m_singleByte) return ReverseFindCharMultiByte(s, len, last, ch);
        const void* hit = memrchr(s, ch, last + 1);
        return hit ? static_cast<const char*>(hit) - s : kNotFound;
    }
    /// First index >= start where `sub` (subLen > 0 bytes) covers whole characters: it begins
    /// and ends on character boundaries.
    size_t FindSub(const char* s, size_t len, size_t start, const char* sub, size_t subLen) const;

private:
    size_t FindCharMultiByte(const char* s, size_t len, size_t start, char ch) const;
    size_t ReverseFindCharMultiByte(const char* s, size_t len, size_t last, char ch) const;

    bool m_singleByte;
};

/// The characters of a C string used as a set (strspn/strcspn style). The NUL byte is never a
/// member. Whole characters are compared: a trail byte of the text never matches a set member.
class TESSAR_EXPORT PLT_MbCharSet {
public:
    /// The set of the whole characters of the NUL-terminated `set`, as `text` walks them; both
    /// `text` and `set` must outlive this object.
    PLT_MbCharSet(const PLT_MbText& text, const char* set);

    /// Whether the character of `n` bytes at p is a member of the set.
    bool Contains(const char* p, size_t n) const {
        if (n == 1) return (m_bytes[static_cast<unsigned char>(*p) >> 6] >>
                            (static_cast<unsigned char>(*p) & 63)) & 1;
        return m_hasMultiByte && ContainsMultiByte(p, n);
    }

    /// Length of the leading run of characters that are (`inSet`) or are not in the set.
    size_t Span(const char* s, size_t len, bool inSet) const;
    /// First index >= start of a character in the set, or kNotFound.
    size_t FindFirst(const char* s, size_t len, size_t start) const;
    /// Last index <= last (last < len) of a character in the set, or kNotFound.
    size_t FindLast(const char* s, size_t len, size_t last) const;

private:
    bool ContainsMultiByte(const char* p, size_t n) const;

    const PLT_MbText& m_text;
    const char* m_set;
    unsigned long long m_bytes[4] = {0, 0, 0, 0};  ///< single-byte members, one bit per byte
    bool m_hasMultiByte = false;
};

}  // namespace plt
