#include "SYS_String.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

#include "SSM_Assert.h"
#include "SYS_StrEx.h"
#include "TessarPlatform.h"
#include "PLT_MbText.h"
#include "PLT_CRunTime.h"

namespace {

const char kUnit[] = "sys/sysstr";

int ToIndex(size_t at) { return at == plt::kNotFound ? -1 : static_cast<int>(at); }

size_t SafeLength(const char* text) { return text != nullptr ? std::strlen(text) : 0; }

long ClampToInt32(long value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return value;
}

// strtoul as a 32-bit unsigned long reads it: a magnitude beyond 32 bits saturates, a
// negative number is negated modulo 2^32.
unsigned int ReadUnsigned32(const char* text, char** end) {
    PLT_ErrnoGuard keepLastError;
    errno = 0;
    unsigned long raw = std::strtoul(text, end, 10);
    if (*end == text) return 0;
    if (errno == ERANGE) return UINT32_MAX;
    const char* sign = text;
    while (std::isspace(static_cast<unsigned char>(*sign))) ++sign;
    bool negative = *sign == '-';
    unsigned long magnitude = negative ? 0UL - raw : raw;
    if (magnitude > UINT32_MAX) return UINT32_MAX;
    return static_cast<unsigned int>(negative ? 0UL - magnitude : magnitude);
}

template <class T>
T StoreValue(T value, T* pValue, const char* end, const char** ppEnd) {
    if (pValue != nullptr) *pValue = value;
    if (ppEnd != nullptr) *ppEnd = end;
    return value;
}

enum class TrimEnds { Left, Right, Both };

// Which characters a trim removes: white space, or the first character of the target.
class TrimRule {
public:
    TrimRule(const plt::PLT_MbText& text, const char* target)
        : m_text(text), m_target(target != nullptr ? target : "") {
        size_t left = std::strlen(m_target);
        m_targetLength = left > 0 ? text.CharLen(m_target, left) : 0;
    }
    bool Removes(const char* p, size_t n) const {
        if (m_targetLength == 0)
            return n == 1 ? m_bytes.IsSpace(static_cast<unsigned char>(*p)) : m_text.IsSpace(p, n);
        return n == m_targetLength && std::memcmp(p, m_target, n) == 0;
    }

private:
    const plt::PLT_MbText& m_text;
    plt::PLT_ByteClasses m_bytes;
    const char* m_target;
    size_t m_targetLength;
};

// Start of the trailing run of removable characters in [from, len), found by walking whole
// characters forwards (a trail byte must never be mistaken for a character).
size_t TrailingRunStart(const plt::PLT_MbText& text, const TrimRule& rule, const char* s,
                        size_t from, size_t len) {
    if (text.IsSingleByte()) {
        size_t end = len;
        while (end > from && rule.Removes(s + end - 1, 1)) --end;
        return end;
    }
    size_t runStart = len;
    for (size_t pos = from; pos < len;) {
        size_t n = text.CharLen(s + pos, len - pos);
        if (!rule.Removes(s + pos, n)) runStart = len;
        else if (runStart == len) runStart = pos;
        pos += n;
    }
    return runStart;
}

size_t LeadingRunEnd(const plt::PLT_MbText& text, const TrimRule& rule, const char* s,
                     size_t len) {
    size_t pos = 0;
    while (pos < len) {
        size_t n = text.CharLen(s + pos, len - pos);
        if (!rule.Removes(s + pos, n)) break;
        pos += n;
    }
    return pos;
}

bool PointsInto(const char* p, const CString& text) {
    const char* begin = text;
    std::less_equal<const char*> notAfter;
    return notAfter(begin, p) && notAfter(p, begin + text.GetLength());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Assignment

const SYS_String& SYS_String::operator=(const SYS_String& other) {
    CString::operator=(other);
    return *this;
}

const SYS_String& SYS_String::operator=(SYS_String&& other) noexcept {
    CString::operator=(static_cast<CString&&>(other));
    return *this;
}

const SYS_String& SYS_String::operator=(const CString& other) {
    CString::operator=(other);
    return *this;
}

const SYS_String& SYS_String::operator=(const char* text) {
    CString::operator=(text);
    return *this;
}

const SYS_String& SYS_String::operator=(const unsigned short* wide) {
    CString::operator=(wide);
    return *this;
}

const SYS_String& SYS_String::operator=(const unsigned char* text) {
    CString::operator=(text);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Sub-strings

SYS_String SYS_String::Mid(int nFirst, int nCount) const {
    long length = GetLength();
    long first = nFirst < 0 ? 0 : nFirst;
    long count = nCount < 0 ? 0 : nCount;
    if (first > length) return SYS_String();
    if (first + count > length) count = length - first;
    if (first == 0 && count == length) return *this;
    return SYS_String(m_pchData + first, static_cast<int>(count));
}

SYS_String SYS_String::Mid(int nFirst) const {
    long count = static_cast<long>(GetLength()) - nFirst;
    return Mid(nFirst, count > INT_MAX ? INT_MAX : static_cast<int>(count));
}

SYS_String SYS_String::Left(int nCount) const {
    if (nCount < 0) return SYS_String();
    return Mid(0, nCount);
}

SYS_String SYS_String::Right(int nCount) const {
    if (nCount < 0) return SYS_String();
    int length = GetLength();
    return nCount >= length ? *this : Mid(length - nCount, nCount);
}

SYS_String SYS_String::SpanIncluding(const char* set) const {
    plt::PLT_MbText text;
    plt::PLT_MbCharSet members(text, set);
    return Left(static_cast<int>(members.Span(m_pchData, GetLength(), true)));
}

SYS_String SYS_String::SpanExcluding(const char* set) const {
    plt::PLT_MbText text;
    plt::PLT_MbCharSet members(text, set);
    return Left(static_cast<int>(members.Span(m_pchData, GetLength(), false)));
}

// ---------------------------------------------------------------------------------------------
// Searches

int SYS_String::Find(char ch, int nStart) const {
    int length = GetLength();
    if (nStart < 0 || nStart > length) return -1;
    if (ch == '\0') {  // the terminator counts: the first NUL at or after the start
        const void* hit = std::memchr(m_pchData + nStart, 0, static_cast<size_t>(length - nStart) + 1);
        return static_cast<int>(static_cast<const char*>(hit) - m_pchData);
    }
    // In a single-byte code page the byte search is the answer; hit or miss, it is selected
    // without a branch (names that half contain ch would mispredict one).
    const char* hit = static_cast<const char*>(
        std::memchr(m_pchData + nStart, ch, static_cast<size_t>(length - nStart)));
    plt::PLT_MbText text;
    if (!text.IsSingleByte() && hit != nullptr)
        return ToIndex(text.FindChar(m_pchData, length, nStart, ch));
    intptr_t offset = reinterpret_cast<intptr_t>(hit) - reinterpret_cast<intptr_t>(m_pchData);
    return static_cast<int>((offset + 1) * (hit != nullptr) - 1);  // -1 on a miss
}

int SYS_String::Find(const char* sub, int nStart) const {
    int length = GetLength();
    if (nStart < 0 || nStart >= length) return -1;
    size_t subLength = SafeLength(sub);
    if (subLength == 0) return nStart;
    plt::PLT_MbText text;
    return ToIndex(text.FindSub(m_pchData, length, nStart, sub, subLength));
}

int SYS_String::FindOneOf(const char* set, int nStart) const {
    int length = GetLength();
    if (nStart < 0 || nStart > length) return -1;
    plt::PLT_MbText text;
    plt::PLT_MbCharSet members(text, set);
    return ToIndex(members.FindFirst(m_pchData, length, nStart));
}

int SYS_String::ReverseFind(char ch, int nStart) const {
    int length = GetLength();
    if (ch == '\0') return (nStart == length || nStart == -2) ? length : -1;
    if (nStart == -2) nStart = length - 1;
    if (nStart < 0 || nStart >= length) return -1;
    plt::PLT_MbText text;
    return ToIndex(text.ReverseFindChar(m_pchData, length, nStart, ch));
}

int SYS_String::ReverseFindOneOf(const char* set, int nStart) const {
    int length = GetLength();
    if (nStart == -2) nStart = length - 1;
    if (nStart < 0 || nStart >= length) return -1;
    plt::PLT_MbText text;
    plt::PLT_MbCharSet members(text, set);
    return ToIndex(members.FindLast(m_pchData, length, nStart));
}

// ---------------------------------------------------------------------------------------------
// Trimming

namespace {

// Bounds [first, end) of what remains after trimming the given ends.
void TrimBounds(const char* s, size_t len, const char* target, TrimEnds ends, size_t& first,
                size_t& end) {
    plt::PLT_MbText text;
    TrimRule rule(text, target);
    first = ends == TrimEnds::Right ? 0 : LeadingRunEnd(text, rule, s, len);
    end = ends == TrimEnds::Left ? len : TrailingRunStart(text, rule, s, first, len);
}

}  // namespace

SYS_String& SYS_String::TrimRight(const char* target) {
    size_t first = 0, end = 0;
    TrimBounds(m_pchData, GetLength(), target, TrimEnds::Right, first, end);
    KeepRange(static_cast<int>(first), static_cast<int>(end - first));
    return *this;
}

SYS_String& SYS_String::TrimLeft(const char* target) {
    size_t first = 0, end = 0;
    TrimBounds(m_pchData, GetLength(), target, TrimEnds::Left, first, end);
    KeepRange(static_cast<int>(first), static_cast<int>(end - first));
    return *this;
}

SYS_String& SYS_String::AllTrim(const char* target) {
    size_t first = 0, end = 0;
    TrimBounds(m_pchData, GetLength(), target, TrimEnds::Both, first, end);
    KeepRange(static_cast<int>(first), static_cast<int>(end - first));
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Editing

int SYS_String::Insert(int nIndex, const char* str) {
    if (!SSM_CHECK(nIndex >= 0, "SYS_String::Insert -- negative index", kUnit, SSM_FailureAssert))
        return GetLength();
    size_t insertLength = SafeLength(str);
    if (insertLength == 0) return GetLength();
    CString keep;  // str may point into this string's buffer, which GetBuffer may replace
    if (PointsInto(str, *this)) {
        keep = CString(str, static_cast<int>(insertLength));
        str = keep;
    }
    long length = GetLength();
    long newLength = (nIndex < length ? length : nIndex) + static_cast<long>(insertLength);
    if (newLength > INT_MAX - 64) throw std::bad_alloc();
    char* buffer = GetBuffer(static_cast<int>(newLength));
    if (nIndex < length)
        std::memmove(buffer + nIndex + insertLength, buffer + nIndex, length - nIndex);
    else
        std::memset(buffer + length, ' ', nIndex - length);
    std::memcpy(buffer + nIndex, str, insertLength);
    ReleaseBuffer(static_cast<int>(newLength));
    return GetLength();
}

int SYS_String::Delete(int nIndex, int nCount) {
    if (!SSM_CHECK(nIndex >= 0 && nCount >= 0, "SYS_String::Delete -- negative index or length",
                   kUnit, SSM_FailureAssert))
        return GetLength();
    int length = GetLength();
    if (nIndex >= length) return length;
    if (nCount == 0 || nCount > length - nIndex) nCount = length - nIndex;
    if (nIndex + nCount == length) {
        KeepRange(0, nIndex);
        return GetLength();
    }
    char* buffer = GetBuffer(length);
    std::memmove(buffer + nIndex, buffer + nIndex + nCount, length - nIndex - nCount);
    ReleaseBuffer(length - nCount);
    return GetLength();
}

int SYS_String::Replace(int nIndex, int nCount, const char* str) {
    CString keep;  // Delete may free or rewrite the buffer str points into
    if (str != nullptr && PointsInto(str, *this)) {
        keep = str;
        str = keep;
    }
    Delete(nIndex, nCount);
    return Insert(nIndex, str);
}

// ---------------------------------------------------------------------------------------------
// Appending

SYS_String& SYS_String::operator<<(char ch) {
    ConcatInPlace(&ch, 1);
    return *this;
}

SYS_String& SYS_String::operator<<(const char* text) {
    CString::operator+=(text);
    return *this;
}

SYS_String& SYS_String::operator<<(const CString& text) {
    CString::operator+=(text);
    return *this;
}

SYS_String& SYS_String::operator<<(int value) { return *this << static_cast<long>(value); }

SYS_String& SYS_String::operator<<(long value) {
    char digits[66];
    plt::_ltoa(value, digits, 10);
    ConcatInPlace(digits, static_cast<int>(std::strlen(digits)));
    return *this;
}

SYS_String& SYS_String::operator<<(unsigned int value) {
    return *this << static_cast<unsigned long>(value);
}

SYS_String& SYS_String::operator<<(unsigned long value) {
    char digits[66];
    plt::_ultoa(value, digits, 10);
    ConcatInPlace(digits, static_cast<int>(std::strlen(digits)));
    return *this;
}

SYS_String& SYS_String::operator<<(float value) { return *this << static_cast<double>(value); }

SYS_String& SYS_String::operator<<(double value) {
    char text[DBL_MAX_10_EXP + 64];  // "%f" of -DBL_MAX takes 317 bytes
    int length = std::snprintf(text, sizeof text, "%f", value);
    if (length > 0) ConcatInPlace(text, length);
    return *this;
}

// ---------------------------------------------------------------------------------------------
// Extracting

SYS_String SYS_String::operator>>(unsigned int& value) const {
    char* end = nullptr;
    value = ReadUnsigned32(m_pchData, &end);
    return Mid(static_cast<int>(end - m_pchData));
}

SYS_String SYS_String::operator>>(const char* skipSet) const {
    const char* set = skipSet != nullptr ? skipSet : "";
    int length = GetLength();
    int pos = 0;
    while (pos < length && m_pchData[pos] != '\0' && std::strchr(set, m_pchData[pos]) != nullptr)
        ++pos;
    return Mid(pos);
}

SYS_String SYS_String::operator>>(char* skipSet) const {
    return *this >> static_cast<const char*>(skipSet);
}

SYS_String SYS_String::operator>>(CString& token) const {
    int length = GetLength();
    int begin = (length > 0 && m_pchData[0] == '"') ? 1 : 0;
    int stop = begin;
    while (stop < length) {
        if (m_pchData[stop] != '"') {
            ++stop;
        } else if (stop + 1 < length && m_pchData[stop + 1] == '"') {
            stop += 2;  // a doubled quote belongs to the token as it stands
        } else {
            break;
        }
    }
    SYS_String rest = Mid(stop);
    token = CString(m_pchData + begin, stop - begin);  // token may be *this: assigned last
    return rest;
}

// ---------------------------------------------------------------------------------------------
// Number reading

short SYS_String::Value(short* pValue, const char** ppEnd) const {
    char* end = nullptr;
    long value = ClampToInt32(std::strtol(m_pchData, &end, 10));
    short low = static_cast<short>(static_cast<uint16_t>(static_cast<unsigned long>(value)));
    return StoreValue(low, pValue, end, ppEnd);
}

int SYS_String::Value(int* pValue, const char** ppEnd) const {
    char* end = nullptr;
    int value = static_cast<int>(ClampToInt32(std::strtol(m_pchData, &end, 10)));
    return StoreValue(value, pValue, end, ppEnd);
}

long SYS_String::Value(long* pValue, const char** ppEnd) const {
    char* end = nullptr;
    long value = std::strtol(m_pchData, &end, 10);
    return StoreValue(value, pValue, end, ppEnd);
}

unsigned int SYS_String::Value(unsigned int* pValue, const char** ppEnd) const {
    char* end = nullptr;
    unsigned int value = ReadUnsigned32(m_pchData, &end);
    return StoreValue(value, pValue, end, ppEnd);
}

unsigned long SYS_String::Value(unsigned long* pValue, const char** ppEnd) const {
    char* end = nullptr;
    unsigned long value = std::strtoul(m_pchData, &end, 10);
    return StoreValue(value, pValue, end, ppEnd);
}

float SYS_String::Value(float* pValue, const char** ppEnd) const {
    char* end = nullptr;
    double wide = std::strtod(m_pchData, &end);
    // Out of float range becomes an infinity, as the hardware conversion gives it.
    float value = std::fabs(wide) > FLT_MAX && std::isfinite(wide)
                      ? (wide > 0 ? HUGE_VALF : -HUGE_VALF)
                      : static_cast<float>(wide);
    return StoreValue(value, pValue, end, ppEnd);
}

double SYS_String::Value(double* pValue, const char** ppEnd) const {
    char* end = nullptr;
    double value = std::strtod(m_pchData, &end);
    return StoreValue(value, pValue, end, ppEnd);
}

// ---------------------------------------------------------------------------------------------
// Comparison and formatting

int SYS_String::CompareAlNum(const char* other) const {
    return _tcsnumcmp(m_pchData, other != nullptr ? other : "");
}

SYS_String FormattedString(const char* format, ...) {
    SYS_String result;
    va_list args;
    va_start(args, format);
    result.FormatV(format, args);
    va_end(args);
    return result;
}

int SCC_Compare(const SYS_String& a, const SYS_String& b) {
    int order = std::strcmp(a, b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int SCC_Compare(const SYS_StrNoCase& a, const SYS_StrNoCase& b) { return plt::_stricmp(a, b); }
