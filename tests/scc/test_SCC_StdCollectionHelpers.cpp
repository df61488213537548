// The content index and the ordering helpers of the standard collection, on their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "scc/SCC_StdCollectionIndex.h"
#include "scc/SCC_StdCollectionSort.h"

namespace {

// Random adds and removes over a small universe make long probe runs that wrap around the
// table's end, where a wrong backward shift hides members or keeps removed ones. Zero is never a
// member, and repeats count once.
TEST(SCC_StdCollectionIndex, FollowsAReferenceSetThroughAddsAndRemoves) {
    const struct {
        SYS_Handle universe, stride;  // handles are multiples of the stride, as addresses are
        int steps, removePercent;
    } runs[] = {{64, 1, 400, 30}, {200, 16, 2000, 50}, {300, 4096, 3000, 65}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.stride);
        std::mt19937 random(12345);
        SCC_StdCollectionIndex index;
        std::set<SYS_Handle> model;
        for (int step = 0; step < run.steps; ++step) {
            const SYS_Handle handle =
                static_cast<SYS_Handle>(random() % (run.universe + 1)) * run.stride;
            if (static_cast<int>(random() % 100) < run.removePercent) {
                index.Remove(handle);
                model.erase(handle);
            } else {
                index.Add(handle);
                if (handle != 0) model.insert(handle);
            }
            ASSERT_EQ(static_cast<long>(model.size()), index.GetCount()) << "step " << step;
        }
        for (SYS_Handle handle = 0; handle <= run.universe; ++handle)
            ASSERT_EQ(model.count(handle * run.stride) == 1, index.Contains(handle * run.stride));
        index.Clear();
        EXPECT_EQ(0, index.GetCount());
        for (SYS_Handle member : model) ASSERT_FALSE(index.Contains(member)) << member;
        index.Add(42);  // usable again after Clear
        EXPECT_TRUE(index.Contains(42));
    }
}

// Orders handles by handle / 10, so that handles of one tens share a key and show stability.
class ByTens : public SCC_ComparatorBase {
public:
    int Compare(const void* a, const void* b) override {
        const SYS_Handle x = *static_cast<const SYS_Handle*>(a) / 10;
        const SYS_Handle y = *static_cast<const SYS_Handle*>(b) / 10;
        return x < y ? -1 : (y < x ? 1 : 0);
    }
};

// Answers at random: no consistent order at all.
class Erratic : public SCC_ComparatorBase {
public:
    int Compare(const void*, const void*) override { return static_cast<int>(m_random() % 3) - 1; }

private:
    std::mt19937 m_random{7};
};

// Ascending, descending, ten equal keys repeated, and random handles.
SYS_Handle HandleAt(int pattern, long i, long size, std::mt19937& random) {
    const SYS_Handle values[] = {i + 1, size - i, 50 + i % 10,
                                 static_cast<SYS_Handle>(random() % 200) + 1};
    return values[pattern];
}

TEST(SCC_StdCollectionSort, SortsStablyAsAnInsertionBehindEqualsWould) {
    for (int pattern = 0; pattern < 4; ++pattern) {
        for (long size : {0L, 1L, 2L, 3L, 7L, 8L, 9L, 33L, 1000L}) {
            SCOPED_TRACE("pattern " + std::to_string(pattern) + " of " + std::to_string(size));
            std::mt19937 random(99);
            std::vector<SYS_Handle> handles;
            for (long i = 0; i < size; ++i) handles.push_back(HandleAt(pattern, i, size, random));
            std::vector<SYS_Handle> expected = handles;
            std::stable_sort(expected.begin(), expected.end(),
                             [](SYS_Handle a, SYS_Handle b) { return a / 10 < b / 10; });
            ByTens order;
            EXPECT_EQ(expected == handles, SCC_HandlesInOrder(handles.data(), size, order));
            SCC_StableSortHandles(handles.data(), size, order);
            EXPECT_EQ(expected, handles);
            EXPECT_TRUE(SCC_HandlesInOrder(handles.data(), size, order));
            // Whatever an inconsistent comparator answers, the range is only permuted.
            Erratic erratic;
            SCC_StableSortHandles(handles.data(), size, erratic);
            std::sort(expected.begin(), expected.end());
            std::sort(handles.begin(), handles.end());
            EXPECT_EQ(expected, handles);
        }
    }
}

}  // namespace
