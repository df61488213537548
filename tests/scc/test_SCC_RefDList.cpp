#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
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

// Random operations over three lists and a pool of nodes, compared after every step with a
// model of vectors: order, membership, recorded list, validity, and the exact hook calls.
TEST(SCC_RefDList, RandomOperationsMatchAModel) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
        LoggedList lists[3];
        Nodes model[3];
        std::vector<std::unique_ptr<Ref>> pool;
        for (int i = 0; i < 8; ++i) pool.push_back(std::make_unique<Ref>(i));
        auto where = [&](SCC_DListRefNode* n) -> int {
            for (int l = 0; l < 3; ++l)
                if (std::find(model[l].begin(), model[l].end(), n) != model[l].end()) return l;
            return -1;
        };
        std::vector<Call> expected;
        auto leave = [&](SCC_DListRefNode* n) {
            const int l = where(n);
            if (l < 0) return;
            expected.push_back({&lists[l], SCC_NotifyDeleting, n});
            model[l].erase(std::find(model[l].begin(), model[l].end(), n));
        };
        for (int step = 0; step < 300; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            g_calls.clear();
            expected.clear();
            const int l = static_cast<int>(pick(3));
            LoggedList& list = lists[l];
            Nodes& m = model[l];
            SCC_DListRefNode* node = pool[pick(pool.size())].get();
            SCC_DListRefNode* ref = m.empty() || pick(5) == 0 ? nullptr : m[pick(m.size())];
            const int op = static_cast<int>(pick(10));
            auto insert = [&] {
                if (op == 0) return list.AddHead(node);
                if (op == 1) return list += node;
                return op == 2 ? list.InsertBefore(ref, node) : list.InsertAfter(ref, node);
            };
            if ((op == 2 || op == 3) && ref == node) {  // relative to itself: it stays in place
                EXPECT_EQ(node, insert());
            } else if (op < 4) {
                leave(node);
                auto at = m.end();  // AddTail, InsertBefore(null)
                if (op == 0 || (op == 3 && !ref)) at = m.begin();
                if (op == 2 && ref) at = std::find(m.begin(), m.end(), ref);
                if (op == 3 && ref) at = std::find(m.begin(), m.end(), ref) + 1;
                m.insert(at, node);
                EXPECT_EQ(node, insert());
                expected.push_back({&list, SCC_NotifyInserted, node});
            } else if (op == 4 && where(node) == l) {
                leave(node);
                EXPECT_EQ(node, list.Remove(node));
            } else if ((op == 5 || op == 6) && !m.empty()) {
                SCC_DListRefNode* end = op == 5 ? m.front() : m.back();
                leave(end);
                EXPECT_EQ(end, op == 5 ? list.RemoveHead() : list.RemoveTail());
            } else if (op == 7) {
                const int from = static_cast<int>(pick(3));
                for (SCC_DListRefNode* n : from == l ? Nodes() : Nodes(model[from])) {
                    leave(n);
                    m.push_back(n);
                    expected.push_back({&list, SCC_NotifyInserted, n});
                }
                list.Merge(lists[from]);
            } else if (op == 8) {
                // A copy joins the original's list right before it; destroying it leaves again.
                const int lo = where(node);
                Ref copy(static_cast<Ref&>(*node));
                EXPECT_EQ(lo < 0 ? nullptr : &lists[lo], copy.GetList());
                if (lo >= 0) {
                    EXPECT_EQ(node, copy.GetNext());
                    expected.push_back({&lists[lo], SCC_NotifyInserted, &copy});
                    expected.push_back({&lists[lo], SCC_NotifyDeleting, &copy});
                }
            } else if (op == 9) {
                // Destroying a node takes it out; a fresh one replaces it in the pool.
                leave(node);
                for (auto& p : pool)
                    if (p.get() == node) p = std::make_unique<Ref>(static_cast<Ref*>(node)->id);
            }
            EXPECT_EQ(expected, g_calls);
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(model[k], InOrder(lists[k]));
                EXPECT_TRUE(lists[k].IsValid());
                EXPECT_EQ(static_cast<long>(model[k].size()), lists[k].GetCount());
            }
            for (auto& p : pool) {
                const int k = where(p.get());
                EXPECT_EQ(k < 0 ? nullptr : &lists[k], p->GetList());
                EXPECT_EQ(k >= 0, static_cast<bool>(p->IsLinked()));
            }
        }
        pool.clear();  // nodes die first: each leaves its list
        for (auto& list : lists) EXPECT_TRUE(list.IsEmpty());
    }
    g_calls.clear();
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

// The called node changes the list under the walk: the walk goes on from where the node was,
// answering the last result, and stops when the node destroys the list.
TEST(SCC_RefDList, NotifyNodesSurvivesChangesMadeByTheCalledNode) {
    typedef std::unique_ptr<SCC_RefDList> ListPtr;
    struct Row {
        const char* name;
        int actor;
        std::function<void(ListPtr&, Ref** nodes, std::unique_ptr<Ref>& owned)> act;
        std::vector<int> called;  // ids called, in order
        std::vector<int> after;   // ids left in the list
    };
    const Row rows[] = {
        {"removes itself", 1, [](ListPtr& l, Ref** n, auto&) { l->Remove(n[1]); }, {0, 1, 2, 3}, {0, 2, 3}},
        {"removes its successor", 1, [](ListPtr& l, Ref** n, auto&) { l->Remove(n[2]); }, {0, 1, 3}, {0, 1, 3}},
        {"destroys itself", 2, [](ListPtr&, Ref**, auto& owned) { owned.reset(); }, {0, 1, 2, 3}, {0, 1, 3}},
        {"moves itself to the head", 2, [](ListPtr& l, Ref** n, auto&) { l->AddHead(n[2]); },
         {0, 1, 2, 3}, {2, 0, 1, 3}},
        {"moves the tail behind itself", 0, [](ListPtr& l, Ref** n, auto&) { l->InsertAfter(n[0], n[3]); },
         {0, 3, 1, 2}, {0, 3, 1, 2}},
        {"removes everything", 1, [](ListPtr& l, Ref**, auto&) { l->RemoveAll(); }, {0, 1}, {}},
        {"destroys the list", 1, [](ListPtr& l, Ref**, auto&) { l.reset(); }, {0, 1}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ListPtr list = std::make_unique<SCC_RefDList>();
        Ref n0(0), n1(1), n3(3);
        std::unique_ptr<Ref> owned = std::make_unique<Ref>(2);
        Ref* nodes[4] = {&n0, &n1, owned.get(), &n3};
        std::vector<int> called;
        for (Ref* n : nodes) {
            list->AddTail(n);
            n->reaction = [&called, n](int, void*) {
                called.push_back(n->id);
                return n->id;
            };
        }
        nodes[row.actor]->reaction = [&, n = nodes[row.actor]](int, void*) {
            const int id = n->id;
            called.push_back(id);
            row.act(list, nodes, owned);  // may destroy this node, and this function with it
            return id;
        };
        SCC_RefDList* walked = list.get();
        EXPECT_EQ(row.called.back(), walked->NotifyNodes(1, nullptr));
        EXPECT_EQ(row.called, called);
        std::vector<int> after;
        for (SCC_DListRefNode* n : list ? InOrder(*list) : Nodes()) after.push_back(static_cast<Ref*>(n)->id);
        EXPECT_EQ(row.after, after);
        EXPECT_TRUE(!list || list->IsValid());
        EXPECT_FALSE(!list && (n0.GetList() != nullptr || n3.IsLinked()));  // a dead list lets its nodes go
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
