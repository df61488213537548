#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <limits>
#include <new>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "SCC_Array.h"
#include "TessarPlatform.h"
#include "tessar_breaks.h"

namespace {

class ArrayTest : public ::testing::Test {
protected:
    int Breaks() const { return m_breaks.Breaks(); }
    void ResetBreaks() { m_breaks.Take(); }

private:
    ScopedBreakCounter m_breaks;
};

std::vector<int> Contents(const SCC_Array<int>& array) {
    std::vector<int> out;
    for (long i = 0; i < array.GetSize(); ++i) out.push_back(array[i]);
    return out;
}

SCC_Array<int> Make(std::initializer_list<int> values) {
    SCC_Array<int> array;
    for (int v : values) array.Add(v);
    return array;
}

TEST_F(ArrayTest, SizesBoundsAndGrowthByTriplingUpToStepsOfTenThousand) {
    SCC_Array<int> array;
    EXPECT_EQ(nullptr, array.GetBuffer());
    std::vector<long> capacities;
    for (int i = 0; i < 30000; ++i) {
        array.Add(i);
        long capacity = array.GetBuffer()->GetCapacity();
        if (capacities.empty() || capacities.back() != capacity) capacities.push_back(capacity);
    }
    std::vector<long> expected = {1, 3, 9, 27, 81, 243, 729, 2187, 6561, 16561, 26561, 36561};
    EXPECT_EQ(expected, capacities);
    EXPECT_EQ(30000, array.GetCount());
    EXPECT_EQ(30000, array.GetUpperBound());
    EXPECT_TRUE(array.InBounds(29999));
    EXPECT_FALSE(array.InBounds(30000));
    EXPECT_FALSE(array.InBounds(-1));
    EXPECT_FALSE(array.IsEmpty());
    array.RemoveAll();
    array.Clear();  // without a buffer: nothing to do
    EXPECT_EQ(nullptr, array.GetBuffer());
    EXPECT_TRUE(array.IsValid());
    EXPECT_EQ(0, Breaks());
    // Sizes beyond memory fail to allocate instead of wrapping round, and change nothing.
    SCC_Array<double> doubles;
    doubles.Add(1.0);
    EXPECT_THROW(doubles.SetSize(LONG_MAX / 4), std::bad_alloc);
    EXPECT_THROW(doubles.Insert(1, LONG_MAX), std::bad_alloc);
    EXPECT_THROW(doubles.SetAtGrow(LONG_MAX - 1, 2.0), std::bad_alloc);
    EXPECT_EQ(1, doubles.GetSize());
    EXPECT_EQ(1.0, doubles[0]);
}

// Every mutator, applied to one of two sharers, gives its result there and leaves the other
// unchanged; a call with a broken precondition is reported once and changes nothing.
struct Mutation {
    const char* name;
    void (*apply)(SCC_Array<int>&);
    std::vector<int> result;
    int breaks;
};

const Mutation kMutations[] = {
    {"operator[]", [](SCC_Array<int>& a) { a[0] = 99; }, {99, 3, 4}, 0},
    {"SetAt", [](SCC_Array<int>& a) { a.SetAt(1, 99); }, {5, 99, 4}, 0},
    {"SetAtGrow inside", [](SCC_Array<int>& a) { a.SetAtGrow(2, 99); }, {5, 3, 99}, 0},
    {"SetAtGrow outside", [](SCC_Array<int>& a) { a.SetAtGrow(6, 99); }, {5, 3, 4, 0, 0, 0, 99}, 0},
    {"InsertAt", [](SCC_Array<int>& a) { a.InsertAt(1, 99); }, {5, 99, 3, 4}, 0},
    {"InsertAt self", [](SCC_Array<int>& a) { a.InsertAt(1, a); }, {5, 5, 3, 4, 3, 4}, 0},
    {"Insert blanks", [](SCC_Array<int>& a) { a.Insert(0, 2); }, {0, 0, 5, 3, 4}, 0},
    {"Delete", [](SCC_Array<int>& a) { a.Delete(0, 2); }, {4}, 0},
    {"SetSize smaller", [](SCC_Array<int>& a) { a.SetSize(1); }, {5}, 0},
    {"SetSize larger", [](SCC_Array<int>& a) { a.SetSize(5); }, {5, 3, 4, 0, 0}, 0},
    {"Sort", [](SCC_Array<int>& a) { a.SetComparator(new SCC_Comparator<int>); }, {3, 4, 5}, 0},
    {"Sort range",
     [](SCC_Array<int>& a) {
         a.SetComparator(new SCC_Comparator<int>);
         a.Sort(1, 2, -1);
     },
     {3, 5, 4}, 0},
    {"Add", [](SCC_Array<int>& a) { a.Add(99); }, {5, 3, 4, 99}, 0},
    {"Append self", [](SCC_Array<int>& a) { a.Append(a); }, {5, 3, 4, 5, 3, 4}, 0},
    {"Clear", [](SCC_Array<int>& a) { a.Clear(); }, {}, 0},
    {"self-assignment", [](SCC_Array<int>& a) { a = *&a; }, {5, 3, 4}, 0},
    {"insert at negative index", [](SCC_Array<int>& a) { a.Insert(-1, 1); }, {5, 3, 4}, 1},
    {"insert zero elements", [](SCC_Array<int>& a) { a.Insert(0, 0); }, {5, 3, 4}, 1},
    {"insert past the end", [](SCC_Array<int>& a) { a.Insert(4, 1); }, {5, 3, 4}, 1},
    {"delete past the end", [](SCC_Array<int>& a) { a.Delete(2, 2); }, {5, 3, 4}, 1},
    {"delete zero elements", [](SCC_Array<int>& a) { a.Delete(0, 0); }, {5, 3, 4}, 1},
    {"delete at negative index", [](SCC_Array<int>& a) { a.Delete(-1, 1); }, {5, 3, 4}, 1},
    {"set out of range", [](SCC_Array<int>& a) { a.SetAt(3, 1); }, {5, 3, 4}, 1},
    {"negative size", [](SCC_Array<int>& a) { a.SetSize(-2); }, {5, 3, 4}, 1},
    {"sort without comparator", [](SCC_Array<int>& a) { a.Sort(1); }, {5, 3, 4}, 1},
};

TEST_F(ArrayTest, EachMutatorChangesOnlyItsOwnSharer) {
    for (const Mutation& m : kMutations) {
        SCOPED_TRACE(m.name);
        ResetBreaks();
        SCC_Array<int> original = Make({5, 3, 4});
        SCC_Array<int> copy;
        copy = original;
        m.apply(copy);
        EXPECT_EQ(m.result, Contents(copy));
        EXPECT_EQ((std::vector<int>{5, 3, 4}), Contents(original));
        SCC_Array<int> second(original);
        m.apply(original);  // and the other way round
        EXPECT_EQ(m.result, Contents(original));
        EXPECT_EQ((std::vector<int>{5, 3, 4}), Contents(second));
        EXPECT_EQ(2 * m.breaks, Breaks());
    }
}

// Logs each notification as "code:parameter", a block summary as "7:operation/index/count".
struct NotificationLog : SCC_EventNode<int> {
    int OnNotification(int code, int* data) override {
        const auto* block = reinterpret_cast<const _SCC_Array::Change*>(data);
        log.push_back(code == SCC_NotifyBlock
                          ? "7:" + std::to_string(block->operation) + "/" +
                                std::to_string(block->index) + "/" + std::to_string(block->count)
                          : std::to_string(code) + ":" +
                                std::to_string(SCC_Notifier::DataAsValue(data)));
        return 0;
    }
    std::vector<std::string> log;
};

// Array iterators keep their focus from exactly this sequence.
TEST_F(ArrayTest, ListenersHearEachOperationsCodesParametersAndOrder) {
    const struct {
        const char* name;
        void (*apply)(SCC_Array<int>&);
        std::vector<std::string> expected;
    } rows[] = {
        {"insert two at 1", [](SCC_Array<int>& a) { a.Insert(1, 2); }, {"7:1/1/2", "1:2", "1:3"}},
        {"delete two at 1", [](SCC_Array<int>& a) { a.Delete(1, 2); }, {"2:2", "2:2", "7:2/1/2"}},
        {"SetAt", [](SCC_Array<int>& a) { a.SetAt(2, 9); }, {"3:3"}},
        {"SetAtGrow outside", [](SCC_Array<int>& a) { a.SetAtGrow(4, 9); },
         {"7:1/3/2", "1:4", "1:5", "3:5"}},
        {"SetSize larger", [](SCC_Array<int>& a) { a.SetSize(5); }, {"5:0"}},
        {"sort", [](SCC_Array<int>& a) { a.SetComparator(new SCC_Comparator<int>); }, {"5:0"}},
        {"sort past the end", [](SCC_Array<int>& a) { a.Sort(2, 2, 1); }, {}},
        {"assignment", [](SCC_Array<int>& a) { a = SCC_Array<int>(); }, {"5:0"}},
        {"Clear", [](SCC_Array<int>& a) { a.Clear(); }, {"6:0"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SCC_Array<int> array = Make({1, 2, 3});
        NotificationLog listener;
        array.AddListener(listener);
        row.apply(array);
        EXPECT_EQ(row.expected, listener.log);
    }
    EXPECT_EQ(0, Breaks());  // a range past the end returns before the missing comparator is seen
}

TEST_F(ArrayTest, ListenerThatShrinksTheArrayBeforeADeletionCannotBreakIt) {
    SCC_Array<int> array = Make({1, 2, 3, 4});
    struct Shrinker : SCC_EventNode<int> {
        SCC_Array<int>* array = nullptr;
        int OnNotification(int code, int*) override {
            if (code == 2 && array->GetSize() > 1) array->SetSize(1);
            return 0;
        }
    } shrinker;
    shrinker.array = &array;
    array.AddListener(shrinker);
    array.Delete(1, 3);
    EXPECT_EQ(1, Breaks());
    EXPECT_EQ(std::vector<int>{1}, Contents(array));
    EXPECT_TRUE(array.IsValid());
}

// ---- sorting and ordered search -----------------------------------------------------------------

TEST_F(ArrayTest, SortDirectionPersistsAndRangesOutsideTheArraySortNothing) {
    SCC_Array<int> array = Make({2, 9, 4, 7});
    array.SetComparator(new SCC_Comparator<int>);
    array.Sort(-1);
    array.Add(5);
    EXPECT_EQ((std::vector<int>{9, 7, 5, 4, 2}), Contents(array));
    array.SetAt(0, 1);
    array.Sort(0);  // still descending
    EXPECT_TRUE(array.GetComparator()->IsDescending());
    array.Sort(2, 4, 1);  // runs past the end
    array.Sort(-1, 2, 1);
    array.Sort(5, 1, 1);
    EXPECT_EQ((std::vector<int>{7, 5, 4, 2, 1}), Contents(array));
    EXPECT_EQ(0, Breaks());
}

long g_taggedCompares = 0;

// A key with a tag that the comparator ignores: the tags show the order of equal keys. Its own
// namespace keeps its SCC_Compare (found by argument-dependent lookup) from hiding the others.
namespace tagged {
struct Tagged {
    int key = 0;
    int tag = 0;
    bool operator==(const Tagged& other) const { return key == other.key && tag == other.tag; }
};

// The order of a comparator without a function, and through CompareKeys that of one with.
int SCC_Compare(const Tagged& a, const Tagged& b) {
    ++g_taggedCompares;
    return ::SCC_Compare(a.key, b.key);
}
}  // namespace tagged
using tagged::Tagged;

int CompareKeys(const Tagged& a, const Tagged& b) { return SCC_Compare(a, b); }

// Overriding Swap sends the sort down the virtual path; VirtualFind is the untyped search, by
// the array's comparator or one given.
class SwapCountingArray : public SCC_SortableArray<Tagged> {
public:
    void Swap(long i, long j) override {
        ++swaps;
        SCC_SortableArray<Tagged>::Swap(i, j);
    }
    void VirtualFind(const Tagged& item, long& first, long& last, SCC_ComparatorBase* given) {
        FindItemPosition(&item, first, last, given);
    }
    long swaps = 0;
};

struct SortRun {
    std::vector<Tagged> order;
    long compares;
};

template <class Array>
SortRun SortTagged(Array& array, const std::vector<Tagged>& values, int direction,
                   bool withFunction) {
    for (const Tagged& v : values) array.Add(v);
    array.SetComparator(new SCC_Comparator<Tagged>(withFunction ? CompareKeys : nullptr));
    g_taggedCompares = 0;
    array.Sort(direction);
    SortRun run{{}, g_taggedCompares};
    for (long i = 0; i < array.GetSize(); ++i) run.order.push_back(array[i]);
    return run;
}

TEST_F(ArrayTest, InlineAndVirtualPathsMakeTheSameComparesAndOrder) {
    std::mt19937 rng(17);
    for (int size : {2, 8, 9, 40, 1000, 20000}) {
        for (int range : {1, 3, 1000000}) {  // all equal trips the heapsort guard
            for (int variant = 0; variant < 4; ++variant) {
                int direction = variant % 2 == 0 ? 1 : -1;
                bool withFunction = variant < 2;
                SCOPED_TRACE(testing::Message() << "size " << size << " keys " << range
                                                << (withFunction ? " function" : " SCC_Compare"));
                std::vector<Tagged> values(size);
                for (int i = 0; i < size; ++i)
                    values[i] = {static_cast<int>(rng() % range), i};
                SCC_SortableArray<Tagged> inlined;
                SwapCountingArray virtualSwaps;
                SortRun fast = SortTagged(inlined, values, direction, withFunction);
                SortRun slow = SortTagged(virtualSwaps, values, direction, withFunction);
                ASSERT_TRUE(fast.order == slow.order) << "direction " << direction;
                ASSERT_EQ(slow.compares, fast.compares);
                if (size >= 1000) {
                    // n log2 n is under 15 n; a quadratic sort of equal keys needs about n * n / 2.
                    ASSERT_LT(fast.compares, 6L * 15 * size);
                }
                if (size > 8) {
                    ASSERT_GT(virtualSwaps.swaps, 0);  // partitions always swap
                }
                std::vector<int> keys(size), sortedKeys(size);
                for (int i = 0; i < size; ++i) {
                    keys[i] = fast.order[i].key;
                    sortedKeys[i] = values[i].key;
                }
                std::sort(sortedKeys.begin(), sortedKeys.end());
                if (direction < 0) std::reverse(sortedKeys.begin(), sortedKeys.end());
                ASSERT_EQ(sortedKeys, keys);
                // Each probe finds the run of its key, as std::equal_range does, then joins it.
                SCC_Comparator<Tagged> ascending;
                for (int probe = 0; probe < 20; ++probe) {
                    Tagged item{static_cast<int>(rng() % (range + 2)) - 1, -1};
                    long first = -1, last = -1;
                    g_taggedCompares = 0;
                    SCC_ComparatorBase* given = direction > 0 ? &ascending : nullptr;
                    virtualSwaps.VirtualFind(item, first, last, given);
                    long virtualCompares = g_taggedCompares;
                    auto run = direction > 0
                                   ? std::equal_range(keys.begin(), keys.end(), item.key)
                                   : std::equal_range(keys.begin(), keys.end(), item.key,
                                                      std::greater<int>());
                    ASSERT_EQ(run.first - keys.begin(), first) << "key " << item.key;
                    ASSERT_EQ(run.second - keys.begin(), last) << "key " << item.key;
                    g_taggedCompares = 0;
                    ASSERT_EQ(last, inlined.AddSorted(item)) << "key " << item.key;
                    ASSERT_EQ(virtualCompares, g_taggedCompares) << "key " << item.key;
                    virtualSwaps.Add(item);
                    keys.insert(keys.begin() + last, item.key);
                }
            }
        }
    }
    EXPECT_EQ(0, Breaks());
}

// A comparator that answers at random: nothing may hang or leave the array.
class ChaoticComparator : public SCC_ComparatorBase {
public:
    int Compare(const void*, const void*) override { return static_cast<int>(m_rng() % 3) - 1; }

private:
    std::mt19937 m_rng{41};
};

TEST_F(ArrayTest, InconsistentComparatorNeitherHangsNorLosesElements) {
    for (int size : {0, 1, 2, 9, 100, 3000}) {
        SCC_Array<int> array;
        for (int i = 0; i < size; ++i) array.Add(i);
        array.SetComparator(new ChaoticComparator);
        std::vector<int> seen = Contents(array);
        std::sort(seen.begin(), seen.end());
        for (int i = 0; i < size; ++i) ASSERT_EQ(i, seen[i]);
        for (int item = 0; item < 50; ++item) {
            long index = -1;
            long before = array.GetSize();
            array.Find(item, index);
            ASSERT_GE(index, 0);
            ASSERT_LE(index, before);
            long at = array.AddSorted(item);
            ASSERT_GE(at, 0);
            ASSERT_LE(at, before);
            ASSERT_EQ(before + 1, array.GetSize());
        }
    }
    EXPECT_EQ(0, Breaks());
}

TEST_F(ArrayTest, AddKeepsOrderBehindEqualElementsAndFindUsesTheRun) {
    SCC_SortableArray<int> array(new SCC_Comparator<int>);
    for (int v : {5, 1, 3}) array.Add(v);
    SCC_Array<int> copy(array);  // shares the comparator
    EXPECT_EQ(2, array.Add(3));
    EXPECT_EQ((std::vector<int>{1, 3, 3, 5}), Contents(array));
    long index = -1;
    EXPECT_TRUE(array.Find(3, index));
    EXPECT_EQ(1, index);
    EXPECT_FALSE(array.Find(4, index));
    EXPECT_EQ(3, index);
    SCC_Array<int> plain = Make({7, 2, 7});
    EXPECT_TRUE(plain.Find(7, index));
    EXPECT_EQ(0, index);
    EXPECT_FALSE(plain.Find(4, index));
    EXPECT_EQ(3, index);
    EXPECT_EQ(2, copy.Add(4));  // 1, 3, 5 sorted by the shared comparator
    array[0] = 4;  // 4, 3, 3, 5: each element against both neighbours
    EXPECT_FALSE(array.ItemInValidPlace(0));
    EXPECT_FALSE(array.ItemInValidPlace(1));
    EXPECT_TRUE(array.ItemInValidPlace(2));
    EXPECT_TRUE(array.ItemInValidPlace(3));
    EXPECT_EQ(0, Breaks());
}

TEST_F(ArrayTest, HeapComparatorIsDeletedWithItsLastArrayLocalOneNever) {
    static int deleted = 0;
    struct Tracked : SCC_Comparator<int> {
        ~Tracked() override { ++deleted; }
    };
    deleted = 0;
    {
        SCC_Array<int> a;
        a.SetComparator(new Tracked);
        SCC_Array<int> b(a);
        a.SetComparator(nullptr);
        EXPECT_EQ(0, deleted);
    }
    EXPECT_EQ(1, deleted);
    Tracked local;
    {
        SCC_Array<int> a;
        a.SetComparator(&local);
        SCC_Array<int> b(a);
    }
    EXPECT_EQ(1, deleted);
    SCC_ComparatorBase base;  // compares nothing, and a copy keeps its direction
    EXPECT_EQ(0, base.Compare(&deleted, &deleted));
    base.SetDescending(TRUE);
    EXPECT_TRUE(SCC_ComparatorBase(base).IsDescending());
}

// ---- element types ------------------------------------------------------------------------------

// An element that knows which instances live: use of a dead one or a double destruction fails.
struct Counted {
    static inline std::set<const Counted*> live;
    int value = 0;
    Counted(int v = 0) : value(v) { EXPECT_TRUE(live.insert(this).second); }
    Counted(const Counted& o) : Counted(o.value) {}
    Counted& operator=(const Counted& o) {
        EXPECT_TRUE(live.count(this) == 1 && live.count(&o) == 1) << "assignment of a dead element";
        value = o.value;
        return *this;
    }
    ~Counted() { EXPECT_EQ(1u, live.erase(this)) << "double destruction"; }
};

int CompareCounted(const Counted& a, const Counted& b) { return SCC_Compare(a.value, b.value); }

TEST_F(ArrayTest, ElementsAreConstructedAndDestroyedExactlyOnce) {
    std::mt19937 rng(23);
    {
        SCC_Array<Counted> a;
        SCC_SortableArray<Counted> sorted(new SCC_Comparator<Counted>(CompareCounted));
        for (int step = 0; step < 3000; ++step) {
            int v = static_cast<int>(rng() % 100);
            switch (rng() % 7) {
            case 0: a.InsertAt(a.GetSize() == 0 ? 0 : rng() % a.GetSize(), Counted(v), 2); break;
            case 1: if (a.GetSize() > 2) a.Delete(1, 2); break;
            case 2: a.SetSize(rng() % 20); break;
            case 3: { SCC_Array<Counted> copy(a); copy.Add(Counted(v)); a = copy; break; }
            case 4: sorted.Add(Counted(v)); if (sorted.GetSize() > 50) sorted.RemoveAll(); break;
            case 5: if (a.GetSize() > 0) a.SetAtGrow(a.GetSize() + 3, a[0]); break;
            default: a.Add(Counted(v)); break;
            }
        }
        for (long i = 1; i < sorted.GetSize(); ++i) EXPECT_LE(sorted[i - 1].value, sorted[i].value);
    }
    EXPECT_TRUE(Counted::live.empty()) << Counted::live.size() << " leaked";
}

// -1, 1 and 0 for `low` against `high`, the other way round and itself.
template <class T>
void ExpectOrdered(T low, T high) {
    EXPECT_EQ(-1, SCC_Compare(low, high));
    EXPECT_EQ(1, SCC_Compare(high, low));
    EXPECT_EQ(0, SCC_Compare(low, low));
}

TEST(SCC_Compare, FollowsTheRuleOfEachKeyType) {
    ExpectOrdered(-5, 3);
    ExpectOrdered(-5L, 3L);
    ExpectOrdered(7LL, 8LL);
    ExpectOrdered(1u, 0xFFFFFFFFu);
    ExpectOrdered(1UL, ~0UL);
    ExpectOrdered(0ULL, ~0ULL);
    ExpectOrdered('\xff', 'a');  // char is signed here
    ExpectOrdered(static_cast<unsigned char>('a'), static_cast<unsigned char>(0xff));
    ExpectOrdered(-0.5f, 0.25f);
    ExpectOrdered(-0.5, 0.25);
    int cells[2];
    ExpectOrdered(static_cast<void*>(&cells[0]), static_cast<void*>(&cells[1]));
    ExpectOrdered(static_cast<const void*>(&cells[0]), static_cast<const void*>(&cells[1]));
    const char* none = nullptr;
    ExpectOrdered(none, "");
    ExpectOrdered("ab", "abc");
    ExpectOrdered("z", "\xe9");  // bytes compare unsigned
    // A NaN compares equal to anything.
    EXPECT_EQ(0, SCC_Compare(std::numeric_limits<double>::quiet_NaN(), 1.0));
}

}  // namespace
