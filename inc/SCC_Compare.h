#pragma once

#include "TessarExport.h"

/// The orderings of the library's scalar and text keys, shared by the array's comparators, the
/// map's keys and every sorted container: SCC_Compare answers -1, 0 or 1 as `a` orders before,
/// with or after `b`. The forms for the library's string classes live with the string class.
/// The scalar forms are inline so that a comparator's compare reduces to one virtual call.
inline int SCC_Compare(int a, int b) { return a < b ? -1 : (b < a ? 1 : 0); }
inline int SCC_Compare(long a, long b) { return a < b ? -1 : (b < a ? 1 : 0); }
inline int SCC_Compare(long long a, long long b) { return a < b ? -1 : (b < a ? 1 : 0); }
inline int SCC_Compare(unsigned int a, unsigned int b) { return a < b ? -1 : (b < a ? 1 : 0); }
inline int SCC_Compare(unsigned long a, unsigned long b) { return a < b ? -1 : (b < a ? 1 : 0); }
inline int SCC_Compare(unsigned long long a, unsigned long long b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}
/// Signed, whatever the platform's char is.
inline int SCC_Compare(char a, char b) {
    return SCC_Compare(static_cast<int>(static_cast<signed char>(a)),
                       static_cast<int>(static_cast<signed char>(b)));
}
inline int SCC_Compare(unsigned char a, unsigned char b) { return a < b ? -1 : (b < a ? 1 : 0); }
/// 0 when neither is less nor greater: a NaN compares equal to anything.
inline int SCC_Compare(float a, float b) { return a < b ? -1 : (b < a ? 1 : 0); }
inline int SCC_Compare(double a, double b) { return a < b ? -1 : (b < a ? 1 : 0); }
/// Address order.
inline int SCC_Compare(void* a, void* b) { return a < b ? -1 : (b < a ? 1 : 0); }
inline int SCC_Compare(const void* a, const void* b) { return a < b ? -1 : (b < a ? 1 : 0); }
/// Null is less than any text and equal to null; texts compare as unsigned bytes.
TESSAR_EXPORT int SCC_Compare(const char* a, const char* b);
