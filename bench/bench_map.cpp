// Hash maps (goals M1-M4): adds then finds with handle keys, random keys and names, and the
// string hash alone, against std::unordered_map, absl's node and flat hash maps and std::hash.
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "SCC_Map.h"
#include "SYS_String.h"
#include "bench/bench_util.h"

#if TESSAR_HAVE_ABSL
#include <absl/container/flat_hash_map.h>
#include <absl/container/node_hash_map.h>
#include <absl/hash/hash.h>
#endif

namespace {

constexpr size_t kAdds = 100000;
constexpr size_t kFinds = 1000000;

struct IntInputs {
    std::vector<int> keys;     // distinct
    std::vector<int> queries;  // each one of the keys
};

IntInputs MakeIntInputs(bool handles) {
    IntInputs in;
    bench::Random random(handles ? 51 : 52);
    std::unordered_set<int> seen;
    while (in.keys.size() < kAdds) {
        int key = handles ? static_cast<int>(in.keys.size() + 1) : static_cast<int>(random.Next() & 0x7fffffff);
        if (seen.insert(key).second) in.keys.push_back(key);
    }
    in.queries.resize(kFinds);
    for (int& q : in.queries) q = in.keys[static_cast<size_t>(random.Below(static_cast<int>(kAdds)))];
    return in;
}

const IntInputs& Ints(bool handles) {
    static const IntInputs inputs[2] = {MakeIntInputs(false), MakeIntInputs(true)};
    return inputs[handles ? 1 : 0];
}

// Every pair adds key -> key ^ 0x5a5a and sums the values its finds return.
long IntSumOurs(const IntInputs& in) {
    SCC_Map<int, int> map;
    for (int k : in.keys) map.Add(k, k ^ 0x5a5a);
    long sum = 0;
    for (int q : in.queries) sum += *map.Lookup(q);
    return sum;
}

template <class Map>
long IntSumPeer(const IntInputs& in) {
    Map map;
    for (int k : in.keys) map.emplace(k, k ^ 0x5a5a);
    long sum = 0;
    for (int q : in.queries) sum += map.find(q)->second;
    return sum;
}

template <bool Handles>
void IntOurs(benchmark::State& state) {
    const IntInputs& in = Ints(Handles);
    bench::RequireSame("int map", IntSumOurs(in), IntSumPeer<std::unordered_map<int, int>>(in));
    for (auto _ : state) benchmark::DoNotOptimize(IntSumOurs(in));
}

template <bool Handles, class Map>
void IntPeer(benchmark::State& state) {
    const IntInputs& in = Ints(Handles);
    for (auto _ : state) benchmark::DoNotOptimize(IntSumPeer<Map>(in));
}

BENCH_REGISTER("BM_M1_IntHandles/ours", IntOurs<true>);
BENCH_REGISTER("BM_M1_IntHandles/unordered_map", (IntPeer<true, std::unordered_map<int, int>>));
BENCH_REGISTER("BM_M2_IntRandom/ours", IntOurs<false>);
BENCH_REGISTER("BM_M2_IntRandom/unordered_map", (IntPeer<false, std::unordered_map<int, int>>));
#if TESSAR_HAVE_ABSL
BENCH_REGISTER("BM_M1_IntHandles/absl_flat", (IntPeer<true, absl::flat_hash_map<int, int>>));
BENCH_REGISTER("BM_M1_IntHandles/absl_node", (IntPeer<true, absl::node_hash_map<int, int>>));
BENCH_REGISTER("BM_M2_IntRandom/absl_flat", (IntPeer<false, absl::flat_hash_map<int, int>>));
BENCH_REGISTER("BM_M2_IntRandom/absl_node", (IntPeer<false, absl::node_hash_map<int, int>>));
#endif

// ---- M3: names ------------------------------------------------------------------------------------
struct NameInputs {
    std::vector<std::string> keys;  // distinct
    std::vector<size_t> queries;    // indexes of keys
    std::vector<SYS_String> ourKeys;
};

const NameInputs& Names() {
    static const NameInputs inputs = [] {
        NameInputs in;
        std::unordered_set<std::string> seen;
        for (const std::string& name : bench::MakeNames(kAdds))
            if (seen.insert(name).second) in.keys.push_back(name);
        for (const std::string& key : in.keys) in.ourKeys.emplace_back(key.c_str());
        bench::Random random(53);
        in.queries.resize(kFinds);
        for (size_t& q : in.queries) q = static_cast<size_t>(random.Below(static_cast<int>(in.keys.size())));
        return in;
    }();
    return inputs;
}

long NameSumOurs(const NameInputs& in) {
    SCC_Map<SYS_String, int> map;
    for (size_t i = 0; i < in.ourKeys.size(); ++i) map.Add(in.ourKeys[i], static_cast<int>(i));
    long sum = 0;
    for (size_t q : in.queries) sum += *map.Lookup(in.ourKeys[q]);
    return sum;
}

template <class Map>
long NameSumPeer(const NameInputs& in) {
    Map map;
    for (size_t i = 0; i < in.keys.size(); ++i) map.emplace(in.keys[i], static_cast<int>(i));
    long sum = 0;
    for (size_t q : in.queries) sum += map.find(in.keys[q])->second;
    return sum;
}

void NamesOurs(benchmark::State& state) {
    const NameInputs& in = Names();
    bench::RequireSame("name map", NameSumOurs(in), NameSumPeer<std::unordered_map<std::string, int>>(in));
    for (auto _ : state) benchmark::DoNotOptimize(NameSumOurs(in));
}

template <class Map>
void NamesPeer(benchmark::State& state) {
    const NameInputs& in = Names();
    for (auto _ : state) benchmark::DoNotOptimize(NameSumPeer<Map>(in));
}
BENCH_REGISTER("BM_M3_Names/ours", NamesOurs);
BENCH_REGISTER("BM_M3_Names/unordered_map", (NamesPeer<std::unordered_map<std::string, int>>));
#if TESSAR_HAVE_ABSL
BENCH_REGISTER("BM_M3_Names/absl_node", (NamesPeer<absl::node_hash_map<std::string, int>>));
BENCH_REGISTER("BM_M3_Names/absl_flat", (NamesPeer<absl::flat_hash_map<std::string, int>>));
#endif

// ---- M4: the string hash alone ------------------------------------------------------------------------
void HashOurs(benchmark::State& state) {
    const NameInputs& in = Names();
    for (auto _ : state) {
        long sum = 0;
        for (const SYS_String& key : in.ourKeys) sum += SCC_Hash(key, 467183);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(in.keys.size()));
}

template <class Hash>
void HashPeer(benchmark::State& state) {
    const NameInputs& in = Names();
    Hash hash;
    for (auto _ : state) {
        size_t sum = 0;
        for (const std::string& key : in.keys) sum += hash(key);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(in.keys.size()));
}
BENCH_REGISTER("BM_M4_HashName/ours", HashOurs);
BENCH_REGISTER("BM_M4_HashName/std_hash", HashPeer<std::hash<std::string>>);
#if TESSAR_HAVE_ABSL
BENCH_REGISTER("BM_M4_HashName/absl_hash", HashPeer<absl::Hash<std::string>>);
#endif

}  // namespace
