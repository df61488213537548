#include "SCC_Compare.h"

#include <cstring>

int SCC_Compare(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return (a != nullptr) - (b != nullptr);
    const int result = std::strcmp(a, b);  // strcmp compares as unsigned char
    return (result > 0) - (result < 0);
}
