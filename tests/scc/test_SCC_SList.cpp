#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <utility>
#include <vector>

#include "ListTestSupport.h"

namespace {

typedef SCC_SList<SNode> SList;

TEST(SCC_SList, RandomEditsMatchAVectorModel) {
    for (unsigned seed = 1; seed <= 30; ++seed) RunModel<LoggingList<SList, SNode>, SNode>(seed);
}

TEST(SCC_SList, MisuseIsReportedAndChangesNothing) {
    BreakCounter breaks;
    SNode a(1), b(2), stranger(3), fresh(9);
    LoggingList<SList, SNode> list;
    AddTails(list, {&a, &b});
    list.calls.clear();
    const std::pair<const char*, std::function<SNode*()>> rows[] = {
        {"add a linked node at the head", [&] { return list.AddHead(&a); }},
        {"add a linked node at the tail", [&] { return list.AddTail(&a); }},
        {"insert a linked node", [&] { return list.InsertAfter(nullptr, &a); }},
        {"add null", [&] { return list.AddHead(nullptr); }},
        {"remove a node of no list", [&] { return list.Remove(&stranger); }},
        {"remove null", [&] { return list.Remove(nullptr); }},
        {"insert before a stranger", [&] { return list.InsertBefore(&stranger, &fresh); }},
        {"insert after an unlinked ref", [&] { return list.InsertAfter(&stranger, &fresh); }},
    };
    for (const auto& [name, run] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(nullptr, run());
        EXPECT_EQ(1, breaks.Take());
        EXPECT_TRUE(list.calls.empty());
        EXPECT_EQ((std::vector<SNode*>{&a, &b}), (Contents<SList, SNode>(list)));
        EXPECT_FALSE(stranger.IsLinked() || fresh.IsLinked());
    }
    list.RemoveAll();
}

// A plain list leaves its nodes alive and unlinked when it goes; an owning list deletes the
// nodes it still holds, and DeleteAll announces each node before deleting it.
TEST(SCC_SDList, DeletesTheNodesItStillHolds) {
    const int before = SNode::s_live;
    SNode kept(1);
    SNode* removed = new SNode(3);
    {
        SList list;
        list.AddTail(&kept);
        SCC_SDList<SNode> owner;
        owner.AddHead(new SNode(2));
        owner.AddHead(removed);
        EXPECT_EQ(removed, owner.Remove(removed));  // ownership goes back to the caller
    }
    EXPECT_FALSE(kept.IsLinked());
    EXPECT_EQ(before + 2, SNode::s_live);
    delete removed;
    LoggingList<SCC_SDList<SNode>, SNode> list;
    for (int i = 0; i < 4; ++i) list.AddTail(new SNode(i));
    list.calls.clear();
    list.DeleteAll();
    EXPECT_EQ(4u, list.calls.size());
    for (const auto& call : list.calls) EXPECT_EQ(SCC_NotifyDeleting, call.code);
    EXPECT_EQ(before + 1, SNode::s_live);
    EXPECT_TRUE(list.IsEmpty());
}

TEST(SCC_SListNode, CopiesStartUnlinkedAndAssignmentKeepsLinks) {
    SNode a(1), b(2);
    SList list;
    AddTails(list, {&a, &b});
    SNode copy(a);
    EXPECT_FALSE(copy.IsLinked());
    b = copy;  // the value is copied, the links stay
    EXPECT_EQ(1, b.value);
    EXPECT_EQ(&b, a.GetNext());
    EXPECT_EQ(2, list.GetCount());
    list.RemoveAll();
}

TEST(SCC_SListNode, DestroyingALinkedNodeIsReported) {
    BreakCounter breaks;
    // The list and the node live in raw storage that is never released, because a list whose
    // node died while linked must not be walked again.
    alignas(SList) static unsigned char listStorage[sizeof(SList)];
    alignas(SNode) static unsigned char nodeStorage[sizeof(SNode)];
    auto* list = new (listStorage) SList;
    auto* node = new (nodeStorage) SNode(1);
    list->AddHead(node);
    node->~SNode();
    EXPECT_EQ(1, breaks.Take());
}

TEST(SCC_SList, IsValidDetectsACycle) {
    SNode a(1), b(2), c(3);
    SList list;
    AddTails(list, {&a, &b, &c});
    c.next = &b;  // corrupt on purpose
    EXPECT_FALSE(list.IsValid());
    c.next = &c;  // self-loop inside the chain: an unlinked node reached from the head
    EXPECT_FALSE(list.IsValid());
    c.next = nullptr;
    list.RemoveAll();
}

}  // namespace
