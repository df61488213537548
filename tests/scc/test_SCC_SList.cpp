#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "ListTestSupport.h"
#include "SCC_List.h"

namespace {

// Counts live instances so that ownership mistakes (leak, double delete) show.
struct SNode : SCC_SListNode<SNode> {
    explicit SNode(int v = 0) : value(v) { ++s_live; }
    SNode(const SNode& other) : SCC_SListNode<SNode>(other), value(other.value) { ++s_live; }
    SNode& operator=(const SNode& other) {
        SCC_SListNode<SNode>::operator=(other);
        value = other.value;
        return *this;
    }
    ~SNode() { --s_live; }
    int value;
    static inline int s_live = 0;
};

TEST(SCC_SList, RandomEditsMatchAVectorModel) {
    for (unsigned seed = 1; seed <= 30; ++seed) RunModel<LoggingList<SCC_SList<SNode>, SNode>, SNode>(seed);
}

TEST(SCC_SList, RemoveAllUnlinksFromTheHeadWithCodeTwoEach) {
    SNode a(1), b(2), c(3);
    LoggingList<SCC_SList<SNode>, SNode> list;
    AddTails(list, {&a, &b, &c});
    list.calls.clear();
    list.RemoveAll();
    ASSERT_EQ(3u, list.calls.size());
    const SNode* expected[] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(2, list.calls[i].code);
        EXPECT_EQ(expected[i], list.calls[i].node);
    }
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_FALSE(a.IsLinked() || b.IsLinked() || c.IsLinked());
}

TEST(SCC_SList, RemoveAfterTakesTheFollowerOrTheHead) {
    SNode a(1), b(2), c(3);
    SCC_SList<SNode> list;
    AddTails(list, {&a, &b, &c});
    EXPECT_EQ(&b, list.RemoveAfter(&a));
    EXPECT_EQ(&a, list.RemoveAfter(nullptr));
    EXPECT_EQ(nullptr, list.RemoveAfter(&c));  // nothing follows the last node
    EXPECT_EQ(&c, list.GetHead());
    EXPECT_EQ(1, list.GetCount());
}

TEST(SCC_SList, MisuseIsReportedAndChangesNothing) {
    BreakCounter breaks;
    SNode a(1), b(2), stranger(3);
    LoggingList<SCC_SList<SNode>, SNode> list;
    AddTails(list, {&a, &b});
    list.calls.clear();
    struct Row {
        const char* name;
        SNode* (*run)(SCC_SList<SNode>&, SNode& a, SNode& stranger);
    };
    const Row rows[] = {
        {"add a linked node at the head", [](SCC_SList<SNode>& l, SNode& x, SNode&) { return l.AddHead(&x); }},
        {"add a linked node at the tail", [](SCC_SList<SNode>& l, SNode& x, SNode&) { return l.AddTail(&x); }},
        {"insert a linked node", [](SCC_SList<SNode>& l, SNode& x, SNode&) { return l.InsertAfter(nullptr, &x); }},
        {"add null", [](SCC_SList<SNode>& l, SNode&, SNode&) { return l.AddHead(nullptr); }},
        {"remove a node of no list", [](SCC_SList<SNode>& l, SNode&, SNode& s) { return l.Remove(&s); }},
        {"remove null", [](SCC_SList<SNode>& l, SNode&, SNode&) { return l.Remove(nullptr); }},
        {"insert before a stranger", [](SCC_SList<SNode>& l, SNode&, SNode& s) {
             SNode* fresh = new SNode(9);
             SNode* result = l.InsertBefore(&s, fresh);
             delete fresh;
             return result;
         }},
        {"insert after an unlinked ref", [](SCC_SList<SNode>& l, SNode&, SNode& s) {
             SNode* fresh = new SNode(9);
             SNode* result = l.InsertAfter(&s, fresh);
             delete fresh;
             return result;
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(nullptr, row.run(list, a, stranger));
        EXPECT_EQ(1, breaks.Take());
        EXPECT_TRUE(list.calls.empty());
        EXPECT_EQ((std::vector<SNode*>{&a, &b}), (Contents<SCC_SList<SNode>, SNode>(list)));
        EXPECT_FALSE(stranger.IsLinked());
    }
    list.RemoveAll();
}

TEST(SCC_SList, DestroyingTheListLeavesNodesAliveAndUnlinked) {
    const int before = SNode::s_live;
    SNode* a = new SNode(1);
    SNode* b = new SNode(2);
    {
        SCC_SList<SNode> list;
        list.AddTail(a);
        list.AddTail(b);
    }
    EXPECT_EQ(before + 2, SNode::s_live);
    EXPECT_FALSE(a->IsLinked());
    EXPECT_FALSE(b->IsLinked());
    BreakCounter breaks;
    delete a;
    delete b;
    EXPECT_EQ(0, breaks.Take());  // unlinked nodes go quietly
    EXPECT_EQ(before, SNode::s_live);
}

TEST(SCC_SDList, DestroyingTheListDeletesItsNodes) {
    const int before = SNode::s_live;
    SNode* removed = new SNode(3);
    {
        SCC_SDList<SNode> list;
        list.AddHead(new SNode(1));
        list.AddHead(new SNode(2));
        list.AddHead(removed);
        EXPECT_EQ(removed, list.Remove(removed));  // ownership goes back to the caller
        EXPECT_EQ(before + 3, SNode::s_live);
    }
    EXPECT_EQ(before + 1, SNode::s_live);
    delete removed;
    EXPECT_EQ(before, SNode::s_live);
}

TEST(SCC_SDList, DeleteAllDeletesAfterAnnouncingEachNode) {
    const int before = SNode::s_live;
    LoggingList<SCC_SDList<SNode>, SNode> list;
    for (int i = 0; i < 4; ++i) list.AddTail(new SNode(i));
    list.calls.clear();
    list.DeleteAll();
    EXPECT_EQ(4u, list.calls.size());
    for (const auto& call : list.calls) EXPECT_EQ(2, call.code);
    EXPECT_EQ(before, SNode::s_live);
    EXPECT_TRUE(list.IsEmpty());
}

TEST(SCC_SListNode, CopiesStartUnlinkedAndAssignmentKeepsLinks) {
    SNode a(1), b(2);
    SCC_SList<SNode> list;
    AddTails(list, {&a, &b});
    SNode copy(a);
    EXPECT_FALSE(copy.IsLinked());
    EXPECT_EQ(1, copy.value);
    b = copy;  // the value is copied, the links stay
    EXPECT_TRUE(b.IsLinked());
    EXPECT_EQ(&b, a.GetNext());
    EXPECT_EQ(2, list.GetCount());
    list.RemoveAll();
}

TEST(SCC_SListNode, DestroyingALinkedNodeIsReported) {
    BreakCounter breaks;
    // The list and the node live in raw storage that is never released, because a list whose
    // node died while linked must not be walked again.
    alignas(SCC_SList<SNode>) static unsigned char listStorage[sizeof(SCC_SList<SNode>)];
    alignas(SNode) static unsigned char nodeStorage[sizeof(SNode)];
    auto* list = new (listStorage) SCC_SList<SNode>;
    auto* node = new (nodeStorage) SNode(1);
    list->AddHead(node);
    node->~SNode();
    EXPECT_EQ(1, breaks.Take());
}

TEST(SCC_SList, IsValidDetectsACycle) {
    SNode a(1), b(2), c(3);
    SCC_SList<SNode> list;
    AddTails(list, {&a, &b, &c});
    c.next = &b;  // corrupt on purpose
    EXPECT_FALSE(list.IsValid());
    c.next = &c;  // self-loop inside the chain: an unlinked node reached from the head
    EXPECT_FALSE(list.IsValid());
    c.next = nullptr;
    EXPECT_TRUE(list.IsValid());
    list.RemoveAll();
}

}  // namespace
