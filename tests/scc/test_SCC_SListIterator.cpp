#include <gtest/gtest.h>

#include <vector>

#include "ListTestSupport.h"

namespace {

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
    it.Restart(list);
    EXPECT_FALSE(it.GetPrev());  // a singly linked list cannot step back: the iterator drops its node
    EXPECT_TRUE(it.IsEmpty());
    list.RemoveAll();

    DNode d1(1), d2(2), d3(3);
    SCC_DList<DNode> dlist;
    AddTails(dlist, {&d1, &d2, &d3});
    SCC_DListIterator<DNode> back;
    back.RestartFromEnd(dlist);
    EXPECT_EQ((std::vector<int>{3, 2, 1}), Walk(back, [&] { back.GetPrev(); }));
    back.RestartFromEnd(dlist);
    back.Clear();
    EXPECT_TRUE(back.IsEmpty());
    dlist.RemoveAll();
}

}  // namespace
