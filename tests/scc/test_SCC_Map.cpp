#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "SCC_Map.h"
#include "SYS_String.h"
#include "TessarPlatform.h"
#include "map_test_support.h"

namespace {

using MapTest::BucketEvent;
using MapTest::Counted;
using MapTest::MapListener;
using MapTest::RecordingBucket;

typedef SCC_Map<int, int> IntMap;

// Keys in the order of the chains: bucket by bucket, each chain from its head.
template <class Map>
std::vector<std::pair<long, int>> ChainsOf(Map& map) {
    return MapTest::Chains(map);
}

TEST(SCC_Map, StartsEmptyUniqueWith53Buckets) {
    IntMap map;
    EXPECT_EQ(0, map.GetCount());
    EXPECT_EQ(53, map.GetTableSize());
    EXPECT_TRUE(map.IsUnique());
    EXPECT_EQ(nullptr, map.Lookup(0));
    EXPECT_FALSE(map.Remove(0));
    EXPECT_TRUE(map.CheckInvariants());
    IntMap sized(1823);
    EXPECT_EQ(1823, sized.GetTableSize());
    int* stored = map.Add(7, 70);
    ASSERT_NE(nullptr, stored);
    *stored = 71;  // the answer is the map's own value, not a copy
    EXPECT_EQ(71, *map.Lookup(7));
}

TEST(SCC_Map, TableStopsGrowingAtTheLastSize) {
    // Every key in one bucket: each add from the fifth on grows the table, until the last size.
    SCC_Map<int, int> map([](const int&, long) { return 3L; }, 1);
    EXPECT_EQ(1, map.GetTableSize());
    const long sizes[] = {1,    53,    107,   223,    449,    907,    1823,  3643,
                          7297, 14593, 29191, 58391, 116789, 233591, 467183};
    for (int key = 0; key < 200; ++key) {
        map.Add(key, -key);
        const long growths = key < 4 ? 0 : key - 3;
        EXPECT_EQ(sizes[growths < 14 ? growths : 14], map.GetTableSize()) << "key " << key;
    }
    EXPECT_EQ(200, map.GetCount());
    EXPECT_TRUE(map.CheckInvariants());
    for (int key = 0; key < 200; ++key) ASSERT_EQ(-key, *map.Lookup(key));
}

TEST(SCC_Map, AnyHashResultPicksABucketInTheTable) {
    SCC_Map<int, int> map([](const int& key, long) { return -3L * key - 1000000007L; });
    for (int key = 0; key < 3000; ++key) ASSERT_NE(nullptr, map.Add(key, key));
    EXPECT_TRUE(map.CheckInvariants());
    for (int key = 0; key < 3000; key += 7) ASSERT_EQ(key, *map.Lookup(key));
    SCC_Map<int, int> nullHash(static_cast<SCC_Map<int, int>::HashFunction>(nullptr));
    nullHash.Add(-1, 1);
    EXPECT_EQ(52, MapTest::StoredHash(nullHash, -1));
}

TEST(SCC_Map, TableSizeBelowOneIsReportedAndGives53) {
    MapTest::BreakCounter breaks;
    const long noBuckets = 0;
    IntMap map(noBuckets);
    EXPECT_EQ(1, breaks.Breaks());
    EXPECT_EQ(53, map.GetTableSize());
    map.Add(1, 1);
    EXPECT_TRUE(map.CheckInvariants());
}

TEST(SCC_Map, NotifiesAddsRemovalsAndClearing) {
    IntMap map;
    MapListener listener(map);
    int* value = map.Add(3, 30);
    ASSERT_EQ(1u, listener.events.size());
    EXPECT_EQ(1, listener.events[0].code);
    EXPECT_EQ(value, listener.events[0].data);
    EXPECT_EQ(1, listener.events[0].countThen);  // announced after it is counted
    EXPECT_EQ(nullptr, map.Add(3, 31));          // refused: nothing announced
    EXPECT_EQ(1u, listener.events.size());
    map.Add(4, 40);
    listener.events.clear();
    EXPECT_TRUE(map.Remove(3));
    ASSERT_EQ(1u, listener.events.size());
    EXPECT_EQ(2, listener.events[0].code);
    EXPECT_EQ(value, listener.events[0].data);
    EXPECT_EQ(2, listener.events[0].countThen);   // announced while still in place
    EXPECT_FALSE(map.Remove(3));
    EXPECT_EQ(1u, listener.events.size());
    map.RemoveAll();
    ASSERT_EQ(2u, listener.events.size());
    EXPECT_EQ(6, listener.events[1].code);
    EXPECT_EQ(1, listener.events[1].countThen);  // announced before anything goes
    EXPECT_EQ(0, map.GetCount());
    EXPECT_EQ(53, map.GetTableSize());
}

TEST(SCC_Map, DestructionNotifiesClearedThenLetsListenersGo) {
    MapListener* survivor;
    {
        IntMap map;
        survivor = new MapListener(map);
        map.Add(1, 1);
        survivor->events.clear();
    }
    ASSERT_EQ(1u, survivor->events.size());
    EXPECT_EQ(6, survivor->events[0].code);
    EXPECT_EQ(nullptr, survivor->GetOwner());
    delete survivor;
}

TEST(SCC_Map, BucketsHearEveryLinkUnlinkAndRebuild) {
    typedef SCC_Map<int, int, RecordingBucket<int, int>> Map;
    std::vector<BucketEvent> log;
    RecordingBucket<int, int>::s_log = &log;
    {
        Map map;
        map.Add(10, 1);
        ASSERT_EQ(1u, log.size());
        EXPECT_EQ(1, log[0].code);
        EXPECT_EQ(10, log[0].key);
        EXPECT_TRUE(log[0].linked);  // told after linking
        log.clear();
        map.Remove(10);
        ASSERT_EQ(1u, log.size());
        EXPECT_EQ(2, log[0].code);
        EXPECT_TRUE(log[0].linked);  // told before unlinking
        log.clear();

        for (int key : {0, 53, 106, 159}) map.Add(key, key);
        log.clear();
        map.Add(212, 0);  // rebuild to 107
        // Each old bucket: 6, then 2 per node from the head; each node joins its new bucket (1);
        // then every new bucket hears 5. The add itself was announced to old bucket 0 first.
        std::vector<std::pair<int, int>> order;  // (code, key or -1)
        for (const BucketEvent& e : log) order.push_back({e.code, e.hasNode ? e.key : -1});
        std::vector<std::pair<int, int>> expected = {{1, 212}, {6, -1}};
        for (int key : {212, 159, 106, 53, 0}) {
            expected.push_back({2, key});
            expected.push_back({1, key});
        }
        for (int i = 1; i < 53; ++i) expected.push_back({6, -1});
        for (int i = 0; i < 107; ++i) expected.push_back({5, -1});
        EXPECT_EQ(expected, order);
        log.clear();
        map.RemoveAll();
        int sixes = 0, twos = 0;
        for (const BucketEvent& e : log) {
            sixes += e.code == 6;
            twos += e.code == 2;
        }
        EXPECT_EQ(107, sixes);
        EXPECT_EQ(5, twos);
    }
    RecordingBucket<int, int>::s_log = nullptr;
}

TEST(SCC_Map, ValuesAreCopiedOnceAndDestroyedOnce) {
    Counted::Reset();
    {
        SCC_Map<int, Counted> map;
        for (int key = 0; key < 500; ++key) map.Add(key, Counted(key));
        EXPECT_EQ(500, Counted::s_live);
        EXPECT_EQ(nullptr, map.Add(7, Counted(-7)));  // a refused add keeps no copy
        EXPECT_EQ(500, Counted::s_live);
        for (int key = 0; key < 500; key += 3) map.Remove(key);
        EXPECT_EQ(333, Counted::s_live);
        SCC_Map<int, Counted> copy(map);
        EXPECT_EQ(666, Counted::s_live);
        copy.RemoveAll();
        EXPECT_EQ(333, Counted::s_live);
        copy = map;
        copy = map;
        EXPECT_EQ(666, Counted::s_live);
        SCC_Map<int, Counted> other;
        other.Add(1, Counted(1));
        other = SCC_Map<int, Counted>();  // assignment from an empty map frees the old nodes
        EXPECT_EQ(666, Counted::s_live);
    }
    EXPECT_EQ(0, Counted::s_live);
    EXPECT_EQ(0, Counted::s_errors);
}

TEST(SCC_Map, AssignmentCopiesStructureAndStaysIndependent) {
    SCC_Map<int, int> source([](const int& key, long size) { return static_cast<long>(key) % size; });
    source.SetUnique(FALSE);
    for (int key = 0; key < 400; key += 3) source.Add(key, key);
    source.Add(3, -3);
    IntMap target;
    target.Add(1000, 1);
    MapListener targetListener(target);
    MapListener sourceListener(source);
    target = source;
    EXPECT_EQ(source.GetCount(), target.GetCount());
    EXPECT_EQ(source.GetTableSize(), target.GetTableSize());
    EXPECT_EQ(source.GetHashFunction(), target.GetHashFunction());
    EXPECT_FALSE(target.IsUnique());
    EXPECT_EQ(ChainsOf(source), ChainsOf(target));
    EXPECT_EQ(nullptr, target.Lookup(1000));
    ASSERT_EQ(1u, targetListener.events.size());
    EXPECT_EQ(5, targetListener.events[0].code);
    EXPECT_TRUE(sourceListener.events.empty());
    EXPECT_TRUE(target.CheckInvariants());
    // Independent nodes.
    *target.Lookup(3) = 99;
    EXPECT_EQ(-3, *source.Lookup(3));
    target.Remove(6);
    EXPECT_NE(nullptr, source.Lookup(6));
    const long countBefore = target.GetCount();
    const IntMap& self = target;
    target = self;  // assignment to itself changes and announces nothing
    EXPECT_EQ(countBefore, target.GetCount());
    EXPECT_EQ(*source.Lookup(9), *target.Lookup(9));
    EXPECT_EQ(2u, targetListener.events.size());  // 5 for the assignment, 2 for the removal
}

TEST(SCC_Map, NoCaseKeysCompareIgnoringCase) {
    SCC_Map<SYS_StrNoCase, int> noCase;
    noCase.Add(SYS_StrNoCase("Copper"), 1);
    EXPECT_EQ(nullptr, noCase.Add(SYS_StrNoCase("COPPER"), 2));
    ASSERT_NE(nullptr, noCase.Lookup(SYS_StrNoCase("copper")));
    EXPECT_EQ(1, *noCase.Lookup(SYS_StrNoCase("copper")));
}

TEST(SCC_Map, ListenerRemovingTheAnnouncedNodeIsNotUndone) {
    Counted::Reset();
    {
        SCC_Map<int, Counted> map;
        for (int key = 0; key < 20; ++key) map.Add(key, Counted(key));
        MapTest::ReactingListener listener(map);
        // While 5 is announced as leaving, the listener removes it (and 6) itself.
        listener.onCode = 2;
        listener.reaction = [&map](void*) {
            map.Remove(5);
            map.Remove(6);
        };
        EXPECT_TRUE(map.Remove(5));
        EXPECT_EQ(18, map.GetCount());
        EXPECT_EQ(nullptr, map.Lookup(5));
        EXPECT_TRUE(map.CheckInvariants());
        // While 7 is announced, the listener grows the table: 7 moves and is still removed.
        listener.reaction = [&map](void*) {
            for (int key = 1000; key < 1000 + 53 * 6; key += 53) map.Add(key, Counted(key));
        };
        listener.onCode = 2;
        EXPECT_TRUE(map.Remove(7));
        EXPECT_EQ(nullptr, map.Lookup(7));
        EXPECT_TRUE(map.CheckInvariants());
        // A listener that clears the map while an add is announced: the add answers null.
        listener.onCode = 1;
        listener.reaction = [&map](void*) { map.RemoveAll(); };
        EXPECT_EQ(nullptr, map.Add(50, Counted(50)));
        EXPECT_EQ(0, map.GetCount());
        listener.onCode = 0;
    }
    EXPECT_EQ(0, Counted::s_live);
    EXPECT_EQ(0, Counted::s_errors);
}

TEST(SCC_Map, ListenerThrowingDuringAnAnnouncementLeavesTheMapUsable) {
    IntMap map;
    MapTest::ReactingListener listener(map);
    listener.onCode = 1;
    listener.reaction = [](void*) { throw 42; };
    EXPECT_THROW(map.Add(1, 10), int);
    EXPECT_EQ(10, *map.Lookup(1));  // the add took place before it was announced
    listener.onCode = 2;
    EXPECT_THROW(map.Remove(1), int);
    EXPECT_EQ(10, *map.Lookup(1));  // the removal is abandoned with its announcement
    listener.onCode = 0;
    // Later deletions must not touch the abandoned announcements.
    EXPECT_TRUE(map.Remove(1));
    map.Add(2, 2);
    map.RemoveAll();
    EXPECT_TRUE(map.CheckInvariants());
}

}  // namespace
