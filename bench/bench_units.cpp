// Units: formatting lengths and angles (goal U1) and parsing user texts (goal U2), against the
// code a user would write with the C library: snprintf("%.*f") plus the trim (and std::to_chars
// with the same trim), and strtod with the same end and range checks.
#include <charconv>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SYS_Convert.h"
#include "bench/bench_util.h"

namespace {

constexpr size_t kCount = 1000000;

// Board values over the whole coordinate range.
const std::vector<long>& Values() {
    static const std::vector<long> values = [] {
        bench::Random random(11);
        std::vector<long> v(kCount);
        for (long& x : v)
            x = static_cast<long>(random.Next() % (2 * SYS_Convert::kMaxBase + 1)) -
                SYS_Convert::kMaxBase;
        return v;
    }();
    return values;
}

// The peer: "%.*f" and the same trim a user would write.
size_t PrintfTrimmed(char* text, double value, int precision) {
    int n = std::snprintf(text, 64, "%.*f", precision, value);
    if (std::memchr(text, '.', static_cast<size_t>(n)) != nullptr) {
        while (text[n - 1] == '0') --n;
        if (text[n - 1] == '.') --n;
        text[n] = '\0';
    }
    return static_cast<size_t>(n);
}

// The exact method a user after speed would pick: std::to_chars in fixed notation (the same
// correctly rounded digits as "%.*f"), then the same trim.
size_t ToCharsTrimmed(char* text, double value, int precision) {
    const std::to_chars_result r = std::to_chars(text, text + 63, value, std::chars_format::fixed, precision);
    size_t n = static_cast<size_t>(r.ptr - text);
    if (std::memchr(text, '.', n) != nullptr) {
        while (text[n - 1] == '0') --n;
        if (text[n - 1] == '.') --n;
    }
    text[n] = '\0';
    return n;
}

// Times one pass of `pass` over the inputs per iteration.
template <class Pass>
void Run(benchmark::State& state, Pass pass) {
    for (auto _ : state) benchmark::DoNotOptimize(pass());
    state.SetItemsProcessed(state.iterations() * kCount);
}

size_t Checksum(const char* text) { return std::strlen(text) * 31 + static_cast<size_t>(text[0]); }

// The peer's pass: every value in user units through PrintfTrimmed (or `format`).
template <class ToUser>
size_t PeerTexts(ToUser toUser, int precision, size_t (*format)(char*, double, int) = PrintfTrimmed) {
    char text[64];
    size_t sum = 0;
    for (long v : Values()) {
        format(text, toUser(v), precision);
        sum += Checksum(text);
    }
    return sum;
}

// ---- U1: Base2Str in mm, precision 5, zero trim; Angle2Str ----------------------------------
size_t U1OursLengths(const SYS_Convert& mm) {
    char text[64];
    size_t sum = 0;
    for (long v : Values()) sum += Checksum(mm.Base2Str(text, v));
    return sum;
}
size_t U1PeerLengths() {
    return PeerTexts([](long v) { return v / 1500000.0; }, 5);
}
void U1_Ours(benchmark::State& state) {
    const SYS_Convert mm(SYS_UnitMillimeters);
    bench::RequireSame("U1", U1OursLengths(mm), U1PeerLengths());
    Run(state, [&mm] { return U1OursLengths(mm); });
}
void U1_Peer(benchmark::State& state) { Run(state, U1PeerLengths); }
BENCH_REGISTER("BM_U1_Base2StrMm/ours", U1_Ours)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_U1_Base2StrMm/snprintf_trim", U1_Peer)->Unit(benchmark::kMillisecond);
void U1_ToChars(benchmark::State& state) {
    auto pass = [] { return PeerTexts([](long v) { return v / 1500000.0; }, 5, ToCharsTrimmed); };
    bench::RequireSame("U1 to_chars", pass(), U1PeerLengths());
    Run(state, pass);
}
BENCH_REGISTER("BM_U1_Base2StrMm/to_chars_trim", U1_ToChars)->Unit(benchmark::kMillisecond);

size_t U1OursAngles(const SYS_Convert& convert) {
    char text[64];
    size_t sum = 0;
    for (long v : Values()) sum += Checksum(convert.Angle2Str(text, v));
    return sum;
}
size_t U1PeerAngles() {
    return PeerTexts([](long v) { return v * 5.555555555555555e-7; }, 3);
}
void U1Angle_Ours(benchmark::State& state) {
    const SYS_Convert convert;
    bench::RequireSame("U1 angles", U1OursAngles(convert), U1PeerAngles());
    Run(state, [&convert] { return U1OursAngles(convert); });
}
void U1Angle_Peer(benchmark::State& state) { Run(state, U1PeerAngles); }
BENCH_REGISTER("BM_U1_Angle2Str/ours", U1Angle_Ours)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_U1_Angle2Str/snprintf_trim", U1Angle_Peer)->Unit(benchmark::kMillisecond);
void U1Angle_ToChars(benchmark::State& state) {
    auto pass = [] { return PeerTexts([](long v) { return v * 5.555555555555555e-7; }, 3, ToCharsTrimmed); };
    bench::RequireSame("U1 angles to_chars", pass(), U1PeerAngles());
    Run(state, pass);
}
BENCH_REGISTER("BM_U1_Angle2Str/to_chars_trim", U1Angle_ToChars)->Unit(benchmark::kMillisecond);

// ---- U2: Str2Base (mm) and Str2Angle over texts as users type them --------------------------
const std::vector<std::string>& Texts() {
    static const std::vector<std::string> texts = [] {
        const SYS_Convert mm(SYS_UnitMillimeters);
        std::vector<std::string> t;
        t.reserve(kCount);
        for (long v : Values()) t.emplace_back(static_cast<const char*>(mm.Base2Str(v / 3)));
        return t;
    }();
    return texts;
}

long U2OursBase(const SYS_Convert& mm) {
    long sum = 0, base;
    for (const std::string& text : Texts())
        if (mm.Str2Base(text.c_str(), &base)) sum += base;
    return sum;
}
long U2PeerBase() {
    long sum = 0;
    for (const std::string& text : Texts()) {
        char* end;
        errno = 0;
        const double v = std::strtod(text.c_str(), &end);
        if (*end != '\0' || errno == ERANGE || !(std::fabs(v) <= 2147483647.0 / 1500000.0)) continue;
        const double product = v * 1500000.0;
        const long base = static_cast<long>(product > 0 ? product + 0.5 : product - 0.5);
        if (base >= -SYS_Convert::kMaxBase && base <= SYS_Convert::kMaxBase) sum += base;
    }
    return sum;
}
void U2_Ours(benchmark::State& state) {
    const SYS_Convert mm(SYS_UnitMillimeters);
    bench::RequireSame("U2", U2OursBase(mm), U2PeerBase());
    Run(state, [&mm] { return U2OursBase(mm); });
}
void U2_Peer(benchmark::State& state) { Run(state, U2PeerBase); }
BENCH_REGISTER("BM_U2_Str2BaseMm/ours", U2_Ours)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_U2_Str2BaseMm/strtod", U2_Peer)->Unit(benchmark::kMillisecond);

long U2OursAngle() {
    long sum = 0, angle;
    for (const std::string& text : Texts())
        if (SYS_Convert::Str2Angle(text.c_str(), &angle)) sum += angle;
    return sum;
}
long U2PeerAngle() {
    long sum = 0;
    for (const std::string& text : Texts()) {
        char* end;
        errno = 0;
        const double units = std::trunc(std::strtod(text.c_str(), &end) * 1800000.0);
        if (*end == '\0' && errno != ERANGE && units >= INT_MIN && units <= INT_MAX)
            sum += static_cast<long>(units);
    }
    return sum;
}
void U2Angle_Ours(benchmark::State& state) {
    bench::RequireSame("U2 angles", U2OursAngle(), U2PeerAngle());
    Run(state, U2OursAngle);
}
void U2Angle_Peer(benchmark::State& state) { Run(state, U2PeerAngle); }
BENCH_REGISTER("BM_U2_Str2Angle/ours", U2Angle_Ours)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_U2_Str2Angle/strtod", U2Angle_Peer)->Unit(benchmark::kMillisecond);

}  // namespace
