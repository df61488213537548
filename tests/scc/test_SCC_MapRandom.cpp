// Random adds, removals and look-ups against two oracles: std::unordered_multimap for the
// content, and a model of the chained table (std::deque buckets) for the exact bucket and chain
// order, growth included.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <unordered_map>
#include <utility>
#include <vector>

#include "SCC_Map.h"

namespace {

typedef std::vector<std::pair<long, int>> ChainList;  // (bucket, key) in iteration order

// The chained table as the map's documentation describes it: new nodes at the head of their
// chain, a fifth node in a chain rebuilds the table at the next size.
class TableModel {
public:
    TableModel() : m_buckets(53) {}

    // Answers whether a node was added.
    bool Add(int key, bool unique) {
        std::deque<int>& chain = m_buckets[Bucket(key, Size())];
        if (unique && Find(chain, key) != chain.end()) return false;
        chain.push_front(key);
        if (chain.size() >= 5 && Size() < 467183) Rebuild();
        return true;
    }
    bool Remove(int key) {
        std::deque<int>& chain = m_buckets[Bucket(key, Size())];
        auto at = Find(chain, key);
        if (at == chain.end()) return false;
        chain.erase(at);
        return true;
    }
    ChainList Chains() const {
        ChainList chains;
        for (size_t b = 0; b < m_buckets.size(); ++b)
            for (int key : m_buckets[b]) chains.push_back({static_cast<long>(b), key});
        return chains;
    }
    long Size() const { return static_cast<long>(m_buckets.size()); }

private:
    static size_t Bucket(int key, long size) { return ((key % size) + size) % size; }
    static std::deque<int>::iterator Find(std::deque<int>& chain, int key) {
        return std::find(chain.begin(), chain.end(), key);
    }
    void Rebuild() {
        const long next = SCC_GetNewTableSize(Size());
        std::vector<std::deque<int>> rebuilt(static_cast<size_t>(next));
        for (const std::deque<int>& chain : m_buckets)
            for (int key : chain) rebuilt[Bucket(key, next)].push_back(key);
        m_buckets.swap(rebuilt);
    }

    std::vector<std::deque<int>> m_buckets;
};

void ExpectSameChains(SCC_Map<int, long>& map, const TableModel& model) {
    ASSERT_TRUE(map.CheckInvariants());
    ASSERT_EQ(model.Size(), map.GetTableSize());
    ChainList chains;
    for (SCC_MapIterator<int, long> it(map); !it.IsEmpty(); it.GetNext())
        chains.push_back({it.GetBucket(), *it.GetKey()});
    ASSERT_EQ(model.Chains(), chains);
}

// One random run over keys from `makeKey`; each added value is the operation's serial number.
void RunRandom(std::mt19937& rng, int (*makeKey)(std::mt19937&), int operations, bool unique,
               int checkEvery = 257) {
    SCC_Map<int, long> map;
    map.SetUnique(unique);
    TableModel model;
    std::unordered_multimap<int, int> content;
    std::unordered_map<int, int> latest;  // the value Lookup must find
    for (int op = 0; op < operations; ++op) {
        const int key = makeKey(rng);
        const unsigned dice = rng() % 10;
        if (dice < 5) {
            long* stored = map.Add(key, op);
            ASSERT_EQ(model.Add(key, unique), stored != nullptr) << "add " << key;
            if (stored != nullptr) {
                ASSERT_EQ(op, *stored);
                content.insert({key, op});
                latest[key] = op;
            }
        } else if (dice < 8) {
            const bool removed = model.Remove(key);
            ASSERT_EQ(removed, map.Remove(key) != FALSE) << "remove " << key;
            if (removed) content.erase(content.find(key));  // one node per removal
            latest.erase(key);  // what Lookup finds next is checked by the chains below
        } else {
            long* found = map.Lookup(key);
            ASSERT_EQ(content.count(key) != 0, found != nullptr) << "lookup " << key;
            if (found != nullptr && latest.count(key) != 0) {
                ASSERT_EQ(latest[key], *found);
            }
        }
        ASSERT_EQ(static_cast<long>(content.size()), map.GetCount());
        if (op % checkEvery == 0) ExpectSameChains(map, model);
    }
    ExpectSameChains(map, model);
    EXPECT_GE(map.GetTableSize(), 449) << "the run should have grown the table several times";
}

int SmallIntKey(std::mt19937& rng) { return static_cast<int>(rng() % 6001) - 3000; }
// Multiples of 53 and of 53 * 107 crowd single chains, across the sign.
int CrowdingIntKey(std::mt19937& rng) {
    const int factors[] = {53, 53 * 107, 53 * 107 * 223, 1};
    return factors[rng() % 4] * (static_cast<int>(rng() % 201) - 100);
}

TEST(SCC_MapRandom, CrowdedIntegerChains) {
    std::mt19937 rng(777);
    RunRandom(rng, &CrowdingIntKey, 20000, true);
}

TEST(SCC_MapRandom, NonUniqueIntegerKeys) {
    std::mt19937 rng(4242);
    // A key added five times fills a chain by itself, so duplicates drive the table to its
    // last size quickly: fewer operations, and the full structure compared less often.
    RunRandom(rng, &SmallIntKey, 8000, false, 1999);
}

}  // namespace
