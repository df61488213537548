#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "ListTestSupport.h"
#include "SCC_RefDList.h"

namespace {

typedef std::vector<SCC_DListRefNode*> Nodes;

typedef std::tuple<const SCC_RefDList*, int, const SCC_DListRefNode*> Call;  // list, code, node
std::vector<Call> g_calls;

class LoggedList : public SCC_RefDList {
public:
    void OnListChange(int code, SCC_DListRefNode* node) override { g_calls.push_back({this, code, node}); }
};

// A node with a name and an optional reaction to NotifyNodes; it answers its name otherwise.
class Ref : public SCC_DListRefNode {
public:
    explicit Ref(int name = 0) : id(name) {}
    int OnNotification(int code, void* param) override {
        seen.push_back(code);
        return reaction ? reaction(code, param) : id;
    }
    int id;
    std::vector<int> seen;
    std::function<int(int, void*)> reaction;
};

Nodes InOrder(const SCC_RefDList& list) { return Contents<SCC_RefDList, SCC_DListRefNode>(list); }

// Insertion next to a member or next to itself (the node stays), merging (each node of the
// other list leaves it before it joins at the tail) and removal at the tail.
TEST(SCC_RefDList, InsertMergeAndRemoveTail) {
    LoggedList list, other;
    Ref a(1), b(2), c(3), d(4);
    list += &a;
    EXPECT_EQ(&b, list.InsertAfter(nullptr, &b));
    EXPECT_EQ(&c, list.InsertAfter(&a, &c));
    EXPECT_EQ(&c, list.InsertAfter(&c, &c));
    EXPECT_EQ(&b, list.InsertBefore(&b, &b));
    other.InsertBefore(nullptr, &d);
    g_calls.clear();
    list.Merge(list);
    list.Merge(other);
    EXPECT_EQ((std::vector<Call>{{&other, SCC_NotifyDeleting, &d}, {&list, SCC_NotifyInserted, &d}}), g_calls);
    EXPECT_EQ((Nodes{&b, &a, &c, &d}), InOrder(list));
    EXPECT_EQ(&d, list.RemoveTail());
    EXPECT_EQ(nullptr, d.GetList());
}

TEST(SCC_DListRefNode, ConstructionCopyAndAssignmentRules) {
    LoggedList list, other;
    Ref a(1);
    list.AddTail(&a);
    SCC_DListRefNode joined(&list);  // at the head
    EXPECT_EQ((Nodes{&joined, &a}), InOrder(list));
    SCC_DListRefNode nowhere(nullptr);
    EXPECT_EQ(nullptr, nowhere.GetList());

    Ref copy(a);  // directly before the original
    EXPECT_EQ((Nodes{&joined, &copy, &a}), InOrder(list));

    Ref moved(5);
    other.AddTail(&moved);
    moved = a;  // leaves `other`, joins before `a`
    EXPECT_TRUE(other.IsEmpty());
    EXPECT_EQ((Nodes{&joined, &copy, &moved, &a}), InOrder(list));
    moved = moved;  // to itself: stays
    EXPECT_EQ(&list, moved.GetList());
    static_cast<SCC_DListRefNode&>(moved) = nowhere;  // from a node in no list: leaves
    EXPECT_EQ(nullptr, moved.GetList());
    EXPECT_FALSE(moved.IsLinked());
    EXPECT_TRUE(list.IsValid());

    SCC_RefDList listCopy(list);  // references stay with the original
    EXPECT_TRUE(listCopy.IsEmpty());
    other = list;
    EXPECT_TRUE(other.IsEmpty());
    EXPECT_EQ(3, list.GetCount());

    g_calls.clear();
    a.ChangeList(&other);  // leaves with Deleting, recorded in `other` but not linked there
    EXPECT_EQ((std::vector<Call>{{&list, SCC_NotifyDeleting, &a}}), g_calls);
    EXPECT_EQ(&other, a.GetList());
    EXPECT_FALSE(a.IsLinked());
    EXPECT_TRUE(other.IsEmpty());
    other.AddTail(&a);
    g_calls.clear();
}

TEST(SCC_RefDList, BadArgumentsAreReportedAndRefused) {
    BreakCounter breaks;
    SCC_RefDList list, other;
    Ref a(1), foreign(2), free(3);
    list.AddTail(&a);
    other.AddTail(&foreign);
    const std::pair<const char*, std::function<SCC_DListRefNode*()>> rows[] = {
        {"add null at the head", [&] { return list.AddHead(nullptr); }},
        {"add null at the tail", [&] { return list.AddTail(nullptr); }},
        {"insert null", [&] { return list.InsertBefore(&a, nullptr); }},
        {"insert after null node", [&] { return list.InsertAfter(nullptr, nullptr); }},
        {"remove null", [&] { return list.Remove(nullptr); }},
        {"remove another list's node", [&] { return list.Remove(&foreign); }},
        {"remove a free node", [&] { return list.Remove(&free); }},
        {"insert before another list's node", [&] { return list.InsertBefore(&foreign, &free); }},
        {"insert after a free node", [&] { return list.InsertAfter(&free, &a); }},
        {"remove after another list's node", [&] { return list.RemoveAfter(&foreign); }},
    };
    for (const auto& [name, run] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(nullptr, run());
        EXPECT_EQ(1, breaks.Take());
        EXPECT_EQ((Nodes{&a}), InOrder(list));
        EXPECT_EQ((Nodes{&foreign}), InOrder(other));
        EXPECT_EQ(nullptr, free.GetList());
    }
}

TEST(SCC_RefDList, NotifyNodesCallsEveryNodeAndAnswersTheLastResult) {
    SCC_RefDList list;
    EXPECT_EQ(0, list.NotifyNodes(4, nullptr));
    Ref a(10), b(20), c(30);
    AddTails(list, {&a, &b, &c});
    int param = 0;
    void* seenParam = nullptr;
    b.reaction = [&](int, void* p) {
        seenParam = p;
        return 21;
    };
    EXPECT_EQ(30, list.NotifyNodes(4, &param));
    EXPECT_EQ(&param, seenParam);
    for (Ref* r : {&a, &b, &c}) EXPECT_EQ((std::vector<int>{4}), r->seen);
    SCC_DListRefNode plain;
    list.AddTail(&plain);
    EXPECT_EQ(7, list.NotifyNodes(7, nullptr));  // the base node answers the code
    b.reaction = [&](int code, void*) {  // walks the list again, then leaves it under the outer walk
        if (code == 1) list.NotifyNodes(2, nullptr);
        if (code == 1) list.Remove(&b);
        return 0;
    };
    list.NotifyNodes(1, nullptr);
    EXPECT_EQ((std::vector<int>{4, 7, 1, 2}), a.seen);
    EXPECT_EQ((std::vector<int>{4, 7, 2, 1}), c.seen);
}

// The called node changes the list under the walk: the walk skips a node taken out ahead of
// it, and stops when the node destroys the list, whose nodes are then free.
TEST(SCC_RefDList, NotifyNodesSurvivesChangesMadeByTheCalledNode) {
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroys the list" : "removes its successor");
        auto list = std::make_unique<SCC_RefDList>();
        Ref n0(0), n1(1), n2(2);
        AddTails(*list, {&n0, &n1, &n2});
        n1.reaction = [&](int, void*) {
            if (destroy) list.reset();
            else list->Remove(&n2);
            return 1;
        };
        SCC_RefDList* walked = list.get();
        EXPECT_EQ(1, walked->NotifyNodes(5, nullptr));
        EXPECT_TRUE(n2.seen.empty());
        EXPECT_EQ(destroy ? nullptr : walked, n0.GetList());
        EXPECT_FALSE(n2.IsLinked());
    }
}

// The old list's hook runs while the node leaves it, before it joins the new list; a hook that
// takes the reference node away must not leave the new list linked to a free node.
class ThiefList : public SCC_RefDList {
public:
    void OnListChange(int code, SCC_DListRefNode*) override {
        if (code == SCC_NotifyDeleting && victim != nullptr) victim->GetList()->Remove(victim);
    }
    SCC_DListRefNode* victim = nullptr;
};

TEST(SCC_RefDList, ReferenceTakenAwayByTheOldListsHookFallsBackToTheEnd) {
    for (bool before : {true, false}) {
        SCOPED_TRACE(before ? "insert before" : "insert after");
        ThiefList oldList;
        SCC_RefDList list;
        Ref a(1), ref(2), node(3);
        AddTails(list, {&a, &ref});
        oldList.AddTail(&node);
        oldList.victim = &ref;
        if (before) list.InsertBefore(&ref, &node);
        else list.InsertAfter(&ref, &node);
        oldList.victim = nullptr;
        EXPECT_FALSE(ref.IsLinked());
        EXPECT_EQ(before ? (Nodes{&a, &node}) : (Nodes{&node, &a}), InOrder(list));
        EXPECT_TRUE(list.IsValid());
    }
}

}  // namespace
