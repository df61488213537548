#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SCC_Map.h"
#include "SYS_String.h"
#include "TessarPlatform.h"
#include "tessar_breaks.h"

namespace {

// Records the code of each notification, and runs `reaction` on those with code `onCode`
// (quiet while it runs).
class MapListener : public SCC_EventNode<int> {
public:
    explicit MapListener(_SCC_Map& map) { AddNode<int>(map, *this); }
    int OnNotification(int code, int*) override {
        codes.push_back(code);
        if (code != onCode) return 0;
        onCode = 0;
        reaction();
        onCode = code;
        return 0;
    }
    std::vector<int> codes;
    int onCode = 0;
    std::function<void()> reaction;
};

typedef SCC_Map<int, int> IntMap;

TEST(SCC_Map, StartsEmptyUniqueWith53BucketsAndReportsATableBelowOne) {
    ScopedBreakCounter breaks;
    IntMap map;
    EXPECT_EQ(53, map.GetTableSize());
    EXPECT_TRUE(map.IsUnique());
    EXPECT_EQ(nullptr, map.Lookup(0));
    EXPECT_FALSE(map.Remove(0));
    EXPECT_EQ(0, breaks.Breaks());
    const long noBuckets = 0;
    IntMap unsized(noBuckets);
    EXPECT_EQ(1, breaks.Breaks());
    EXPECT_EQ(53, unsized.GetTableSize());
    int* stored = unsized.Add(7, 70);
    ASSERT_NE(nullptr, stored);
    *stored = 71;  // the answer is the map's own value, not a copy
    EXPECT_EQ(71, *unsized.Lookup(7));
}

TEST(SCC_Map, CustomHashesPickABucketAndTheTableStopsGrowingAtTheLastSize) {
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
    // Any hash result picks a bucket in the table; without a function the key hashes by SCC_Hash.
    SCC_Map<int, int> negative([](const int& key, long) { return -3L * key - 1000000007L; });
    for (int key = 0; key < 3000; ++key) ASSERT_NE(nullptr, negative.Add(key, key));
    EXPECT_TRUE(negative.CheckInvariants());
    for (int key = 0; key < 3000; key += 7) ASSERT_EQ(key, *negative.Lookup(key));
    SCC_Map<int, int> nullHash(static_cast<SCC_Map<int, int>::HashFunction>(nullptr));
    nullHash.Add(-1, 1);
    EXPECT_EQ(52, (SCC_MapIterator<int, int>(nullHash).GetNode()->hash));
}

// A key that shares the stored key's text matches at once, an equal text elsewhere by
// comparison; the other keys of a crowded chain do not match.
TEST(SCC_Map, StringKeysMatchByTheirText) {
    SCC_Map<SYS_String, int> map;
    const SYS_String kept("Copper");
    map.Add(kept, -1);
    for (int i = 0; i < 200; ++i) map.Add(SYS_String(std::to_string(i).c_str()), i);
    EXPECT_EQ(-1, *map.Lookup(kept));
    EXPECT_EQ(-1, *map.Lookup(SYS_String("Copper")));
    EXPECT_EQ(nullptr, map.Lookup(SYS_String("Tin")));
}

TEST(SCC_Map, AssignmentCopiesStructureAndStaysIndependent) {
    SCC_Map<int, int> source([](const int& key, long size) { return long(key) % size; });
    source.SetUnique(FALSE);
    for (int key = 0; key < 400; key += 3) source.Add(key, key);
    source.Add(3, -3);
    IntMap target;
    target.Add(1000, 1);
    MapListener targetListener(target);
    MapListener sourceListener(source);
    target = source;
    EXPECT_EQ(source.GetTableSize(), target.GetTableSize());
    EXPECT_EQ(source.GetHashFunction(), target.GetHashFunction());
    EXPECT_FALSE(target.IsUnique());
    SCC_MapIterator<int, int> from(source), to(target);  // the same chains, node for node
    for (; !from.IsEmpty(); from.GetNext(), to.GetNext()) {
        ASSERT_EQ(from.GetBucket(), to.GetBucket());
        ASSERT_EQ(*from.GetKey(), *to.GetKey());
    }
    EXPECT_TRUE(to.IsEmpty());
    EXPECT_EQ(std::vector<int>{SCC_NotifyReset}, targetListener.codes);
    EXPECT_TRUE(sourceListener.codes.empty());
    *target.Lookup(3) = 99;
    EXPECT_EQ(-3, *source.Lookup(3));
    target.Remove(6);
    EXPECT_NE(nullptr, source.Lookup(6));
    const long countBefore = target.GetCount();
    const IntMap& self = target;
    target = self;  // assignment to itself changes and announces nothing
    EXPECT_EQ(countBefore, target.GetCount());
    EXPECT_EQ(2u, targetListener.codes.size());  // the assignment and the removal
}

// Every value shares `token`: its use count tells how many copies the map holds.
TEST(SCC_Map, ListenerRemovingTheAnnouncedNodeIsNotUndone) {
    typedef SCC_Map<int, std::shared_ptr<int>> TokenMap;
    const std::shared_ptr<int> token = std::make_shared<int>(0);
    {
        TokenMap map;
        for (int key = 0; key < 20; ++key) map.Add(key, token);
        EXPECT_EQ(nullptr, map.Add(7, token));  // a refused add keeps no copy
        EXPECT_EQ(20, TokenMap(map).GetCount());  // a copy, gone again with its values
        MapListener listener(map);
        // While 5 is announced as leaving, the listener removes it (and 6) itself.
        listener.onCode = 2;
        listener.reaction = [&map]() {
            map.Remove(5);
            map.Remove(6);
        };
        EXPECT_TRUE(map.Remove(5));
        EXPECT_EQ(18, map.GetCount());
        EXPECT_EQ(nullptr, map.Lookup(5));
        EXPECT_EQ(19, token.use_count());
        EXPECT_TRUE(map.CheckInvariants());
        // While 7 is announced, the listener grows the table: 7 moves and is still removed.
        listener.reaction = [&]() {
            for (int key = 1000; key < 1000 + 53 * 6; key += 53) map.Add(key, token);
        };
        EXPECT_TRUE(map.Remove(7));
        EXPECT_EQ(nullptr, map.Lookup(7));
        EXPECT_TRUE(map.CheckInvariants());
        // A listener that clears the map while an add is announced: the add answers null.
        listener.onCode = 1;
        listener.reaction = [&map]() { map.RemoveAll(); };
        EXPECT_EQ(nullptr, map.Add(50, token));
        EXPECT_EQ(0, map.GetCount());
        EXPECT_EQ(1, token.use_count());
        listener.onCode = 0;
    }
    EXPECT_EQ(1, token.use_count());
}

TEST(SCC_Map, ListenerThrowingDuringAnAnnouncementLeavesTheMapUsable) {
    IntMap map;
    MapListener listener(map);
    listener.onCode = 1;
    listener.reaction = []() { throw 42; };
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
