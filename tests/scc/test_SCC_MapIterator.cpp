#include <gtest/gtest.h>

#include "SCC_Map.h"
#include "tessar_breaks.h"

namespace {

typedef SCC_Map<int, int> IntMap;
typedef SCC_MapIterator<int, int> IntIterator;

// Removing the node under a go-forward iterator moves it along the chain, then to the next
// bucket's head, and past the last node leaves it on no node; invalidating leaves the map.
TEST(SCC_MapIterator, RemovingTheCurrentNodeFollowsThePolicy) {
    const struct {
        const char* name;
        int standOn, removed, after;  // after: the key then under the iterator, -1 for none
        bool goForward, onMap;
    } rows[] = {
        {"forward along the chain", 54, 54, 1, true, true},
        {"forward to the next bucket", 1, 1, 2, true, true},
        {"forward past the last node", 2, 2, -1, true, true},
        {"invalidate", 54, 54, -1, false, false},
        {"another node removed", 54, 1, 54, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        IntMap map;
        for (int key : {1, 54, 2}) map.Add(key, key);  // bucket 1: 54, 1; bucket 2: 2
        IntIterator it;
        ASSERT_TRUE(it.SetPosition(map, row.standOn));
        if (row.goForward) it.OnFocusDeleteGoForward();
        EXPECT_TRUE(map.Remove(row.removed));
        EXPECT_EQ(row.after, it.IsEmpty() ? -1 : *it.GetKey());
        EXPECT_EQ(row.onMap ? &map : nullptr, it.GetMap());
    }
}

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
