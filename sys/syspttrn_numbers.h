#pragma once

// TODO: stand-ins for the number readers of the string utilities, which are being written on
// their own branch; replaced by SYS_StrEx.h when it lands. Same rules: signs are skipped
// wherever they stand, at least one digit is needed.
#include <cctype>

namespace syspttrn {

inline char* getinteger(const char* text, int base) {
    if (text == nullptr || *text == '\0') return nullptr;
    int digits = 0;
    const char* p = text;
    for (;; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '+' || c == '-') continue;
        bool digit = base == 3 ? std::isxdigit(c) != 0
                   : base == 2 ? (c >= '0' && c <= '7')
                               : (c >= '0' && c <= '9');
        if (!digit) break;
        ++digits;
    }
    return digits == 0 ? nullptr : const_cast<char*>(p);
}

inline char* getdouble(const char* text, int decimalOnly) {
    if (text == nullptr || *text == '\0') return nullptr;
    int mantissa = 0, exponentDigits = 0;
    bool point = false, exponent = false;
    const char* p = text;
    for (;; ++p) {
        char c = *p;
        if (c == '+' || c == '-') continue;
        if (c == '.' && !point && !exponent) {
            point = true;
            continue;
        }
        if ((c == 'e' || c == 'E') && !exponent) {
            if (decimalOnly) return mantissa == 0 ? nullptr : const_cast<char*>(p);
            exponent = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        ++(exponent ? exponentDigits : mantissa);
    }
    if (mantissa == 0 || (exponent && exponentDigits == 0)) return nullptr;
    return const_cast<char*>(p);
}

}  // namespace syspttrn
