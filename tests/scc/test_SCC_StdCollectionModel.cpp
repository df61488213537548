// Random sequences of source edits, bulk changes, suspension, focus, filter and sort changes on a
// master collection and a detail collection, each checked against the source filtered and sorted
// from scratch, and against views that know the collections only from their notifications (which
// also checks the content index at every step); and the collection's stable sort against
// std::stable_sort.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "collection_test_support.h"
#include "scc/SCC_StdCollectionIndex.h"
#include "scc/SCC_StdCollectionSort.h"

namespace {

class ModelRun {
public:
    explicit ModelRun(unsigned seed) : m_random(seed) {
        for (int i = Pick(0, 12); i > 0; --i) m_masters.AddSilently(Key(), Pick(-1, 2));
        for (int i = Pick(0, 20); i > 0; --i)
            m_details.AddSilently(Key(), -1, Any(m_masters.items));
        m_parent.SetNotificationSmart(Pick(0, 1));
        m_child.SetNotificationSmart(Pick(0, 1));
        if (Pick(0, 1)) SetFilter(m_parent, m_parentFilter, 3);
        // Odd seeds sort by key alone: equal keys then stay in whatever order they were placed.
        m_compare = seed % 2 != 0 ? &CompareKeyOnly : &CompareByKey;
        m_parent.SetSort(m_compare, m_descending = Pick(0, 1));
        m_child.SetSort(m_compare, 0);
        m_parent.AllowReload(1);
        m_child.AllowReload(1);
    }

    // Runs `steps` random operations, then ends every suspension; checks after each step and stops
    // at the first failure.
    void Run(int steps) {
        for (int step = 0; step <= steps && !::testing::Test::HasFailure(); ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            if (step < steps) Apply(Pick(0, 99));
            else EndSuspension();
            Check("parent", m_parent, m_parentView, !m_parent.IsSuspended(),
                  Expected(m_masters, &ModelRun::InParent, m_descending));
            Check("child", m_child, m_childView, !m_parent.IsSuspended() && !m_child.IsSuspended(),
                  Expected(m_details, &ModelRun::InChild, 0));
        }
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }
    int Key() { return Pick(-20, 20); }
    SYS_Handle Any(const std::vector<TestItem*>& items) {
        return items.empty() ? 0 : HandleOf(items[Pick(0, static_cast<int>(items.size()) - 1)]);
    }
    SYS_Handle AnyOf(TestCollection& c) {
        return c.GetSize() == 0 ? 0 : c.GetAt(Pick(0, static_cast<int>(c.GetSize()) - 1));
    }

    void Apply(int op) {
        if (op < 12) {
            m_masters.Insert(Key(), Pick(-1, 2));
        } else if (op < 20) {
            DeleteMaster();
        } else if (op < 36) {
            ChangeMaster();
        } else if (op < 44) {
            m_details.Insert(Key(), -1, Any(m_masters.items));
        } else if (op < 49) {
            if (SYS_Handle d = Any(m_details.items)) m_details.Delete(d);
        } else if (op < 56) {
            if (SYS_Handle d = Any(m_details.items)) m_details.Change(d, Key());
        } else if (op < 66) {
            if (SYS_Handle master = AnyOf(m_parent)) m_parent.SetFocus(master, Pick(0, 1));
        } else {
            ApplyRare(op);
        }
    }
    void ApplyRare(int op) {
        switch (op % 12) {
        case 0: SilentChangesThenReset(); break;
        case 1: m_masters.event.Notify(9, nullptr); break;
        case 2: m_masters.event.Notify(10, nullptr); break;
        case 3: m_details.event.Notify(Pick(9, 10), nullptr); break;
        case 4: m_parent.Suspend(Pick(0, 1)); break;
        case 5: m_child.Suspend(Pick(0, 1)); break;
        case 6: if (Pick(0, 5) == 0) ClearMasters(); break;
        case 7: SetFilter(m_parent, m_parentFilter, 3); break;
        case 8: m_parent.SetSort(m_compare, m_descending = Pick(0, 1)); break;
        case 9: m_child.SetFocus(AnyOf(m_child), Pick(-1, 2)); break;
        case 10: SetFilter(m_child, m_childFilter, 2); break;
        default: m_masters.Insert(Key(), Pick(-1, 2)); break;
        }
    }
    void DeleteMaster() {
        const SYS_Handle master = Any(m_masters.items);
        if (master == 0) return;
        m_masters.Delete(master);
        if (Pick(0, 1)) return;  // orphans: no longer shown, as their master cannot be focused
        for (size_t i = m_details.items.size(); i-- > 0;)
            if (m_details.items[i]->master == master)
                m_details.Delete(HandleOf(m_details.items[i]));
    }
    // Changes go to the source event; an item of the master's content that keeps passing may be
    // told through its own change event only, or through both.
    void ChangeMaster() {
        const SYS_Handle master = Any(m_masters.items);
        if (master == 0) return;
        TestItem probe{Key(), -1, 0};
        const bool staysIn = m_parent.GetPositionByHandle(master) >= 0 && InParent(&probe) &&
                             ItemOf(master)->group >= 0;
        const int route = staysIn ? Pick(0, 2) : 0;
        m_masters.Change(master, probe.key, route != 1, route != 0);
    }
    void SilentChangesThenReset() {
        for (int i = Pick(1, 3); i > 0; --i)
            if (SYS_Handle h = Any(m_masters.items)) ItemOf(h)->key = Key();
        m_masters.event.Notify(5, nullptr);
    }
    void ClearMasters() {
        m_masters.Clear();
        while (!m_details.items.empty()) m_details.Delete(HandleOf(m_details.items.back()));
    }
    // A filter by the key's remainder, or none at random; the shared pointer owns it.
    void SetFilter(TestCollection& c, SCC_SharedPointer<KeyFilter>& filter, int divisor) {
        filter = Pick(0, divisor) == 0 ? nullptr : new KeyFilter(divisor, Pick(0, divisor - 1));
        c.SetFilter(filter.Get());
    }
    void EndSuspension() {
        m_masters.event.Notify(10, nullptr);
        m_details.event.Notify(10, nullptr);
        m_parent.Suspend(0);
        m_child.Suspend(0);
    }

    bool InParent(TestItem* item) {
        return !m_parentFilter || m_parentFilter->IsTrue(HandleOf(item));
    }
    bool InChild(TestItem* item) {
        return m_parent.IsInFocus(item->master, nullptr) &&
               (!m_childFilter || m_childFilter->IsTrue(HandleOf(item)));
    }
    // The items of `source` that `accepts` takes, sorted from scratch.
    std::vector<SYS_Handle> Expected(TestSource& source, bool (ModelRun::*accepts)(TestItem*),
                                     int descending) {
        std::vector<SYS_Handle> expected;
        for (TestItem* item : source.items)
            if ((this->*accepts)(item)) expected.push_back(HandleOf(item));
        std::sort(expected.begin(), expected.end(), [&](SYS_Handle a, SYS_Handle b) {
            return descending ? m_compare(b, a) < 0 : m_compare(a, b) < 0;
        });
        return expected;
    }
    // A suspended collection is behind its source until it resumes; the child also follows its
    // parent's focus, which is only complete while the parent runs. The invariants hold the content
    // in the collection's order; the keys show its direction, and among equal keys the order is the
    // collection's own.
    static void Check(const char* name, TestCollection& c, ViewHook& view, bool runs,
                      const std::vector<SYS_Handle>& expected) {
        SCOPED_TRACE(name);
        const std::vector<SYS_Handle> content = c.Content();
        EXPECT_EQ(view.view, content);
        for (SYS_Handle focused : c.FocusList()) EXPECT_LE(0, c.GetPositionByHandle(focused));
        if (!runs) return;
        EXPECT_TRUE(c.CheckInvariants());
        EXPECT_EQ(Keys(expected), Keys(content));
        std::vector<SYS_Handle> sortedExpected = expected, sortedContent = content;
        std::sort(sortedExpected.begin(), sortedExpected.end());
        std::sort(sortedContent.begin(), sortedContent.end());
        EXPECT_EQ(sortedExpected, sortedContent);
    }

    std::mt19937 m_random;
    TestSource m_masters, m_details;
    TestCollection m_parent{m_masters};
    DetailCollection m_child{m_details, m_parent};
    // Heap filters belong to the shared pointers (and the collections holding them).
    SCC_SharedPointer<KeyFilter> m_parentFilter, m_childFilter;
    ViewHook m_parentView{m_parent}, m_childView{m_child};  // know them from announcements
    int m_descending = 0;
    SCC_StdCollection::CompareFunction m_compare = &CompareByKey;
};

TEST(SCC_StdCollectionModel, RandomSequencesMatchTheSourceFilteredAndSorted) {
    for (unsigned seed = 1; seed <= 3000 && !::testing::Test::HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ModelRun(seed).Run(60);
    }
}

// Random adds and removes in tables of 16 slots, with handles that do not depend on the heap: probe
// runs wrap around the table's end, where a wrong backward shift hides members or keeps removed
// ones. Handle 0 is never a member; repeats count once.
TEST(SCC_StdCollectionIndex, FollowsAReferenceSetInSmallTables) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        const SYS_Handle stride = round % 2 == 0 ? 16 : 4096;  // as aligned addresses are
        SCC_StdCollectionIndex index;
        std::set<SYS_Handle> model;
        for (int step = 0; step < 30; ++step) {
            const SYS_Handle handle = static_cast<SYS_Handle>(random() % 12) * stride;
            if (model.size() >= 7 || random() % 2 == 0) {
                index.Remove(handle);
                model.erase(handle);
            } else {
                index.Add(handle);
                if (handle != 0) model.insert(handle);
            }
            ASSERT_EQ(static_cast<long>(model.size()), index.GetCount());
            for (SYS_Handle probe = 0; probe < 12 * stride; probe += stride)
                ASSERT_EQ(model.count(probe) == 1, index.Contains(probe)) << round << ":" << step;
        }
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

TEST(SCC_StdCollectionSort, SortsLikeStdStableSort) {
    std::mt19937 random(99);
    for (long size : {0L, 2L, 9L, 1000L}) {
        SCOPED_TRACE("size " + std::to_string(size));
        std::vector<SYS_Handle> handles;
        for (long i = 0; i < size; ++i) handles.push_back(static_cast<SYS_Handle>(random() % 200));
        std::vector<SYS_Handle> expected = handles;
        std::stable_sort(expected.begin(), expected.end(),
                         [](SYS_Handle a, SYS_Handle b) { return a / 10 < b / 10; });
        ByTens order;
        EXPECT_EQ(expected == handles, SCC_HandlesInOrder(handles.data(), size, order));
        SCC_StableSortHandles(handles.data(), size, order);
        EXPECT_EQ(expected, handles);
    }
}

}  // namespace
