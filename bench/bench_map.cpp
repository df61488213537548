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

// The floor of the map's layout, written as plainly as it goes: separate chaining with the
// map's hash (SCC_Hash at the table size), its growth rule (rebuilt to the next size of
// SCC_GetNewTableSize when the chain that received a node reaches 5 nodes, old buckets walked in
// order and appended to the new tails), a heap node per add holding the key, the value and the
// stored hash, new nodes at the head of their bucket, a duplicate check on add, and 16-byte
// buckets (head and tail). It ends with the same table size and the same chains as the map; no
// notifications, no checks. What the map pays beyond this is its own.
class ChainedFloor {
public:
    ChainedFloor() : m_size(53), m_buckets(new Bucket[53]()) {}
    ~ChainedFloor() {
        for (long i = 0; i < m_size; ++i) {
            for (Node* at = m_buckets[i].head; at != nullptr;) {
                Node* next = at->next;
                delete at;
                at = next;
            }
        }
        delete[] m_buckets;
    }
    ChainedFloor(const ChainedFloor&) = delete;
    ChainedFloor& operator=(const ChainedFloor&) = delete;

    void emplace(int key, int value) {
        const long hash = SCC_Hash(key, m_size);
        Bucket& bucket = m_buckets[hash];
        if (Find(bucket, key, hash) != nullptr) return;
        bucket.head = new Node{bucket.head, key, value, hash};
        if (bucket.tail == nullptr) bucket.tail = bucket.head;
        long length = 0;
        for (Node* at = bucket.head; at != nullptr && length < 5; at = at->next) ++length;
        if (length >= 5) Grow();
    }
    const int* lookup(int key) const {
        const long hash = SCC_Hash(key, m_size);
        const Node* node = Find(m_buckets[hash], key, hash);
        return node != nullptr ? &node->value : nullptr;
    }

private:
    struct Node {
        Node* next;
        int key;
        int value;
        long hash;
    };
    struct Bucket {
        Node* head;
        Node* tail;
    };
    static const Node* Find(const Bucket& bucket, int key, long hash) {
        for (const Node* at = bucket.head; at != nullptr; at = at->next)
            if (at->hash == hash && at->key == key) return at;
        return nullptr;
    }
    void Grow() {
        const long size = SCC_GetNewTableSize(m_size);
        if (size == 0) return;
        Bucket* table = new Bucket[size]();
        for (long i = 0; i < m_size; ++i) {
            for (Node* at = m_buckets[i].head; at != nullptr;) {
                Node* next = at->next;
                at->hash = SCC_Hash(at->key, size);
                Bucket& target = table[at->hash];
                at->next = nullptr;
                (target.tail != nullptr ? target.tail->next : target.head) = at;
                target.tail = at;
                at = next;
            }
        }
        delete[] m_buckets;
        m_buckets = table;
        m_size = size;
    }
    long m_size;
    Bucket* m_buckets;
};

long IntSumFloor(const IntInputs& in) {
    ChainedFloor map;
    for (int k : in.keys) map.emplace(k, k ^ 0x5a5a);
    long sum = 0;
    for (int q : in.queries) sum += *map.lookup(q);
    return sum;
}

template <bool Handles>
void IntFloor(benchmark::State& state) {
    const IntInputs& in = Ints(Handles);
    bench::RequireSame("int map floor", IntSumFloor(in), IntSumPeer<std::unordered_map<int, int>>(in));
    for (auto _ : state) benchmark::DoNotOptimize(IntSumFloor(in));
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
BENCH_REGISTER("BM_M1_IntHandles/chained_floor", IntFloor<true>);
BENCH_REGISTER("BM_M2_IntRandom/chained_floor", IntFloor<false>);
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
