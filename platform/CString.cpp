#include "CString.h"

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <utility>

#include "SSM_Assert.h"
#include "PLT_MbText.h"
#include "PLT_CRunTime.h"

namespace {

constexpr long kMaxLength = INT_MAX - 64;
const char kUnit[] = "platform/CString";

// The shared empty representation. It is const, so it lives in read-only memory: a write
// that slipped past CopyBeforeWrite would fault at once instead of corrupting every string.
struct NilRepresentation {
    CStringData header;
    char text[8];
};
const NilRepresentation kNil = {{-1, 0, 0}, {0}};

CStringData* AllocData(long capacity) {
    if (capacity < 0 || capacity > kMaxLength) throw std::bad_alloc();
    void* block = std::malloc(sizeof(CStringData) + static_cast<size_t>(capacity) + 1);
    if (block == nullptr) throw std::bad_alloc();
    CStringData* data = new (block) CStringData{1, 0, static_cast<int>(capacity)};
    data->data()[0] = '\0';
    return data;
}

void SetLength(CStringData* data, int length) {
    data->nDataLength = length;
    data->data()[length] = '\0';
}

// Capacity for a unique buffer that has run out of room: grows by half again, so that a
// run of appends costs amortised O(1) per byte.
long GrownCapacity(long oldCapacity, long needed) {
    long grown = oldCapacity + oldCapacity / 2;
    if (grown > kMaxLength) grown = kMaxLength;
    return grown > needed ? grown : needed;
}

size_t SafeLength(const char* text) { return text != nullptr ? std::strlen(text) : 0; }
const char* NotNull(const char* text) { return text != nullptr ? text : ""; }

int CheckedLength(size_t length) {
    if (length > static_cast<size_t>(kMaxLength)) throw std::bad_alloc();
    return static_cast<int>(length);
}

// One UTF-16 code point starting at wide[i]; advances i. Lone surrogates give -1.
long DecodeUtf16(const unsigned short* wide, size_t& i) {
    unsigned int unit = wide[i++];
    if (unit < 0xD800 || unit > 0xDFFF) return unit;
    if (unit >= 0xDC00 || wide[i] < 0xDC00 || wide[i] > 0xDFFF) return -1;
    unsigned int low = wide[i++];
    return 0x10000L + ((static_cast<long>(unit) - 0xD800) << 10) + (low - 0xDC00);
}

CString WideToMultiByte(const unsigned short* wide) {
    CString result;
    size_t count = 0;
    while (wide != nullptr && wide[count] != 0) ++count;
    if (count == 0) return result;
    size_t perChar = MB_CUR_MAX;
    if (count > static_cast<size_t>(kMaxLength) / perChar) throw std::bad_alloc();
    char* out = result.GetBuffer(static_cast<int>(count * perChar));
    std::mbstate_t state{};
    size_t used = 0;
    for (size_t i = 0; i < count;) {
        long code = DecodeUtf16(wide, i);
        size_t n = code < 0 ? static_cast<size_t>(-1)
                            : std::wcrtomb(out + used, static_cast<wchar_t>(code), &state);
        if (n == static_cast<size_t>(-1)) {
            out[used++] = '?';
            state = std::mbstate_t{};
        } else {
            used += n;
        }
    }
    result.ReleaseBuffer(static_cast<int>(used));
    return result;
}

size_t CountOccurrences(const plt::PLT_MbText& text, const char* s, size_t length,
                        const char* sub, size_t subLength) {
    size_t count = 0;
    for (size_t at = text.FindSub(s, length, 0, sub, subLength); at != plt::kNotFound;
         at = text.FindSub(s, length, at + subLength, sub, subLength))
        ++count;
    return count;
}

CString Concatenate(const char* a, size_t lengthA, const char* b, size_t lengthB) {
    CString result;
    int total = CheckedLength(lengthA + lengthB);
    if (total == 0) return result;
    char* out = result.GetBuffer(total);
    std::memcpy(out, NotNull(a), lengthA);
    std::memcpy(out + lengthA, NotNull(b), lengthB);
    result.ReleaseBuffer(total);
    return result;
}

}  // namespace

char* const CString::s_pchNil = const_cast<char*>(kNil.text);

CString::CString(const char* text) : m_pchData(s_pchNil) {
    AssignCopy(text, CheckedLength(SafeLength(text)));
}

CString::CString(const char* text, int length) : m_pchData(s_pchNil) {
    if (text != nullptr && length > 0) AssignCopy(text, length);
}

CString::CString(char ch, int repeat) : m_pchData(s_pchNil) {
    if (repeat <= 0) return;
    std::memset(GetBuffer(repeat), ch, static_cast<size_t>(repeat));
    ReleaseBuffer(repeat);
}

CString::CString(const unsigned char* text)
    : CString(reinterpret_cast<const char*>(text)) {}

CString::CString(const unsigned short* wide) : m_pchData(s_pchNil) {
    *this = WideToMultiByte(wide);
}

const CString& CString::operator=(const CString& other) {
    if (m_pchData != other.m_pchData) {
        other.AddRef();
        Release();
        m_pchData = other.m_pchData;
    }
    return *this;
}

const CString& CString::operator=(CString&& other) noexcept {
    if (this != &other) {
        Release();
        m_pchData = other.m_pchData;
        other.m_pchData = s_pchNil;
    }
    return *this;
}

const CString& CString::operator=(const char* text) {
    AssignCopy(text, CheckedLength(SafeLength(text)));
    return *this;
}

const CString& CString::operator=(const unsigned char* text) {
    return *this = reinterpret_cast<const char*>(text);
}

const CString& CString::operator=(const unsigned short* wide) {
    return *this = WideToMultiByte(wide);
}

char CString::GetAt(int index) const {
    if (!SSM_CHECK(index >= 0 && index < GetLength(), "CString::GetAt -- index out of range",
                   kUnit, SSM_FailureAssert))
        return '\0';
    return m_pchData[index];
}

int CString::Compare(const char* other) const { return CStringCompare(m_pchData, other); }

int CString::CompareNoCase(const char* other) const {
    return plt::_stricmp(m_pchData, other != nullptr ? other : "");
}

void CString::Empty() {
    Release();
    m_pchData = s_pchNil;
}

void CString::SetAt(int index, char ch) {
    if (!SSM_CHECK(index >= 0 && index < GetLength(), "CString::SetAt -- index out of range",
                   kUnit, SSM_FailureAssert))
        return;
    CopyBeforeWrite();
    m_pchData[index] = ch;
}

const CString& CString::operator+=(const CString& other) {
    ConcatInPlace(other.m_pchData, other.GetLength());
    return *this;
}

const CString& CString::operator+=(const char* text) {
    ConcatInPlace(text, CheckedLength(SafeLength(text)));
    return *this;
}

const CString& CString::operator+=(char ch) {
    ConcatInPlace(&ch, 1);
    return *this;
}

int CString::Replace(char oldCh, char newCh) {
    if (oldCh == newCh) return 0;
    plt::PLT_MbText text;
    size_t length = static_cast<size_t>(GetLength());
    size_t at = text.FindChar(m_pchData, length, 0, oldCh);
    if (at == plt::kNotFound) return 0;
    CopyBeforeWrite();
    int count = 0;
    for (; at != plt::kNotFound; at = text.FindChar(m_pchData, length, at + 1, oldCh)) {
        m_pchData[at] = newCh;
        ++count;
    }
    return count;
}

int CString::Replace(const char* oldText, const char* newText) {
    size_t oldLength = SafeLength(oldText);
    if (oldLength == 0) return 0;
    size_t newLength = SafeLength(newText);
    plt::PLT_MbText text;
    size_t length = static_cast<size_t>(GetLength());
    size_t count = CountOccurrences(text, m_pchData, length, oldText, oldLength);
    if (count == 0) return 0;
    int total = CheckedLength(length - count * oldLength + count * newLength);
    CString result;
    char* out = result.GetBuffer(total);
    size_t from = 0;
    for (size_t at = text.FindSub(m_pchData, length, 0, oldText, oldLength); at != plt::kNotFound;
         at = text.FindSub(m_pchData, length, from, oldText, oldLength)) {
        std::memcpy(out, m_pchData + from, at - from);
        std::memcpy(out + (at - from), NotNull(newText), newLength);
        out += at - from + newLength;
        from = at + oldLength;
    }
    std::memcpy(out, m_pchData + from, length - from);
    result.ReleaseBuffer(total);
    *this = std::move(result);  // oldText and newText may live in the old buffer until here
    return static_cast<int>(count);
}

namespace {

template <class ChangeCase>
void ChangeSingleByteLetters(char* s, size_t length, ChangeCase change) {
    plt::PLT_MbText text;
    for (size_t pos = 0; pos < length;) {
        size_t n = text.CharLen(s + pos, length - pos);
        if (n == 1) s[pos] = change(s[pos]);
        pos += n;
    }
}

}  // namespace

void CString::MakeUpper() {
    if (IsEmpty()) return;
    CopyBeforeWrite();
    ChangeSingleByteLetters(m_pchData, GetLength(),
                            [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; });
}

void CString::MakeLower() {
    if (IsEmpty()) return;
    CopyBeforeWrite();
    ChangeSingleByteLetters(m_pchData, GetLength(),
                            [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    if (format == nullptr) {
        Empty();
        return;
    }
    // Most texts fit the local buffer: one formatting pass, and the arguments may still
    // point into this string while it runs.
    char local[256];
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(local, sizeof local, format, copy);
    va_end(copy);
    if (length < 0) {
        Empty();
        return;
    }
    if (length < static_cast<int>(sizeof local)) {
        AssignCopy(local, length);
        return;
    }
    CString result;
    char* out = result.GetBuffer(length);
    va_copy(copy, args);
    std::vsnprintf(out, static_cast<size_t>(length) + 1, format, copy);
    va_end(copy);
    result.ReleaseBuffer(length);
    *this = std::move(result);
}

char* CString::GetBuffer(int minLength) {
    if (minLength < 0) minLength = 0;
    CStringData* data = GetData();
    if (data->nRefs != 1 || minLength > data->nAllocLength)
        Reallocate(minLength > data->nDataLength ? minLength : data->nDataLength,
                   data->nDataLength);
    return m_pchData;
}

void CString::ReleaseBuffer(int newLength) {
    if (GetData()->nRefs < 0) return;  // never handed out by GetBuffer: nothing to store
    if (GetData()->nRefs > 1) CopyBeforeWrite();
    CStringData* data = GetData();
    if (newLength == -1) newLength = static_cast<int>(strnlen(m_pchData, data->nAllocLength));
    if (newLength < 0) newLength = 0;
    if (newLength > data->nAllocLength) newLength = data->nAllocLength;
    SetLength(data, newLength);
}

char* CString::GetBufferSetLength(int newLength) {
    if (newLength < 0) newLength = 0;
    GetBuffer(newLength);
    ReleaseBuffer(newLength);
    return m_pchData;
}

void CString::CopyBeforeWrite() {
    CStringData* data = GetData();
    if (data->nRefs != 1) Reallocate(data->nDataLength, data->nDataLength);
}

void CString::AssignCopy(const char* text, int length) {
    if (length <= 0) {
        Empty();
        return;
    }
    CStringData* data = GetData();
    if (data->nRefs == 1 && length <= data->nAllocLength) {
        std::memmove(m_pchData, text, static_cast<size_t>(length));
    } else {
        CStringData* fresh = AllocData(length);
        std::memcpy(fresh->data(), text, static_cast<size_t>(length));
        Release();  // text may live in the old buffer: copied above, released only now
        m_pchData = fresh->data();
    }
    SetLength(GetData(), length);
}

void CString::ConcatInPlace(const char* text, int length) {
    if (text == nullptr || length <= 0) return;
    CStringData* data = GetData();
    long oldLength = data->nDataLength;
    long needed = oldLength + length;
    if (needed > kMaxLength) throw std::bad_alloc();
    if (data->nRefs == 1 && needed <= data->nAllocLength) {
        std::memmove(m_pchData + oldLength, text, static_cast<size_t>(length));
    } else {
        long capacity = data->nRefs == 1 ? GrownCapacity(data->nAllocLength, needed) : needed;
        CStringData* fresh = AllocData(capacity);
        std::memcpy(fresh->data(), m_pchData, static_cast<size_t>(oldLength));
        std::memcpy(fresh->data() + oldLength, text, static_cast<size_t>(length));
        Release();  // text may be this string's own text: released only after the copy
        m_pchData = fresh->data();
    }
    SetLength(GetData(), static_cast<int>(needed));
}

void CString::KeepRange(int first, int count) {
    if (first < 0 || count <= 0 || first > GetLength() - count) {
        Empty();
        return;
    }
    if (first == 0 && count == GetLength()) return;
    AssignCopy(m_pchData + first, count);
}

void CString::FreeData(CStringData* data) { std::free(data); }

void CString::Reallocate(int capacity, int keep) {
    CStringData* fresh = AllocData(capacity);
    std::memcpy(fresh->data(), m_pchData, static_cast<size_t>(keep));
    SetLength(fresh, keep);
    Release();
    m_pchData = fresh->data();
}

CString operator+(const CString& a, const CString& b) {
    return Concatenate(a, a.GetLength(), b, b.GetLength());
}

CString operator+(const CString& a, const char* b) {
    return Concatenate(a, a.GetLength(), b, SafeLength(b));
}

CString operator+(const char* a, const CString& b) {
    return Concatenate(a, SafeLength(a), b, b.GetLength());
}

CString operator+(const CString& a, char b) { return Concatenate(a, a.GetLength(), &b, 1); }

CString operator+(char a, const CString& b) { return Concatenate(&a, 1, b, b.GetLength()); }

int CStringCompare(const char* a, const char* b) {
    return std::strcmp(NotNull(a), NotNull(b));
}
