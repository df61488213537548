// Random adds, removals and look-ups against two oracles: std::unordered_map for the content,
// and a model of the chained table (std::deque buckets) for the exact bucket and chain order,
// growth included.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "SCC_Map.h"
#include "SYS_String.h"
#include "map_test_support.h"

namespace {

long ModelHash(int key, long size) { return ((key % size) + size) % size; }

// The polynomial as a plain running product, independent of the library's tabulated form.
long ModelHash(const std::string& key, long size) {
    uint32_t hash = 0, power = 1, i = 0;
    for (char c : key) {
        power *= 6293815u;
        hash += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c))) * ++i * power;
    }
    return static_cast<long>(hash % static_cast<uint32_t>(size));
}

const long kSizes[] = {53,    107,   223,   449,    907,    1823,   3643,
                       7297,  14593, 29191, 58391, 116789, 233591, 467183};

// The chained table as the map's documentation describes it.
template <class K>
class TableModel {
public:
    TableModel() : m_buckets(53) {}

    // Answers whether a node was added.
    bool Add(const K& key, bool unique) {
        std::deque<K>& chain = m_buckets[ModelHash(key, Size())];
        if (unique && Find(chain, key) != chain.end()) return false;
        chain.push_front(key);
        if (chain.size() >= 5 && Size() < 467183) Rebuild();
        return true;
    }
    bool Remove(const K& key) {
        std::deque<K>& chain = m_buckets[ModelHash(key, Size())];
        auto at = Find(chain, key);
        if (at == chain.end()) return false;
        chain.erase(at);
        return true;
    }
    std::vector<std::pair<long, K>> Chains() const {
        std::vector<std::pair<long, K>> chains;
        for (size_t b = 0; b < m_buckets.size(); ++b)
            for (const K& key : m_buckets[b]) chains.push_back({static_cast<long>(b), key});
        return chains;
    }
    long Size() const { return static_cast<long>(m_buckets.size()); }

private:
    static typename std::deque<K>::iterator Find(std::deque<K>& chain, const K& key) {
        for (auto at = chain.begin(); at != chain.end(); ++at)
            if (*at == key) return at;
        return chain.end();
    }
    void Rebuild() {
        long next = 0;
        for (long size : kSizes)
            if (size > Size()) {
                next = size;
                break;
            }
        std::vector<std::deque<K>> rebuilt(static_cast<size_t>(next));
        for (const std::deque<K>& chain : m_buckets)
            for (const K& key : chain) rebuilt[ModelHash(key, next)].push_back(key);
        m_buckets.swap(rebuilt);
    }

    std::vector<std::deque<K>> m_buckets;
};

SYS_String ToMapKey(const std::string& key) { return SYS_String(key.c_str()); }
int ToMapKey(int key) { return key; }

std::string ToStd(const SYS_String& s) { return std::string(static_cast<const char*>(s)); }
std::string ToStd(int key) { return std::to_string(key); }
std::string ToStd(const std::string& key) { return key; }

template <class MapKey, class K, class Map>
void ExpectSameChains(Map& map, const TableModel<K>& model) {
    ASSERT_TRUE(map.CheckInvariants());
    ASSERT_EQ(model.Size(), map.GetTableSize());
    std::vector<std::pair<long, MapKey>> actual = MapTest::Chains(map);
    std::vector<std::pair<long, K>> expected = model.Chains();
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(expected[i].first, actual[i].first) << "node " << i;
        ASSERT_EQ(ToStd(expected[i].second), ToStd(actual[i].second)) << "node " << i;
    }
}

// One random run over keys from `makeKey`; values are the key's text with a serial number.
template <class MapKey, class K>
void RunRandom(std::mt19937& rng, K (*makeKey)(std::mt19937&), int operations, bool unique,
               int checkEvery = 257) {
    SCC_Map<MapKey, SYS_String> map;
    map.SetUnique(unique);
    TableModel<K> model;
    std::unordered_multimap<std::string, std::string> content;
    std::unordered_map<std::string, std::string> latest;  // the value Lookup must find
    for (int op = 0; op < operations; ++op) {
        K key = makeKey(rng);
        const MapKey mapKey = ToMapKey(key);
        const std::string text = ToStd(mapKey);
        const unsigned dice = rng() % 10;
        if (dice < 5) {
            const std::string value = text + "#" + std::to_string(op);
            SYS_String* stored = map.Add(mapKey, SYS_String(value.c_str()));
            ASSERT_EQ(model.Add(key, unique), stored != nullptr) << "add " << text;
            if (stored != nullptr) {
                ASSERT_EQ(value, ToStd(*stored));
                content.insert({text, value});
                latest[text] = value;
            }
        } else if (dice < 8) {
            const bool removed = model.Remove(key);
            ASSERT_EQ(removed, map.Remove(mapKey) != FALSE) << "remove " << text;
            if (removed) content.erase(content.find(text));  // one node per removal
            latest.erase(text);  // what Lookup finds next is checked by the chains below
        } else {
            SYS_String* found = map.Lookup(mapKey);
            ASSERT_EQ(content.count(text) != 0, found != nullptr) << "lookup " << text;
            if (found != nullptr && latest.count(text) != 0) {
                ASSERT_EQ(latest[text], ToStd(*found));
            }
        }
        ASSERT_EQ(static_cast<long>(content.size()), map.GetCount());
        if (op % checkEvery == 0) ExpectSameChains<MapKey>(map, model);
    }
    ExpectSameChains<MapKey>(map, model);
    EXPECT_GE(map.GetTableSize(), 449) << "the run should have grown the table several times";
}

int SmallIntKey(std::mt19937& rng) { return static_cast<int>(rng() % 6001) - 3000; }
// Multiples of 53 and of 53 * 107 crowd single chains, across the sign.
int CrowdingIntKey(std::mt19937& rng) {
    const int factors[] = {53, 53 * 107, 53 * 107 * 223, 1};
    return factors[rng() % 4] * (static_cast<int>(rng() % 201) - 100);
}
std::string ShortTextKey(std::mt19937& rng) {
    std::string key(1 + rng() % 6, 'a');
    for (char& c : key) c = static_cast<char>("abcdeXYZ_\xe9\x80"[rng() % 11]);
    return key;
}

TEST(SCC_MapRandom, IntegerKeysAgreeWithUnorderedMapAndTheTableModel) {
    std::mt19937 rng(12061);
    RunRandom<int, int>(rng, &SmallIntKey, 30000, true);
}

TEST(SCC_MapRandom, CrowdedIntegerChains) {
    std::mt19937 rng(777);
    RunRandom<int, int>(rng, &CrowdingIntKey, 20000, true);
}

TEST(SCC_MapRandom, NonUniqueIntegerKeys) {
    std::mt19937 rng(4242);
    // A key added five times fills a chain by itself, so duplicates drive the table to its
    // last size quickly: fewer operations, and the full structure compared less often.
    RunRandom<int, int>(rng, &SmallIntKey, 8000, false, 1999);
}

TEST(SCC_MapRandom, StringKeysAgreeWithUnorderedMapAndTheTableModel) {
    std::mt19937 rng(90210);
    RunRandom<SYS_String, std::string>(rng, &ShortTextKey, 30000, true);
}

}  // namespace
