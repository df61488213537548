#include "SYS_StrEx.h"

#include <cstring>

#include "PLT_MbText.h"
#include "SSM_Assert.h"

namespace {

const char kUnit[] = "sys/sysstrex";

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool IsHexDigit(char c) {
    return IsDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsSign(char c) { return c == '+' || c == '-'; }

// Compares `length` digits of two runs of equal length (short runs: no call to memcmp).
int CompareDigits(const char* a, const char* b, long length) {
    for (long i = 0; i < length; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

// Compares the digit runs at a and b by value (any length, leading zeros ignored) and moves
// both past their runs.
int CompareDigitRuns(const char*& a, const char*& b) {
    const char* endA = a;
    const char* endB = b;
    while (IsDecimalDigit(*endA)) ++endA;
    while (IsDecimalDigit(*endB)) ++endB;
    while (a < endA && *a == '0') ++a;
    while (b < endB && *b == '0') ++b;
    long lengthA = endA - a;
    long lengthB = endB - b;
    int order = lengthA != lengthB ? (lengthA > lengthB ? 1 : -1) : CompareDigits(a, b, lengthA);
    a = endA;
    b = endB;
    return order > 0 ? 1 : (order < 0 ? -1 : 0);
}

// The character of `length` bytes at a is also the character at b. A byte that is a
// character of its own in every locale (single-byte locale, or ASCII) needs one compare.
bool SameCharacter(const plt::PLT_MbText& text, const char* a, size_t length, const char* b) {
    if (text.IsSingleByte() || static_cast<unsigned char>(*a) < 0x80) return *a == *b;
    return text.CharLenInCString(b) == length && std::memcmp(a, b, length) == 0;
}

// Final decision on the characters where the walk stopped ("$" last, then bytes unsigned).
// "$" after every other character: 1 or -1 when exactly one of a, b is "$", else 0.
int DollarOrder(const char* a, const char* b) { return (*a == '$') - (*b == '$'); }

int CompareCharacters(const plt::PLT_MbText& text, const char* a, const char* b) {
    if (int dollar = DollarOrder(a, b)) return dollar;
    if (text.IsSingleByte()) return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
    size_t lengthA = text.CharLenInCString(a);
    size_t lengthB = text.CharLenInCString(b);
    int order = std::memcmp(a, b, lengthA < lengthB ? lengthA : lengthB);
    if (order != 0) return order;
    return lengthA == lengthB ? 0 : (lengthA < lengthB ? -1 : 1);
}

enum class IntegerMode { Decimal, Octal, Hexadecimal, Automatic };

IntegerMode ModeOfBase(int base) {
    switch (base) {
        case 1: return IntegerMode::Decimal;
        case 2: return IntegerMode::Octal;
        case 3: return IntegerMode::Hexadecimal;
        default: return IntegerMode::Automatic;
    }
}

bool IsDigitOf(IntegerMode mode, char c) {
    switch (mode) {
        case IntegerMode::Octal: return IsOctalDigit(c);
        case IntegerMode::Hexadecimal: return IsHexDigit(c);
        default: return IsDecimalDigit(c);
    }
}

// The walk of getinteger: mode, digits counted, and where the first digit stood.
struct IntegerWalk {
    IntegerMode mode;
    bool prefixAllowed;
    int digits = 0;
    const char* firstDigit = nullptr;

    bool IsHexPrefixAt(const char* p) const {
        return prefixAllowed && digits == 1 && firstDigit == p - 1 && *firstDigit == '0' &&
               (*p == 'x' || *p == 'X');
    }
    void CountDigit(const char* p) {
        if (digits == 0 && mode == IntegerMode::Automatic)
            mode = *p == '0' ? IntegerMode::Octal : IntegerMode::Decimal;
        if (digits == 0) firstDigit = p;
        ++digits;
    }
};

}  // namespace

int SysExtractSubString(SYS_String& field, const char* text, int index, char separator) {
    if (text == nullptr) return FALSE;
    const char* start = text;
    for (int skipped = 0; skipped < index; ++skipped) {
        const char* next = separator != '\0' ? std::strchr(start, separator) : nullptr;
        if (next == nullptr) {
            field.Empty();
            return FALSE;
        }
        start = next + 1;
    }
    const char* end = separator != '\0' ? std::strchr(start, separator) : nullptr;
    if (end == nullptr) end = start + std::strlen(start);
    long length = end - start;
    if (!SSM_CHECK(length >= 0, "SysExtractSubString -- wrong length", kUnit,
                   SSM_FailureAssert))
        return FALSE;
    field = SYS_String(start, static_cast<int>(length));  // text may live in field: copy first
    return TRUE;
}

namespace {

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// The numeric-aware walk from a and b in the current locale.
int CompareAlNumInLocale(const char* a, const char* b) {
    plt::PLT_MbText text;
    while (*a != '\0' && *b != '\0') {
        if (IsDecimalDigit(*a) && IsDecimalDigit(*b)) {
            int order = CompareDigitRuns(a, b);
            if (order != 0) return order;
            continue;
        }
        size_t lengthA = text.CharLenInCString(a);
        if (!SameCharacter(text, a, lengthA, b)) break;
        a += lengthA;
        b += lengthA;
    }
    return CompareCharacters(text, a, b);
}

}  // namespace

// An ASCII byte is a character of its own in every locale, so the walk over ASCII text needs
// no locale query; from the first byte above 0x7F on, the locale's walk takes over (it keeps
// no state from the bytes before). Two ASCII stop bytes compare as bytes in every locale.
int _tcsnumcmp(const char* a, const char* b) {
    if (a == nullptr) a = "";
    if (b == nullptr) b = "";
    while (*a != '\0' && *b != '\0') {
        if (IsDecimalDigit(*a) && IsDecimalDigit(*b)) {
            int order = CompareDigitRuns(a, b);
            if (order != 0) return order;
            continue;
        }
        if (!IsAscii(*a)) return CompareAlNumInLocale(a, b);
        if (*a != *b) break;
        ++a;
        ++b;
    }
    if (!IsAscii(*a) || !IsAscii(*b)) return CompareAlNumInLocale(a, b);
    if (int dollar = DollarOrder(a, b)) return dollar;
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

char* getdouble(const char* text, int decimalOnly) {
    if (text == nullptr || *text == '\0') return nullptr;
    int mantissaDigits = 0;
    int exponentDigits = 0;
    bool dotSeen = false;
    bool inExponent = false;
    const char* p = text;
    for (;; ++p) {
        char c = *p;
        if (IsSign(c)) continue;
        if (c == '.' && !dotSeen && !inExponent) {
            dotSeen = true;
        } else if ((c == 'e' || c == 'E') && !inExponent) {
            if (decimalOnly) return mantissaDigits > 0 ? const_cast<char*>(p) : nullptr;
            inExponent = true;
        } else if (IsDecimalDigit(c)) {
            ++(inExponent ? exponentDigits : mantissaDigits);
        } else {
            break;
        }
    }
    if (mantissaDigits == 0 || (inExponent && exponentDigits == 0)) return nullptr;
    return const_cast<char*>(p);
}

int isdouble(const char* text, int decimalOnly) {
    const char* end = getdouble(text, decimalOnly);
    return end != nullptr && *end == '\0' ? TRUE : FALSE;
}

int isdecdouble(const char* text) { return isdouble(text, 1); }

char* getinteger(const char* text, int base) {
    if (text == nullptr || *text == '\0') return nullptr;
    IntegerMode mode = ModeOfBase(base);
    IntegerWalk walk{mode, mode == IntegerMode::Hexadecimal || mode == IntegerMode::Automatic};
    const char* p = text;
    for (;; ++p) {
        if (IsSign(*p)) continue;
        if (walk.IsHexPrefixAt(p)) {
            walk.mode = IntegerMode::Hexadecimal;
            walk.prefixAllowed = false;
            walk.digits = 0;
            continue;
        }
        if (!IsDigitOf(walk.mode, *p)) break;
        walk.CountDigit(p);
    }
    return walk.digits > 0 ? const_cast<char*>(p) : nullptr;
}

int isinteger(const char* text, int base) {
    const char* end = getinteger(text, base);
    return end != nullptr && *end == '\0' ? TRUE : FALSE;
}

int isdecinteger(const char* text) { return isinteger(text, 1); }
int isoctinteger(const char* text) { return isinteger(text, 2); }
int ishexinteger(const char* text) { return isinteger(text, 3); }

long SYS_Memory::GetCurrentMemorySize() { return 0; }
long SYS_Memory::GetPeakMemorySize() { return 0; }
