#pragma once

#include <cstdint>

#include "SYS_String.h"
#include "TessarExport.h"

/// @file
/// Hashing for SCC_Map: the table sizes the map grows through, and the SCC_Hash overload family
/// that gives a key's bucket for a table size. A key type can be used in a map when it has an
/// SCC_Hash overload (long SCC_Hash(const K&, long tableSize)) and an SCC_Compare overload;
/// equal keys (SCC_Compare 0) must hash alike.
///
/// Every overload answers a value in [0, tableSize) and answers 0 when tableSize is below 1
/// (the division is never attempted, so a bad size cannot trap).

/// The first of the map's table sizes (53, 107, 223, 449, 907, 1823, 3643, 7297, 14593, 29191,
/// 58391, 116789, 233591, 467183) that is strictly greater than `size`; 0 from 467183 on, when
/// the table stops growing.
TESSAR_EXPORT long SCC_GetNewTableSize(long size);

/// The string polynomial: with the characters c1, c2, ... of `text` up to its terminator taken
/// as signed 8-bit values, the sum of ci * i * 6293815^i in unsigned 32-bit arithmetic with
/// wrap-around. A null text counts as empty (0).
TESSAR_EXPORT uint32_t SCC_StringPolynomial(const char* text);
/// The same over at most `length` bytes of `text`, stopping earlier at a NUL byte: the text of a
/// counted string as far as its C-string view goes, so that keys comparing equal as C strings
/// hash alike.
TESSAR_EXPORT uint32_t SCC_StringPolynomial(const char* text, long length);
/// The same over the lower-case form (tolower of the current C locale) of each character.
TESSAR_EXPORT uint32_t SCC_StringPolynomialNoCase(const char* text, long length);

namespace SCC_HashDetail {

inline long SignedRemainder(long long value, long tableSize) {
    if (tableSize < 1) return 0;
    long long remainder = value % tableSize;
    return static_cast<long>(remainder < 0 ? remainder + tableSize : remainder);
}

inline long UnsignedRemainder(unsigned long long value, long tableSize) {
    if (tableSize < 1) return 0;
    // A 32-bit division where both operands fit is several times cheaper than a 64-bit one.
    if ((value | static_cast<unsigned long long>(tableSize)) <= UINT32_MAX)
        return static_cast<long>(static_cast<uint32_t>(value) % static_cast<uint32_t>(tableSize));
    return static_cast<long>(value % static_cast<unsigned long long>(tableSize));
}

inline long SmallSignedRemainder(int value, long tableSize) {
    if (tableSize < 1) return 0;
    if (tableSize > INT32_MAX) return SignedRemainder(value, tableSize);
    int remainder = value % static_cast<int>(tableSize);
    return remainder < 0 ? remainder + tableSize : remainder;
}

}  // namespace SCC_HashDetail

/// Signed keys: the value modulo tableSize; a negative remainder has tableSize added.
///@{
inline long SCC_Hash(const int& key, long tableSize) {
    return SCC_HashDetail::SmallSignedRemainder(key, tableSize);
}
inline long SCC_Hash(const long& key, long tableSize) {
    return SCC_HashDetail::SignedRemainder(key, tableSize);
}
inline long SCC_Hash(const long long& key, long tableSize) {
    return SCC_HashDetail::SignedRemainder(key, tableSize);
}
inline long SCC_Hash(const char& key, long tableSize) {
    return SCC_HashDetail::SmallSignedRemainder(key, tableSize);
}
///@}

/// Unsigned keys: the value modulo tableSize.
///@{
inline long SCC_Hash(const unsigned int& key, long tableSize) {
    return SCC_HashDetail::UnsignedRemainder(key, tableSize);
}
inline long SCC_Hash(const unsigned long& key, long tableSize) {
    return SCC_HashDetail::UnsignedRemainder(key, tableSize);
}
inline long SCC_Hash(const unsigned long long& key, long tableSize) {
    return SCC_HashDetail::UnsignedRemainder(key, tableSize);
}
inline long SCC_Hash(const unsigned char& key, long tableSize) {
    return SCC_HashDetail::UnsignedRemainder(key, tableSize);
}
///@}

/// Addresses: the low 32 bits of the address, as an unsigned value, modulo tableSize.
///@{
inline long SCC_Hash(void* const& key, long tableSize) {
    return SCC_HashDetail::UnsignedRemainder(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key)),
                                             tableSize);
}
inline long SCC_Hash(const void* const& key, long tableSize) {
    return SCC_HashDetail::UnsignedRemainder(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key)),
                                             tableSize);
}
///@}

/// C strings: the string polynomial modulo tableSize (a null text hashes as the empty one).
inline long SCC_Hash(const char* const& key, long tableSize) {
    return SCC_HashDetail::UnsignedRemainder(SCC_StringPolynomial(key), tableSize);
}

/// Counted strings: the string polynomial of the text up to its first NUL (the C-string view
/// that SCC_Compare orders), modulo tableSize.
///@{
inline long SCC_Hash(const CString& key, long tableSize) {
    if (tableSize < 1) return 0;
    return SCC_HashDetail::UnsignedRemainder(SCC_StringPolynomial(key, key.GetLength()), tableSize);
}
inline long SCC_Hash(const SYS_String& key, long tableSize) {
    return SCC_Hash(static_cast<const CString&>(key), tableSize);
}
///@}
/// Case-insensitive keys: the polynomial over the lower-case form of each character.
inline long SCC_Hash(const SYS_StrNoCase& key, long tableSize) {
    if (tableSize < 1) return 0;
    return SCC_HashDetail::UnsignedRemainder(SCC_StringPolynomialNoCase(key, key.GetLength()),
                                             tableSize);
}
