// Random adds, removals and look-ups against a model of the chained table that gives the value
// each look-up finds and the exact bucket and chain order, growth included.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <utility>
#include <vector>

#include "SCC_Map.h"

namespace {

typedef std::pair<int, long> Entry;                   // key and value
typedef std::vector<std::pair<long, int>> ChainList;  // (bucket, key) in iteration order

// The chained table as the map's documentation describes it: new nodes at the head of their
// chain, a fifth node in a chain rebuilds the table at the next size.
class TableModel {
public:
    TableModel() : m_buckets(53) {}

    void Add(int key, long value) {
        std::deque<Entry>& chain = m_buckets[Bucket(key, Size())];
        chain.push_front({key, value});
        ++m_count;
        if (chain.size() >= 5 && Size() < 467183) Rebuild();
    }
    bool Remove(int key) {
        std::deque<Entry>& chain = m_buckets[Bucket(key, Size())];
        for (auto at = chain.begin(); at != chain.end(); ++at) {
            if (at->first != key) continue;
            chain.erase(at);
            --m_count;
            return true;
        }
        return false;
    }
    // The first node of the key in its chain: the one a look-up finds.
    const Entry* Find(int key) const {
        for (const Entry& e : m_buckets[Bucket(key, Size())])
            if (e.first == key) return &e;
        return nullptr;
    }
    ChainList Chains() const {
        ChainList chains;
        for (size_t b = 0; b < m_buckets.size(); ++b)
            for (const Entry& e : m_buckets[b]) chains.push_back({static_cast<long>(b), e.first});
        return chains;
    }
    long Size() const { return static_cast<long>(m_buckets.size()); }
    long Count() const { return m_count; }

private:
    static size_t Bucket(int key, long size) { return ((key % size) + size) % size; }
    void Rebuild() {
        const long next = SCC_GetNewTableSize(Size());
        std::vector<std::deque<Entry>> rebuilt(static_cast<size_t>(next));
        for (const std::deque<Entry>& chain : m_buckets)
            for (const Entry& e : chain) rebuilt[Bucket(e.first, next)].push_back(e);
        m_buckets.swap(rebuilt);
    }

    std::vector<std::deque<Entry>> m_buckets;
    long m_count = 0;
};

void ExpectSameChains(SCC_Map<int, long>& map, const TableModel& model) {
    ASSERT_TRUE(map.CheckInvariants());
    ASSERT_EQ(model.Size(), map.GetTableSize());
    ChainList chains;
    for (SCC_MapIterator<int, long> it(map); !it.IsEmpty(); it.GetNext())
        chains.push_back({it.GetBucket(), *it.GetKey()});
    ASSERT_EQ(model.Chains(), chains);
}

// A key added five times fills a chain by itself, so duplicates drive the table to its last
// size quickly; the full structure is compared every 1999 operations.
TEST(SCC_MapRandom, NonUniqueIntegerKeys) {
    SCC_Map<int, long> map;
    map.SetUnique(FALSE);
    TableModel model;
    std::mt19937 rng(4242);
    for (int op = 0; op < 8000; ++op) {
        const int key = static_cast<int>(rng() % 6001) - 3000;
        const unsigned dice = rng() % 10;
        if (dice < 5) {
            model.Add(key, op);
            ASSERT_NE(nullptr, map.Add(key, op)) << "add " << key;
        } else if (dice < 8) {
            ASSERT_EQ(model.Remove(key), map.Remove(key) != FALSE) << "remove " << key;
        } else {
            const Entry* expected = model.Find(key);
            const long* found = map.Lookup(key);
            ASSERT_EQ(expected != nullptr, found != nullptr) << "lookup " << key;
            ASSERT_TRUE(found == nullptr || *found == expected->second) << "lookup " << key;
        }
        ASSERT_EQ(model.Count(), map.GetCount());
        if (op % 1999 == 0) ExpectSameChains(map, model);
    }
    ExpectSameChains(map, model);
    EXPECT_GE(map.GetTableSize(), 449) << "the run should have grown the table several times";
}

}  // namespace
