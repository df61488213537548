#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "SCC_Array.h"
#include "TessarPlatform.h"
#include "tessar_breaks.h"

namespace {

SCC_Array<int> Range(int n) {
    SCC_Array<int> array;
    for (int i = 0; i < n; ++i) array.Add(i * 10);
    return array;
}

TEST(SCC_ArrayIterator, WalksForwardAndBackward) {
    ScopedBreakCounter breaks;
    SCC_Array<int> array = Range(4);
    SCC_ArrayIterator<int> it;
    std::vector<int> seen;
    for (int valid = it.GetFirst(&array); valid; valid = it.GetNext()) seen.push_back(*it);
    EXPECT_EQ((std::vector<int>{0, 10, 20, 30}), seen);
    EXPECT_FALSE(it.IsValid());
    EXPECT_TRUE(it.IsEmpty());
    it.RestartFromEnd(array);
    EXPECT_EQ(4, it.GetHandle());
    --it;
    it--;
    EXPECT_EQ(10, it.GetItem());
    EXPECT_EQ(1, it.GetFocus());
    it.GetPrev();
    EXPECT_FALSE(it.GetPrev());
    EXPECT_FALSE(it.HasValidFocus());
    EXPECT_EQ(0, it.GetHandle());
    ++it;
    it++;
    EXPECT_EQ(10, it.GetItem());
    it.SetHandle(3, nullptr);
    EXPECT_EQ(20, it.GetItem());
    SCC_Array<int> other = Range(2);
    it.SetHandle(1, &other);
    EXPECT_EQ(0, *it);
    it.Invalidate();
    EXPECT_EQ(-1, it.GetFocus());  // reported: a negative focus
    EXPECT_EQ(1, breaks.Breaks());
    it.SetFocus(-3);
    EXPECT_EQ(2, breaks.Breaks());
    it.SetFocus(1);
    EXPECT_EQ(10, *it);
    SCC_ArrayIteratorBase empty;
    empty.RestartFromEnd(*new SCC_Array<int>);  // freed below through the iterator's array
    EXPECT_EQ(-1, static_cast<long>(empty.GetHandle()) - 1);
    delete empty.GetArray();
    EXPECT_EQ(nullptr, empty.GetArray());
}

TEST(SCC_ArrayIterator, ClearInvalidatesAndEitherSideMayGoFirst) {
    ScopedBreakCounter breaks;
    SCC_Array<int>* array = new SCC_Array<int>(Range(3));
    SCC_ArrayIterator<int> it(*array, 1);
    array->Clear();
    EXPECT_FALSE(it.IsValid());
    array->Add(5);
    it.Restart(*array, 0);
    EXPECT_TRUE(it.IsValid());
    delete array;
    EXPECT_FALSE(it.IsValid());
    EXPECT_EQ(nullptr, it.GetArray());
    EXPECT_EQ(nullptr, it.GetOwner());
    SCC_Array<int> survivor = Range(2);
    {
        SCC_ArrayIterator<int> shortLived(survivor, 0);
    }
    survivor.Add(1);  // notifies a ring without the destroyed iterator
    EXPECT_EQ(3, survivor.GetSize());
    EXPECT_EQ(nullptr, SCC_ArrayIteratorBase::GetChangeEvent(nullptr));
    EXPECT_EQ(survivor.GetNotifier(), SCC_ArrayIteratorBase::GetChangeEvent(&survivor));
    EXPECT_EQ(-1, SCC_ArrayIteratorBase::DefaultSort(1, 2));
    EXPECT_EQ(0, SCC_ArrayIteratorBase::DefaultSort(2, 2));
    EXPECT_EQ(1, SCC_ArrayIteratorBase::DefaultSort(3, 2));
    EXPECT_EQ(0, breaks.Breaks());
}

// Random edits against a model that follows each iterator's element by identity; iterator k
// has the focus-delete policy k - 1 (back, invalidate, forward).
TEST(SCC_ArrayIterator, RandomEditsMatchAnIdentityModel) {
    std::mt19937 rng(31);
    for (int round = 0; round < 300; ++round) {
        SCC_Array<int> array;
        std::vector<int> model;  // element ids; each element holds its id
        int nextId = 0;
        SCC_ArrayIterator<int> its[3];
        int target[3] = {-1, -1, -1};  // the id each iterator must stand on, -1 for none
        its[0].OnFocusDeleteGoBack();
        its[2].OnFocusDeleteGoForward();
        auto insert = [&](long at, long count) {
            array.Insert(at, count);
            for (long i = 0; i < count; ++i, ++nextId) {
                array[at + i] = nextId;
                model.insert(model.begin() + at + i, nextId);
            }
        };
        insert(0, 10);
        for (int step = 0; step < 80; ++step) {
            for (int k = 0; k < 3; ++k) {
                if (target[k] >= 0 || model.empty()) continue;
                long focus = static_cast<long>(rng() % model.size());
                its[k].Restart(array, focus);
                target[k] = model[focus];
            }
            if (rng() % 2 == 0 || model.size() < 2) {
                insert(static_cast<long>(rng() % (model.size() + 1)), 1 + rng() % 3);
            } else {
                long at = static_cast<long>(rng() % model.size());
                long count = 1 + static_cast<long>(rng() % std::min<size_t>(3, model.size() - at));
                for (int k = 0; k < 3; ++k) {
                    long pos = std::find(model.begin(), model.end(), target[k]) - model.begin();
                    if (pos < at || pos >= at + count) continue;
                    target[k] = -1;
                    if (pos == at && k == 2 && count == 1 && at + 1 < (long)model.size())
                        target[k] = model[at + 1];
                    if (pos == at && k == 0 && at > 0) target[k] = model[at - 1];
                }
                array.Delete(at, count);
                model.erase(model.begin() + at, model.begin() + at + count);
            }
            for (int k = 0; k < 3; ++k) {
                SCOPED_TRACE(testing::Message() << "round " << round << " step " << step << " " << k);
                ASSERT_EQ(target[k] >= 0, its[k].IsValid() != FALSE);
                ASSERT_TRUE(target[k] < 0 || target[k] == its[k].GetItem());
            }
        }
    }
}

// The base iterator reports every operation a container must supply and answers defaults; a
// deletion concerns it only when the full handle is its own.
TEST(SCC_ArrayIterator, BaseOperationsAnswerDefaultsAndDeletionsMatchTheFullHandle) {
    ScopedBreakCounter breaks;
    SCC_Iterator base;
    EXPECT_EQ(0, base.GetHandle());
    EXPECT_EQ(0, base.Clear());
    EXPECT_EQ(0, base.GetNext());
    EXPECT_EQ(0, base.GetPrev());
    EXPECT_EQ(0, base.Invalidate());
    EXPECT_EQ(1, base.IsEmpty());
    EXPECT_EQ(1, base.IsValid());
    EXPECT_EQ(6, breaks.Breaks());
    EXPECT_EQ(0, base.GetFocusDeletePolicy());
    struct Spy : SCC_Iterator {
        int invalidated = 0;
        SYS_Handle GetHandle() override { return 0x100000004LL; }  // a handle above 32 bits
        int Invalidate() override { return ++invalidated; }
    } spy;
    SCC_Notifier notifier;
    AddNode(notifier, spy);
    // The same low 32 bits: not this iterator's handle.
    notifier.Notify(SCC_NotifyDeleting, SCC_Notifier::ValueAsData(4));
    EXPECT_EQ(0, spy.invalidated);
    spy.OnFocusDeleteGoForward();
    spy.OnFocusDeleteInvalidate();
    notifier.Notify(SCC_NotifyDeleting, SCC_Notifier::ValueAsData(0x100000004LL));
    EXPECT_EQ(1, spy.invalidated);
}

}  // namespace
