#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "SCC_Map.h"
#include "map_test_support.h"

namespace {

typedef SCC_Map<int, int> IntMap;
typedef SCC_MapIterator<int, int> IntIterator;

TEST(SCC_MapIterator, EmptyMapYieldsNothing) {
    IntMap map;
    IntIterator it(map);
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_FALSE(it.IsValid());
    EXPECT_EQ(0, it.GetHandle());
    EXPECT_EQ(nullptr, it.GetKey());
    EXPECT_FALSE(it.GetNext());
    EXPECT_FALSE(it.GetFirst());
    EXPECT_EQ(&map, it.GetMap());
}

struct PolicyCase {
    const char* name;
    int policy;
    bool movesOn;
};

TEST(SCC_MapIterator, RemovingTheCurrentNodeFollowsThePolicy) {
    const PolicyCase cases[] = {
        {"invalidate", 0, false}, {"go forward", 1, true}, {"go back invalidates", -1, false}};
    for (const PolicyCase& c : cases) {
        SCOPED_TRACE(c.name);
        IntMap map;
        for (int key : {1, 54, 2}) map.Add(key, key);  // bucket 1: 54, 1; bucket 2: 2
        IntIterator it(map);
        if (c.policy == 1) it.OnFocusDeleteGoForward();
        if (c.policy == -1) it.OnFocusDeleteGoBack();
        ASSERT_EQ(54, *it.GetKey());
        ASSERT_TRUE(it.GetNext());
        ASSERT_EQ(1, *it.GetKey());
        EXPECT_TRUE(map.Remove(1));  // the last node of its chain: forward goes to bucket 2
        if (c.movesOn) {
            ASSERT_FALSE(it.IsEmpty());
            EXPECT_EQ(2, *it.GetKey());
            EXPECT_EQ(&map, it.GetMap());
        } else {
            EXPECT_TRUE(it.IsEmpty());
            EXPECT_EQ(nullptr, it.GetMap());
            EXPECT_EQ(nullptr, it.GetOwner());  // detached from the map
        }
        map.Remove(54);  // another node: the iterator is not concerned
        if (c.movesOn) {
            EXPECT_EQ(2, *it.GetKey());
        }
    }
}

TEST(SCC_MapIterator, ClearingOrAssigningTheMapDropsTheNode) {
    IntMap map;
    for (int key = 0; key < 10; ++key) map.Add(key, key);
    IntIterator it(map);
    ASSERT_FALSE(it.IsEmpty());
    map.RemoveAll();
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(&map, it.GetMap());  // still with its map
    map.Add(3, 3);
    ASSERT_TRUE(it.GetFirst());
    EXPECT_EQ(3, *it.GetKey());
    IntMap other;
    other.Add(4, 4);
    map = other;  // the node under the iterator is gone
    EXPECT_TRUE(it.IsEmpty());
    ASSERT_TRUE(it.GetFirst());
    EXPECT_EQ(4, *it.GetKey());
}

TEST(SCC_MapIterator, OutlivingItsMapIsSafeAndReported) {
    IntIterator it;
    {
        MapTest::BreakCounter breaks;
        EXPECT_FALSE(it.GetFirst());  // no map yet
        EXPECT_EQ(1, breaks.Breaks());
    }
    {
        IntMap map;
        map.Add(1, 1);
        ASSERT_TRUE(it.GetFirst(map));
    }
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(nullptr, it.GetMap());
    EXPECT_EQ(0, it.GetHandle());
    MapTest::BreakCounter breaks;
    EXPECT_FALSE(it.GetFirst());
    EXPECT_FALSE(it.GetNext());
    EXPECT_EQ(1, breaks.Breaks());
    // It can move on to another map.
    IntMap next;
    next.Add(9, 9);
    ASSERT_TRUE(it.GetFirst(next));
    EXPECT_EQ(9, *it.GetKey());
}

TEST(SCC_MapIterator, InvalidateLeavesTheMap) {
    IntMap map;
    map.Add(1, 1);
    IntIterator it(map);
    it.Invalidate();
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(nullptr, it.GetMap());
    MapTest::MapListener listener(map);  // the map's only listener now
    map.Remove(1);
    EXPECT_EQ(1u, listener.events.size());
    EXPECT_EQ(nullptr, it.GetOwner());
}

TEST(SCC_MapIterator, WalkGoesOnSafelyAcrossAGrowth) {
    IntMap map;
    for (int key = 0; key < 200; ++key) map.Add(key, key);
    IntIterator it(map);
    std::map<int, int> visits;
    int steps = 0;
    for (; !it.IsEmpty() && steps < 100000; it.GetNext(), ++steps) {
        ++visits[*it.GetKey()];
        if (steps == 50) {
            const long before = map.GetTableSize();
            for (int key = 100000; map.GetTableSize() == before; key += before) map.Add(key, key);
        }
    }
    EXPECT_LT(steps, 100000);
    for (int key = 0; key < 200; key += 37) EXPECT_LE(visits[key], 2) << key;
    EXPECT_TRUE(map.CheckInvariants());
}

}  // namespace

namespace {

// SetPosition stands where a walk from GetFirst would reach the key, and the walk goes on from
// there exactly as it would have.
TEST(SCC_MapIterator, SetPositionStandsWhereTheWalkReachesTheKey) {
    IntMap map;
    for (int key = 0; key < 3000; key += 53) map.Add(key, key + 1);  // one crowded chain first
    for (int key = 1; key < 2000; key += 3) map.Add(key, key + 1);
    IntMap other;
    other.Add(5, 6);
    IntIterator walker(map), positioned(other);
    for (; walker.IsValid(); walker.GetNext()) {
        const int key = *walker.GetKey();
        SCOPED_TRACE(key);
        ASSERT_TRUE(positioned.SetPosition(map, key));
        EXPECT_EQ(&map, positioned.GetMap());
        EXPECT_EQ(walker.GetHandle(), positioned.GetHandle());
        EXPECT_EQ(walker.GetBucket(), positioned.GetBucket());
    }
    ASSERT_TRUE(positioned.SetPosition(map, 1));
    walker.GetFirst(map);
    while (*walker.GetKey() != 1) walker.GetNext();
    for (int steps = 0; steps < 50 && walker.IsValid(); ++steps) {
        walker.GetNext();
        positioned.GetNext();
        EXPECT_EQ(walker.GetHandle(), positioned.GetHandle());
    }
}

TEST(SCC_MapIterator, SetPositionOnAnAbsentKeyLeavesNoNode) {
    IntMap map;
    map.Add(7, 8);
    IntIterator it(map);
    EXPECT_FALSE(it.SetPosition(map, 60));  // same bucket as 7, different key
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(&map, it.GetMap());
    EXPECT_TRUE(it.SetPosition(map, 7));
    EXPECT_EQ(8, *reinterpret_cast<int*>(it.GetHandle()));
    EXPECT_EQ(8, *it.GetValue());
}

}  // namespace
