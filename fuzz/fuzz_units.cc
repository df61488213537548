// Parsing of user values by SYS_Convert. The first byte picks the unit type (one of the four or
// a bad one) and the function, the next eight bytes the user origin, and the rest is the text.
// Every answer is checked against strtod/strtol and the documented acceptance rules; accepted
// numbers are then formatted back and compared with snprintf.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SYS_Convert.h"
#include "fuzz_harness.h"

namespace {

const long kSentinel = -12345;

// The C library's reading of the whole text, as the parsers must agree with it.
struct Oracle {
    bool wholeDouble;
    double number;
    bool wholeLong;
    long integer;
};

Oracle Read(const char* text) {
    Oracle oracle;
    char* end;
    errno = 0;
    oracle.number = std::strtod(text, &end);
    oracle.wholeDouble = *end == '\0' && errno != ERANGE;
    errno = 0;
    oracle.integer = std::strtol(text, &end, 10);
    oracle.wholeLong = *end == '\0' && errno != ERANGE;
    return oracle;
}

bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b); }

// "%.*f" of value, without the zeros after the point (and a point left last) when trimming.
const char* Printf(double value, int precision, bool trim) {
    static char text[2048];
    std::snprintf(text, sizeof text, "%.*f", precision, value);
    size_t n = std::strlen(text);
    if (trim && std::strchr(text, '.') != nullptr) {
        while (text[n - 1] == '0') --n;
        if (text[n - 1] == '.') --n;
        text[n] = '\0';
    }
    return text;
}

// Formatting must be "%.*f", then trimmed in zero-trim mode.
void CheckFormat(const SYS_Convert& convert, double number, int precision) {
    SYS_Convert c(convert);
    c.SetUnitPrecision(precision);
    c.SetZeroTrimMode(precision & 1);
    const bool trim = c.IsZeroTrimMode() != 0;
    fuzz::Require(std::strcmp(Printf(c.Base2User(number), c.GetUnitPrecision(), trim),
                              c.Base2Str(number)) == 0,
                  "Base2Str is \"%.*f\" trimmed");
    c.SetAnglePrecision(precision);
    const long angle = std::isfinite(number) ? static_cast<long>(std::fmod(number, 4e18)) : 0;
    fuzz::Require(std::strcmp(Printf(angle * 5.555555555555555e-7, precision, trim),
                              c.Angle2Str(angle)) == 0,
                  "Angle2Str is \"%.*f\" trimmed");
}

void CheckLongParse(int accepted, long value, bool shouldAccept, long expected, const char* what) {
    fuzz::Require(accepted == (shouldAccept ? 1 : 0), what);
    fuzz::Require(value == (shouldAccept ? expected : kSentinel), what);
}

void CheckDoubleParse(int accepted, double value, bool shouldAccept, double expected,
                      const char* what) {
    fuzz::Require(accepted == (shouldAccept ? 1 : 0), what);
    fuzz::Require(Same(value, shouldAccept ? expected : double(kSentinel)), what);
}

// The parse functions, called with a sentinel in the result so that a refusal that writes is seen.
template <class T, class Parse>
int Call(T& value, Parse parse) {
    value = T(kSentinel);
    return parse(&value);
}

void Check(const SYS_Convert& c, int function, const char* text) {
    const Oracle o = Read(text);
    const long mark = SYS_Convert::kOverflowMark;
    const long base = o.wholeDouble ? c.User2Base(o.number) : mark;
    const bool measure = o.wholeDouble && o.number >= 0 && base != mark;
    const double baseDouble = o.wholeDouble ? c.User2BaseDouble(o.number) : 0;
    const long x = c.GetOrigin().GetX(), y = c.GetOrigin().GetY();
    const int precision = text[0] != '\0' ? static_cast<unsigned char>(text[0]) % 40 : 3;
    long l;
    double d;
    int ok;
    switch (function) {
        case 0:
            ok = Call(d, [&](double* v) { return SYS_Convert::Str2Double(text, v); });
            CheckDoubleParse(ok, d, o.wholeDouble, o.number, "Str2Double agrees with strtod");
            break;
        case 1:
            ok = Call(l, [&](long* v) { return SYS_Convert::Str2Long(text, v); });
            CheckLongParse(ok, l, o.wholeLong && o.integer >= INT_MIN && o.integer <= INT_MAX,
                           o.integer, "Str2Long agrees with strtol within 32 bits");
            break;
        case 2:
            ok = Call(l, [&](long* v) { return c.Str2Base(text, v); });
            CheckLongParse(ok, l, o.wholeDouble && base >= -SYS_Convert::kMaxBase &&
                                      base <= SYS_Convert::kMaxBase,
                           base, "Str2Base(long) accepts the board range only");
            if (ok) CheckFormat(c, double(l), precision % 12);
            break;
        case 3:
            ok = Call(d, [&](double* v) { return c.Str2Base(text, v); });
            CheckDoubleParse(ok, d, o.wholeDouble, baseDouble,
                             "Str2Base(double) is User2BaseDouble of strtod");
            if (ok) CheckFormat(c, d, precision);
            break;
        case 4:
            ok = Call(l, [&](long* v) { return c.Str2Measure(text, v); });
            CheckLongParse(ok, l, measure, base, "Str2Measure(long) takes lengths >= 0 that fit");
            fuzz::Require(!ok || (l >= 0 && l <= INT_MAX), "a measure is in 0..2^31-1");
            break;
        case 5:
            ok = Call(d, [&](double* v) { return c.Str2Measure(text, v); });
            CheckDoubleParse(ok, d, o.wholeDouble && o.number >= 0, baseDouble,
                             "Str2Measure(double) takes lengths >= 0");
            break;
        case 6:
            ok = Call(l, [&](long* v) { return c.Str2CoordX(text, v); });
            CheckLongParse(ok, l, measure, base + x, "Str2CoordX is a measure plus the origin");
            ok = Call(l, [&](long* v) { return c.Str2CoordY(text, v); });
            CheckLongParse(ok, l, measure, base + y, "Str2CoordY is a measure plus the origin");
            break;
        default: {
            const double units = o.wholeDouble ? std::trunc(o.number * 1800000.0) : NAN;
            const bool fits = units >= INT_MIN && units <= INT_MAX;
            ok = Call(l, [&](long* v) { return SYS_Convert::Str2Angle(text, v); });
            CheckLongParse(ok, l, fits, fits ? long(units) : 0, "Str2Angle truncates into 32 bits");
            ok = Call(d, [&](double* v) { return c.Str2CoordY(text, v); });
            CheckDoubleParse(ok, d, o.wholeDouble && o.number >= 0, baseDouble + double(y),
                             "Str2CoordY(double) is a measure plus the origin");
            break;
        }
    }
}

int32_t Int32At(const uint8_t* data) {
    uint32_t v;
    std::memcpy(&v, data, sizeof v);
    return static_cast<int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9) return 0;
    const int type = data[0] % 5 == 4 ? 9 : data[0] % 5;  // 9: a bad unit type
    const int function = (data[0] / 5) % 8;
    SYS_Convert convert(static_cast<SYS_UnitType>(type), SYS_Point(Int32At(data + 1), Int32At(data + 5)));
    const std::string text(reinterpret_cast<const char*>(data + 9), size - 9);
    Check(convert, function, text.c_str());
    return 0;
}
