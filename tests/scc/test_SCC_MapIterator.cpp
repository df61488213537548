#include <gtest/gtest.h>

#include <map>

#include "SCC_Map.h"
#include "tessar_breaks.h"

namespace {

typedef SCC_Map<int, int> IntMap;
typedef SCC_MapIterator<int, int> IntIterator;

// Removing the node under the iterator: go forward moves to the next chain's head, go back and
// invalidate detach the iterator from the map.
TEST(SCC_MapIterator, RemovingTheCurrentNodeFollowsThePolicy) {
    for (int policy : {0, 1, -1}) {
        SCOPED_TRACE(policy);
        IntMap map;
        for (int key : {1, 54, 2}) map.Add(key, key);  // bucket 1: 54, 1; bucket 2: 2
        IntIterator it(map);
        if (policy == 1) it.OnFocusDeleteGoForward();
        if (policy == -1) it.OnFocusDeleteGoBack();
        ASSERT_TRUE(it.GetNext());
        ASSERT_EQ(1, *it.GetKey());
        EXPECT_TRUE(map.Remove(1));  // the last node of its chain
        map.Remove(54);              // another node: the iterator is not concerned
        EXPECT_EQ(policy == 1, !it.IsEmpty());
        EXPECT_EQ(policy == 1 ? &map : nullptr, it.GetMap());
        EXPECT_EQ(policy == 1 ? 2 : -1, it.IsEmpty() ? -1 : *it.GetKey());
    }
}

// Clearing or assigning the map drops the node but keeps the map; invalidating the iterator or
// destroying its map detaches it; it can start again on any map.
TEST(SCC_MapIterator, LosingItsNodeOrItsMapIsSafe) {
    IntIterator it;
    {
        IntMap map;
        EXPECT_FALSE(it.GetFirst(map));  // an empty map yields nothing
        EXPECT_FALSE(it.IsValid());
        EXPECT_EQ(nullptr, it.GetKey());
        EXPECT_FALSE(it.GetNext());
        EXPECT_EQ(&map, it.GetMap());
        for (int key = 0; key < 10; ++key) map.Add(key, key);
        ASSERT_TRUE(it.GetFirst());
        map.RemoveAll();
        EXPECT_TRUE(it.IsEmpty());
        EXPECT_EQ(&map, it.GetMap());
        map.Add(3, 3);
        ASSERT_TRUE(it.GetFirst());
        EXPECT_EQ(3, *it.GetKey());
        IntMap other;
        other.Add(4, 4);
        map = other;
        EXPECT_TRUE(it.IsEmpty());
        ASSERT_TRUE(it.GetFirst());
        EXPECT_EQ(4, *it.GetKey());
        it.Invalidate();
        EXPECT_TRUE(it.IsEmpty());
        EXPECT_EQ(nullptr, it.GetMap());
        EXPECT_EQ(nullptr, it.GetOwner());  // no longer among the map's listeners
        ASSERT_TRUE(it.GetFirst(map));
    }
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(nullptr, it.GetMap());
    EXPECT_EQ(0, it.GetHandle());
    ScopedBreakCounter breaks;
    EXPECT_FALSE(it.GetFirst());
    EXPECT_FALSE(it.GetNext());
    EXPECT_EQ(1, breaks.Breaks());
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
        EXPECT_EQ(key + 1, *reinterpret_cast<int*>(positioned.GetHandle()));  // the value's address
        EXPECT_EQ(key + 1, *positioned.GetValue());
    }
    EXPECT_FALSE(positioned.SetPosition(map, 2));  // absent: no node, still on the map
    EXPECT_TRUE(positioned.IsEmpty());
    EXPECT_EQ(&map, positioned.GetMap());
    ASSERT_TRUE(positioned.SetPosition(map, 1));
    walker.GetFirst(map);
    while (*walker.GetKey() != 1) walker.GetNext();
    for (int steps = 0; steps < 50 && walker.IsValid(); ++steps) {
        walker.GetNext();
        positioned.GetNext();
        EXPECT_EQ(walker.GetHandle(), positioned.GetHandle());
    }
}

}  // namespace
