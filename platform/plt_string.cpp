#include "PLT_CRunTime.h"

namespace plt {

namespace {

unsigned char FoldToLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

}  // namespace

int _stricmp(const char* a, const char* b) {
    const unsigned char* pa = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* pb = reinterpret_cast<const unsigned char*>(b);
    for (;; ++pa, ++pb) {
        int ca = FoldToLower(*pa);
        int cb = FoldToLower(*pb);
        if (ca != cb || ca == 0) return ca - cb;
    }
}

char* _ultoa(unsigned long value, char* buffer, int radix) {
    if (radix < 2 || radix > 36) radix = 10;
    char digits[66];
    int count = 0;
    do {
        unsigned long digit = value % static_cast<unsigned long>(radix);
        digits[count++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        value /= static_cast<unsigned long>(radix);
    } while (value != 0);
    char* out = buffer;
    while (count > 0) *out++ = digits[--count];
    *out = '\0';
    return buffer;
}

char* _ltoa(long value, char* buffer, int radix) {
    if (radix != 10 || value >= 0) return _ultoa(static_cast<unsigned long>(value), buffer, radix);
    buffer[0] = '-';
    // Negate in unsigned arithmetic so that LONG_MIN has a magnitude too.
    _ultoa(0UL - static_cast<unsigned long>(value), buffer + 1, 10);
    return buffer;
}

}  // namespace plt
