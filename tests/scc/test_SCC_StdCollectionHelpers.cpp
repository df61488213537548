// The content index and the stable sort of the standard collection, against std::set and
// std::stable_sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "scc/SCC_StdCollectionIndex.h"
#include "scc/SCC_StdCollectionSort.h"

namespace {

// Random adds and removes over a small universe make long probe runs that wrap around the
// table's end, where a wrong backward shift hides members or keeps removed ones. Handle 0 is in
// the universe but never a member; repeats count once.
TEST(SCC_StdCollectionIndex, FollowsAReferenceSetThroughAddsAndRemoves) {
    for (SYS_Handle stride : {1, 16, 4096}) {  // handles are multiples of it, as addresses are
        SCOPED_TRACE(stride);
        std::mt19937 random(12345);
        SCC_StdCollectionIndex index;
        std::set<SYS_Handle> model;
        for (int step = 0; step < 3000; ++step) {
            const SYS_Handle handle = static_cast<SYS_Handle>(random() % 200) * stride;
            if (random() % 2 == 0) {
                index.Remove(handle);
                model.erase(handle);
            } else {
                index.Add(handle);
                if (handle != 0) model.insert(handle);
            }
            ASSERT_EQ(static_cast<long>(model.size()), index.GetCount()) << "step " << step;
        }
        for (SYS_Handle handle = 0; handle < 200; ++handle)
            ASSERT_EQ(model.count(handle * stride) == 1, index.Contains(handle * stride));
        index.Clear();
        EXPECT_EQ(0, index.GetCount());
        for (SYS_Handle member : model) ASSERT_FALSE(index.Contains(member)) << member;
    }
}

// Orders handles by tens: handles of one tens compare equal, which shows stability.
struct ByTens : SCC_ComparatorBase {
    int Compare(const void* a, const void* b) override {
        const SYS_Handle x = *static_cast<const SYS_Handle*>(a) / 10;
        const SYS_Handle y = *static_cast<const SYS_Handle*>(b) / 10;
        return x < y ? -1 : (y < x ? 1 : 0);
    }
};

// Answers at random: no consistent order at all.
struct Erratic : SCC_ComparatorBase {
    std::mt19937 random{7};
    int Compare(const void*, const void*) override { return static_cast<int>(random() % 3) - 1; }
};

TEST(SCC_StdCollectionSort, SortsStablyAndOnlyPermutesWhateverTheComparatorAnswers) {
    std::mt19937 random(99);
    for (int pattern = 0; pattern < 4; ++pattern) {  // ascending, descending, ten keys, random
        for (long size : {0L, 1L, 2L, 3L, 7L, 8L, 9L, 33L, 1000L}) {
            SCOPED_TRACE("pattern " + std::to_string(pattern) + " of " + std::to_string(size));
            std::vector<SYS_Handle> handles;
            for (long i = 0; i < size; ++i) {
                const SYS_Handle values[] = {i + 1, size - i, 50 + i % 10,
                                             static_cast<SYS_Handle>(random() % 200) + 1};
                handles.push_back(values[pattern]);
            }
            std::vector<SYS_Handle> expected = handles;
            std::stable_sort(expected.begin(), expected.end(),
                             [](SYS_Handle a, SYS_Handle b) { return a / 10 < b / 10; });
            ByTens order;
            EXPECT_EQ(expected == handles, SCC_HandlesInOrder(handles.data(), size, order));
            SCC_StableSortHandles(handles.data(), size, order);
            EXPECT_EQ(expected, handles);
            Erratic erratic;
            SCC_StableSortHandles(handles.data(), size, erratic);
            std::sort(expected.begin(), expected.end());
            std::sort(handles.begin(), handles.end());
            EXPECT_EQ(expected, handles);
        }
    }
}

}  // namespace
