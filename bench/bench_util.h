#pragma once
// Helpers shared by the benchmark pairs: deterministic inputs, and a check that ours and the
// peer computed the same thing before any time counts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench {

// A small fast generator so that every run sees the same inputs.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }
    int Below(int bound) { return static_cast<int>(Next() % static_cast<uint64_t>(bound)); }

private:
    uint64_t m_state;
};

// Aborts the run when a pair disagrees: a ratio of two different computations means nothing.
template <class A, class B>
void RequireSame(const char* pair, const A& ours, const B& peer) {
    if (ours == peer) return;
    std::fprintf(stderr, "benchmark pair %s: ours and the peer computed different results\n", pair);
    std::abort();
}

// Names of board objects and files, 2 to 17 bytes: "U17", "R1203_v2.sch", "NET_VCC_3", ...
inline std::vector<std::string> MakeNames(size_t count, uint64_t seed = 7) {
    static const char* const kStems[] = {"U", "R", "C", "NET_", "PAD", "VIA", "board_", "L"};
    static const char* const kTails[] = {"", "_v1.sch", "_v2.sch", ".brd", "_A", ".pcb", "_GND", "x"};
    Random random(seed);
    std::vector<std::string> names;
    names.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::string name = kStems[random.Below(8)];
        name += std::to_string(random.Below(5000));
        name += kTails[random.Below(8)];
        names.push_back(name);
    }
    return names;
}

}  // namespace bench

// Registers `fn` as BM_<ID>_<Workload>/<impl>; BENCH_PAIR_ARGS adds arguments.
#define BENCH_CONCAT2(a, b) a##b
#define BENCH_CONCAT(a, b) BENCH_CONCAT2(a, b)
#define BENCH_REGISTER(name, fn) \
    static ::benchmark::internal::Benchmark* BENCH_CONCAT(s_bench_, __COUNTER__) = \
        ::benchmark::RegisterBenchmark(name, fn)
