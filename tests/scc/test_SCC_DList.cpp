#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ListTestSupport.h"

namespace {

typedef SCC_DList<DNode> DList;

std::vector<DNode*> Backwards(const DList& list) {
    std::vector<DNode*> nodes;
    for (DNode* node = list.GetTail(); node != nullptr && nodes.size() < 1000; node = node->GetPrev())
        nodes.insert(nodes.begin(), node);
    return nodes;
}

TEST(SCC_DList, RandomEditsMatchAVectorModel) {
    for (unsigned seed = 1; seed <= 30; ++seed) RunModel<LoggingList<DList, DNode>, DNode>(seed);
}

TEST(SCC_DList, BackLinksFollowEveryEdit) {
    DNode n[5];
    DList list;
    list.AddTail(&n[2]);
    list.AddHead(&n[0]);
    list.InsertAfter(&n[0], &n[1]);
    list.InsertBefore(nullptr, &n[4]);
    list.InsertBefore(&n[4], &n[3]);
    EXPECT_EQ((std::vector<DNode*>{&n[0], &n[1], &n[2], &n[3], &n[4]}), Backwards(list));
    list.Remove(&n[2]);
    EXPECT_EQ((std::vector<DNode*>{&n[0], &n[1], &n[3], &n[4]}), Backwards(list));
    EXPECT_EQ(nullptr, n[2].GetNext());
    EXPECT_EQ(nullptr, n[2].GetPrev());
    list.RemoveAll();
}

TEST(SCC_DList, ForeignOrFreeNodesAreRefused) {
    BreakCounter breaks;
    DNode a(1), b(2), c(3), free(4), fresh(7);
    DList list, other;
    AddTails(list, {&a, &b});
    other.AddTail(&c);
    // c is the only node of `other`: its null links mark it as the head and tail of a list,
    // which this list can tell is not its own.
    const std::pair<const char*, DNode*> rows[] = {  // what was tried, what it answered
        {"insert before the head of another list", list.InsertBefore(&c, &free)},
        {"insert after the tail of another list", list.InsertAfter(&c, &free)},
        {"remove the node of another list", list.Remove(&c)},
        {"insert before a free node", list.InsertBefore(&free, &fresh)},
        {"add a node linked elsewhere", list.AddTail(&c)},
        {"remove a free node", list.Remove(&free)},
        {"remove after a free node", list.RemoveAfter(&free)},
    };
    for (const auto& [name, result] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(nullptr, result);
    }
    EXPECT_EQ(7, breaks.Take());
    EXPECT_EQ((std::vector<DNode*>{&a, &b}), Backwards(list));
    EXPECT_EQ((std::vector<DNode*>{&c}), Backwards(other));
    EXPECT_FALSE(free.IsLinked());
    list.RemoveAll();
    other.RemoveAll();
}

// A list whose hook takes the announced node out itself: the removal then answers null and the
// list stays consistent.
class SelfRemovingList : public DList {
public:
    void OnListChange(int code, DNode* node) override {
        if (code == SCC_NotifyDeleting && node->value < 0) {
            node->value = -node->value;
            Remove(node);
        }
    }
};

TEST(SCC_DList, HookThatRemovesTheNodeItselfIsTolerated) {
    DNode a(-1), b(2);
    SelfRemovingList list;
    AddTails(list, {&a, &b});
    EXPECT_EQ(nullptr, list.Remove(&a));  // the inner Remove did the work
    EXPECT_FALSE(a.IsLinked());
    EXPECT_EQ((std::vector<DNode*>{&b}), Backwards(list));
    EXPECT_TRUE(list.IsValid());
    list.RemoveAll();
}

TEST(SCC_DList, IsValidSeesBrokenBackLinks) {
    DNode a(1), b(2), c(3);
    DList list;
    AddTails(list, {&a, &b, &c});
    c.prev = &a;
    EXPECT_FALSE(list.IsValid());
    c.prev = &b;
    a.prev = &c;
    EXPECT_FALSE(list.IsValid());
    a.prev = nullptr;
    list.RemoveAll();
}

}  // namespace
