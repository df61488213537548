// The content index and the ordering helpers of the standard collection, on their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "scc/SCC_StdCollectionIndex.h"
#include "scc/SCC_StdCollectionSort.h"

namespace {

TEST(SCC_StdCollectionIndex, ZeroIsNeverAMemberAndRepeatsCountOnce) {
    SCC_StdCollectionIndex index;
    EXPECT_FALSE(index.Contains(0));
    index.Add(0);
    EXPECT_EQ(0, index.GetCount());
    index.Add(42);
    index.Add(42);
    EXPECT_EQ(1, index.GetCount());
    index.Remove(7);  // no member: nothing changes
    index.Remove(0);
    EXPECT_EQ(1, index.GetCount());
    EXPECT_TRUE(index.Contains(42));
    index.Clear();
    EXPECT_FALSE(index.Contains(42));
    index.Add(42);  // usable again after Clear
    EXPECT_TRUE(index.Contains(42));
}

// Random adds and removes over a small universe make long probe runs that wrap around the
// table's end, where a wrong backward shift hides members or keeps removed ones.
struct IndexRun {
    const char* name;
    SYS_Handle universe;
    SYS_Handle stride;  // handles are multiples of it, as object addresses are
    int steps;
    int removePercent;
};

const IndexRun kIndexRuns[] = {
    {"dense small handles, mostly adds", 64, 1, 400, 30},
    {"aligned addresses, balanced", 200, 16, 2000, 50},
    {"large stride, removal heavy", 300, 4096, 3000, 65},
};

TEST(SCC_StdCollectionIndex, FollowsAReferenceSetThroughAddsAndRemoves) {
    for (const IndexRun& run : kIndexRuns) {
        SCOPED_TRACE(run.name);
        std::mt19937 random(12345);
        std::uniform_int_distribution<SYS_Handle> pick(1, run.universe);
        std::uniform_int_distribution<int> percent(0, 99);
        SCC_StdCollectionIndex index;
        std::set<SYS_Handle> model;
        for (int step = 0; step < run.steps; ++step) {
            const SYS_Handle handle = pick(random) * run.stride;
            if (percent(random) < run.removePercent) {
                index.Remove(handle);
                model.erase(handle);
            } else {
                index.Add(handle);
                model.insert(handle);
            }
            ASSERT_EQ(static_cast<long>(model.size()), index.GetCount()) << "step " << step;
        }
        for (SYS_Handle handle = 1; handle <= run.universe; ++handle)
            ASSERT_EQ(model.count(handle * run.stride) == 1, index.Contains(handle * run.stride));
        for (SYS_Handle member : model) index.Remove(member);
        EXPECT_EQ(0, index.GetCount());
        for (SYS_Handle member : model) ASSERT_FALSE(index.Contains(member)) << member;
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

std::vector<SYS_Handle> Handles(const char* pattern, long size) {
    std::vector<SYS_Handle> handles;
    std::mt19937 random(99);
    for (long i = 0; i < size; ++i) {
        if (std::string(pattern) == "ascending") handles.push_back(i + 1);
        else if (std::string(pattern) == "descending") handles.push_back(size - i);
        else if (std::string(pattern) == "equal keys") handles.push_back(50 + i % 10);
        else handles.push_back(static_cast<SYS_Handle>(random() % 200) + 1);
    }
    return handles;
}

TEST(SCC_StdCollectionSort, SortsStablyAsAnInsertionBehindEqualsWould) {
    for (const char* pattern : {"ascending", "descending", "equal keys", "random"}) {
        for (long size : {0L, 1L, 2L, 3L, 7L, 8L, 9L, 33L, 1000L}) {
            SCOPED_TRACE(std::string(pattern) + " of " + std::to_string(size));
            std::vector<SYS_Handle> handles = Handles(pattern, size);
            std::vector<SYS_Handle> expected = handles;
            std::stable_sort(expected.begin(), expected.end(),
                             [](SYS_Handle a, SYS_Handle b) { return a / 10 < b / 10; });
            ByTens order;
            SCC_StableSortHandles(handles.data(), size, order);
            EXPECT_EQ(expected, handles);
            EXPECT_TRUE(SCC_HandlesInOrder(handles.data(), size, order));
        }
    }
}

TEST(SCC_StdCollectionSort, AnErraticComparatorOnlyPermutesTheRange) {
    for (long size : {2L, 5L, 64L, 257L}) {
        SCOPED_TRACE(size);
        std::vector<SYS_Handle> handles = Handles("random", size);
        std::vector<SYS_Handle> before = handles;
        Erratic order;
        SCC_StableSortHandles(handles.data(), size, order);
        std::sort(before.begin(), before.end());
        std::sort(handles.begin(), handles.end());
        EXPECT_EQ(before, handles);
    }
}

struct InOrderCase {
    std::vector<SYS_Handle> handles;
    bool inOrder;
};

TEST(SCC_StdCollectionSort, InOrderWhenNoHandleComparesGreaterThanTheNext) {
    const InOrderCase cases[] = {
        {{}, true},           {{5}, true},          {{12, 15, 11}, true},  // one key: in order
        {{9, 10}, true},      {{10, 9}, false},     {{1, 20, 30, 35, 45}, true},
        {{1, 20, 30, 29}, false},
    };
    ByTens order;
    for (const InOrderCase& c : cases)
        EXPECT_EQ(c.inOrder, SCC_HandlesInOrder(c.handles.data(), c.handles.size(), order))
            << ::testing::PrintToString(c.handles);
}

}  // namespace
