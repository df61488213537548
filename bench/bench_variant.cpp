// The strict number reader (goal V1): SimpleScanf "%d" and "%f" over a million texts, against
// strtol and strtod with the same blank skipping, zero rule and end check, as a host would
// write them without the library.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SCC_Variant.h"
#include "bench/bench_util.h"

namespace {

constexpr size_t kTexts = 1000000;

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// Integers of 1 to 10 digits, some signed, some between blanks.
const std::vector<std::string>& IntTexts() {
    static const std::vector<std::string> texts = [] {
        bench::Random random(11);
        std::vector<std::string> out;
        out.reserve(kTexts);
        char buffer[32];
        for (size_t i = 0; i < kTexts; ++i) {
            const long magnitude =
                static_cast<long>(random.Next() % 2000000000ull) >> random.Below(31);
            const long value = random.Below(4) == 0 ? -magnitude : magnitude;
            std::snprintf(buffer, sizeof buffer, random.Below(8) == 0 ? "  %ld\t" : "%ld", value);
            out.emplace_back(buffer);
        }
        return out;
    }();
    return texts;
}

// Lengths in millimetres as users type them: "0.25", "12.5", "-3e-2", ...
const std::vector<std::string>& DoubleTexts() {
    static const std::vector<std::string> texts = [] {
        bench::Random random(13);
        std::vector<std::string> out;
        out.reserve(kTexts);
        char buffer[48];
        const char* const formats[] = {"%.2f", "%.6g", "%g", " %.3f "};
        for (size_t i = 0; i < kTexts; ++i) {
            const double value = (static_cast<double>(random.Next() % 1000000) - 500000) / 977.0;
            std::snprintf(buffer, sizeof buffer, formats[random.Below(4)], value);
            out.emplace_back(buffer);
        }
        return out;
    }();
    return texts;
}

long SumOursInt() {
    long sum = 0;
    for (const std::string& text : IntTexts()) {
        int value = 0;
        SimpleScanf(text.c_str(), "%d", &value);
        sum += value;
    }
    return sum;
}

long SumPeerInt() {
    long sum = 0;
    for (const std::string& text : IntTexts()) {
        const char* start = SkipBlanks(text.c_str());
        char* end = nullptr;
        long value = std::strtol(start, &end, 10);
        const bool badZero = value == 0 && *start != '0' && *start != '\0';
        if (badZero || *SkipBlanks(end) != '\0') std::abort();
        sum += static_cast<int>(value > INT_MAX ? INT_MAX : (value < INT_MIN ? INT_MIN : value));
    }
    return sum;
}

double SumOursDouble() {
    double sum = 0;
    for (const std::string& text : DoubleTexts()) {
        double value = 0;
        SimpleScanf(text.c_str(), "%f", &value);
        sum += value;
    }
    return sum;
}

double SumPeerDouble() {
    double sum = 0;
    for (const std::string& text : DoubleTexts()) {
        char* end = nullptr;
        const double value = std::strtod(SkipBlanks(text.c_str()), &end);
        if (*SkipBlanks(end) != '\0') std::abort();
        sum += value;
    }
    return sum;
}

void V1_IntOurs(benchmark::State& state) {
    bench::RequireSame("V1 %d", SumOursInt(), SumPeerInt());
    for (auto _ : state) benchmark::DoNotOptimize(SumOursInt());
    state.SetItemsProcessed(state.iterations() * kTexts);
}
void V1_IntPeer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SumPeerInt());
    state.SetItemsProcessed(state.iterations() * kTexts);
}
void V1_DoubleOurs(benchmark::State& state) {
    bench::RequireSame("V1 %f", SumOursDouble(), SumPeerDouble());
    for (auto _ : state) benchmark::DoNotOptimize(SumOursDouble());
    state.SetItemsProcessed(state.iterations() * kTexts);
}
void V1_DoublePeer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SumPeerDouble());
    state.SetItemsProcessed(state.iterations() * kTexts);
}

BENCH_REGISTER("BM_V1_ScanInt1M/ours", V1_IntOurs)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_V1_ScanInt1M/strtol", V1_IntPeer)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_V1_ScanDouble1M/ours", V1_DoubleOurs)->Unit(benchmark::kMillisecond);
BENCH_REGISTER("BM_V1_ScanDouble1M/strtod", V1_DoublePeer)->Unit(benchmark::kMillisecond);

}  // namespace
