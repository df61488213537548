#include <gtest/gtest.h>

#include <vector>

#include "ListTestSupport.h"
#include "SCC_Notifier.h"

namespace {

// A list that forwards its hook to a notifier, the way an owner keeps iterators informed.
template <class Base, class N>
class AnnouncingList : public Base {
public:
    void OnListChange(int code, N* node) override { notifier.Notify(code, node); }
    SCC_Notifier notifier;
};

// Values from the iterator's node on, as `step` moves it, until it runs empty.
template <class It, class Step>
std::vector<int> Walk(It& it, Step step) {
    std::vector<int> values;
    while (!it.IsEmpty() && values.size() < 100) {
        values.push_back(it.GetNode()->value);
        step();
    }
    return values;
}

TEST(SCC_ListIterator, WalksFromEitherEndAndEndsEmpty) {
    SNode a(1), b(2), c(3);
    SCC_SList<SNode> list;
    SCC_SListIterator<SNode> it;
    it.Restart(list);
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(0, it.GetHandle());
    AddTails(list, {&a, &b, &c});
    it.Restart(list);
    EXPECT_EQ(reinterpret_cast<SYS_Handle>(&a), it.GetHandle());
    EXPECT_EQ((std::vector<int>{1, 2, 3}), Walk(it, [&] { it.GetNext(); }));
    EXPECT_FALSE(it.IsValid());
    EXPECT_FALSE(it.GetNext());  // stays empty
    list.RemoveAll();

    DNode d1(1), d2(2), d3(3);
    SCC_DList<DNode> dlist;
    AddTails(dlist, {&d1, &d2, &d3});
    SCC_DListIterator<DNode> back;
    back.RestartFromEnd(dlist);
    EXPECT_EQ((std::vector<int>{3, 2, 1}), Walk(back, [&] { back.GetPrev(); }));
    dlist.RemoveAll();
}

struct PolicyRow {
    const char* name;
    int policy;         // 0 invalidate, 1 forward, -1 back
    int removedValue;   // node removed under the iterator
    int expectedValue;  // where the iterator stands afterwards, 0 for empty
    bool detached;      // invalidation also leaves the notifier; running off an end does not
};

template <class List, class It, class N, size_t Count>
void CheckPolicies(const PolicyRow (&rows)[Count]) {
    for (const PolicyRow& row : rows) {
        SCOPED_TRACE(row.name);
        N nodes[3] = {N(1), N(2), N(3)};
        List list;
        for (N& n : nodes) list.AddTail(&n);
        It it(&nodes[row.removedValue - 1]);
        if (row.policy == 1) it.OnFocusDeleteGoForward();
        if (row.policy == -1) it.OnFocusDeleteGoBack();
        AddNode(list.notifier, it);
        list.Remove(&nodes[row.removedValue - 1]);
        if (row.expectedValue == 0) {
            EXPECT_TRUE(it.IsEmpty());
            EXPECT_EQ(row.detached, !list.notifier.HasListeners());
        } else {
            ASSERT_FALSE(it.IsEmpty());
            EXPECT_EQ(row.expectedValue, it.GetNode()->value);
        }
        list.RemoveAll();
        EXPECT_TRUE(it.IsEmpty());  // the removals that follow eventually reach it
    }
}

TEST(SCC_ListIterator, RemovalUnderTheIteratorFollowsItsPolicy) {
    const PolicyRow singly[] = {
        {"invalidate", 0, 2, 0, true},
        {"forward to the next node", 1, 2, 3, false},
        {"forward past the tail", 1, 3, 0, false},
        {"back is impossible in a singly linked list", -1, 2, 0, true},
    };
    CheckPolicies<AnnouncingList<SCC_SList<SNode>, SNode>, SCC_SListIterator<SNode>, SNode>(singly);
    const PolicyRow doubly[] = {
        {"invalidate in a doubly linked list", 0, 2, 0, true},
        {"forward", 1, 2, 3, false},
        {"forward past the doubly linked tail", 1, 3, 0, false},
        {"back", -1, 2, 1, false},
        {"back past the head", -1, 1, 0, false},
    };
    CheckPolicies<AnnouncingList<SCC_DList<DNode>, DNode>, SCC_DListIterator<DNode>, DNode>(doubly);
}

TEST(SCC_DListIterator, RemovingAnotherNodeLeavesTheIteratorAlone) {
    DNode a(1), b(2), c(3);
    AnnouncingList<SCC_DList<DNode>, DNode> list;
    AddTails(list, {&a, &b, &c});
    SCC_DListIterator<DNode> it(&b);
    AddNode(list.notifier, it);
    list.Remove(&a);
    list.Remove(&c);
    EXPECT_EQ(&b, it.GetNode());
    EXPECT_TRUE(list.notifier.HasListeners());
    list.notifier.Notify(SCC_NotifyCleared, nullptr);
    EXPECT_TRUE(it.IsEmpty());
    list.RemoveAll();
}

}  // namespace
