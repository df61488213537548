#include <gtest/gtest.h>

#include "SCC_Map.h"
#include "tessar_breaks.h"

namespace {

typedef SCC_Map<int, int> IntMap;
typedef SCC_MapIterator<int, int> IntIterator;

// Clearing or assigning the map drops the node but keeps the map; invalidating the iterator or
// destroying its map detaches it; it can start again on any map.
TEST(SCC_MapIterator, LosingItsNodeOrItsMapIsSafe) {
    IntIterator it;
    {
        IntMap map;
        EXPECT_FALSE(it.GetFirst(map));  // an empty map yields nothing
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
        it.Invalidate();
        EXPECT_EQ(nullptr, it.GetMap());
        EXPECT_EQ(nullptr, it.GetOwner());  // no longer among the map's listeners
        ASSERT_TRUE(it.SetPosition(map, 4));  // attaches again
        EXPECT_EQ(4, *it.GetValue());
        EXPECT_TRUE(it.GetFirst(map));  // again on the map it walks
        EXPECT_FALSE(it.SetPosition(map, 99));  // an absent key: no node, still on the map
        EXPECT_EQ(&map, it.GetMap());
        ASSERT_TRUE(it.GetFirst(map));
        it.OnFocusDeleteGoBack();  // no node before the first: leaves the map
        map.Remove(*it.GetKey());
        EXPECT_EQ(nullptr, it.GetMap());
        EXPECT_FALSE(it.GetFirst(map));  // empty now, but attached when the map goes
    }
    EXPECT_FALSE(it.IsValid());
    EXPECT_EQ(nullptr, it.GetMap());
    ScopedBreakCounter breaks;
    EXPECT_FALSE(it.GetFirst());
    EXPECT_FALSE(it.GetNext());
    EXPECT_EQ(1, breaks.Breaks());
}

}  // namespace
