// The map's table sizes and the string polynomial.
//
// The polynomial h = sum ci * i * P^i (P = 6293815, unsigned 32-bit) written as a running
// product costs three dependent multiplies per character. Here the weights are tabulated per
// block of kBlock characters instead: for the character at position i = k*kBlock + j + 1,
//     i * P^i = P^(k*kBlock) * (k*kBlock * P^(j+1) + (j+1) * P^(j+1)),
// so a block contributes P^(k*kBlock) * (k*kBlock * sumQ + sumA) with two independent dot
// products sumQ = sum c * P^(j+1) and sumA = sum c * (j+1) * P^(j+1). The first block needs
// only sumA: one multiply per character, none of them dependent on another. Every product is
// taken modulo 2^32, which is what the running form computes too.
#include "SCC_Hash.h"

#include <cctype>
#include <climits>
#include <cstring>

namespace {

const long kTableSizes[] = {53,    107,   223,   449,    907,    1823,   3643,
                            7297,  14593, 29191, 58391, 116789, 233591, 467183};

constexpr uint32_t kFactor = 6293815u;
constexpr long kBlock = 64;

struct Weights {
    uint32_t power[kBlock];     // P^(j+1)
    uint32_t weighted[kBlock];  // (j+1) * P^(j+1)
    uint32_t blockPower;        // P^kBlock
};

constexpr Weights MakeWeights() {
    Weights w{};
    uint32_t power = 1;
    for (long j = 0; j < kBlock; ++j) {
        power *= kFactor;
        w.power[j] = power;
        w.weighted[j] = static_cast<uint32_t>(j + 1) * power;
    }
    w.blockPower = power;
    return w;
}

constexpr Weights kWeights = MakeWeights();

// A character as the signed 8-bit value the polynomial takes, in 32-bit wrap-around form.
inline uint32_t AsSigned8(unsigned char c) {
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
}

struct KeepCase {
    uint32_t operator()(unsigned char c) const { return AsSigned8(c); }
};

struct LowerCase {
    uint32_t operator()(unsigned char c) const {
        return AsSigned8(static_cast<unsigned char>(std::tolower(c)));
    }
};

// sum c * weights[j] over n <= kBlock characters; `smallest` receives the smallest byte seen (a
// NUL shows as 0) when it is smaller. Plain loops: the compiler vectorises them, and with the
// short, varying lengths of typical keys they mispredict less than unrolled ones.
template <class Transform>
uint32_t DotProduct(const unsigned char* text, long n, const uint32_t* weights,
                    unsigned char& smallest) {
    Transform transform;
    uint32_t sum = 0;
    unsigned char least = smallest;
    for (long j = 0; j < n; ++j) {
        sum += transform(text[j]) * weights[j];
        least = text[j] < least ? text[j] : least;
    }
    smallest = least;
    return sum;
}

// The polynomial over exactly `length` characters; `smallest` as for DotProduct.
template <class Transform>
uint32_t Polynomial(const char* text, long length, unsigned char& smallest) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    smallest = UCHAR_MAX;
    long n = length < kBlock ? length : kBlock;
    uint32_t hash = DotProduct<Transform>(bytes, n, kWeights.weighted, smallest);
    uint32_t scale = 1;
    for (long start = kBlock; start < length; start += kBlock) {
        scale *= kWeights.blockPower;
        n = length - start < kBlock ? length - start : kBlock;
        uint32_t sumA = DotProduct<Transform>(bytes + start, n, kWeights.weighted, smallest);
        uint32_t sumQ = DotProduct<Transform>(bytes + start, n, kWeights.power, smallest);
        hash += scale * (static_cast<uint32_t>(start) * sumQ + sumA);
    }
    return hash;
}

// The polynomial over the first `length` bytes of `text` or up to its first NUL, whichever
// comes first. The whole length is hashed on the way (it rarely holds a NUL), and only a text
// that does is hashed again up to the NUL.
template <class Transform>
uint32_t CountedPolynomial(const char* text, long length) {
    if (text == nullptr || length <= 0) return 0;
    unsigned char smallest = UCHAR_MAX;
    uint32_t hash;
    if (length <= kBlock)  // typical keys: one block, one loop
        hash = DotProduct<Transform>(reinterpret_cast<const unsigned char*>(text), length,
                                     kWeights.weighted, smallest);
    else
        hash = Polynomial<Transform>(text, length, smallest);
    if (smallest != 0) return hash;
    const char* nul = static_cast<const char*>(std::memchr(text, '\0', static_cast<size_t>(length)));
    return Polynomial<Transform>(text, nul - text, smallest);
}

}  // namespace

long SCC_GetNewTableSize(long size) {
    for (long tableSize : kTableSizes)
        if (tableSize > size) return tableSize;
    return 0;
}

uint32_t SCC_StringPolynomial(const char* text) {
    if (text == nullptr) return 0;
    unsigned char smallest;
    return Polynomial<KeepCase>(text, static_cast<long>(std::strlen(text)), smallest);
}

uint32_t SCC_StringPolynomial(const char* text, long length) {
    return CountedPolynomial<KeepCase>(text, length);
}

uint32_t SCC_StringPolynomialNoCase(const char* text, long length) {
    return CountedPolynomial<LowerCase>(text, length);
}
