#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ListTestSupport.h"
#include "SCC_RefDList.h"

namespace {

struct Call {
    const SCC_RefDList* list;
    int code;
    const SCC_DListRefNode* node;
    bool operator==(const Call& o) const { return list == o.list && code == o.code && node == o.node; }
};
std::vector<Call> g_calls;

class LoggedList : public SCC_RefDList {
public:
    void OnListChange(int code, SCC_DListRefNode* node) override { g_calls.push_back({this, code, node}); }
};

std::vector<int>* g_order = nullptr;  // ids of the called nodes, when set

// A node with a name and an optional reaction to NotifyNodes.
class Ref : public SCC_DListRefNode {
public:
    explicit Ref(int name = 0) : id(name) {}
    int OnNotification(int code, void* param) override {
        seen.push_back(code);
        if (g_order != nullptr) g_order->push_back(id);
        if (reaction) return reaction(code, param);
        return id;
    }
    int id;
    std::vector<int> seen;
    std::function<int(int, void*)> reaction;
};

std::vector<SCC_DListRefNode*> Nodes(const SCC_RefDList& list) {
    std::vector<SCC_DListRefNode*> nodes;
    for (SCC_DListRefNode* n = list.GetHead(); n != nullptr && nodes.size() < 1000; n = n->GetNext())
        nodes.push_back(n);
    return nodes;
}

// Random operations over three lists and a pool of nodes, compared after every step with a
// model of vectors: order, membership, recorded list, validity, and the exact hook calls.
TEST(SCC_RefDList, RandomOperationsMatchAModel) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
        LoggedList lists[3];
        std::vector<SCC_DListRefNode*> model[3];
        std::vector<std::unique_ptr<Ref>> pool;
        for (int i = 0; i < 8; ++i) pool.push_back(std::make_unique<Ref>(i));
        auto where = [&](SCC_DListRefNode* n) -> int {
            for (int l = 0; l < 3; ++l)
                if (std::find(model[l].begin(), model[l].end(), n) != model[l].end()) return l;
            return -1;
        };
        auto leave = [&](SCC_DListRefNode* n, std::vector<Call>& expected) {
            const int l = where(n);
            if (l < 0) return;
            expected.push_back({&lists[l], 2, n});
            model[l].erase(std::find(model[l].begin(), model[l].end(), n));
        };
        for (int step = 0; step < 300; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            g_calls.clear();
            std::vector<Call> expected;
            const int l = static_cast<int>(pick(3));
            LoggedList& list = lists[l];
            std::vector<SCC_DListRefNode*>& m = model[l];
            SCC_DListRefNode* node = pool[pick(pool.size())].get();
            SCC_DListRefNode* ref = m.empty() || pick(5) == 0 ? nullptr : m[pick(m.size())];
            const int op = static_cast<int>(pick(10));
            if (op < 4 && ref == node) continue;  // leaving in place is covered elsewhere
            if (op < 4) {
                leave(node, expected);
                auto at = m.end();
                if (op == 0) { EXPECT_EQ(node, list.AddHead(node)); at = m.begin(); }
                if (op == 1) { EXPECT_EQ(node, list += node); }
                if (op == 2) {
                    EXPECT_EQ(node, list.InsertBefore(ref, node));
                    if (ref) at = std::find(m.begin(), m.end(), ref);
                }
                if (op == 3) {
                    EXPECT_EQ(node, list.InsertAfter(ref, node));
                    at = ref ? std::find(m.begin(), m.end(), ref) + 1 : m.begin();
                }
                m.insert(at, node);
                expected.push_back({&list, 1, node});
            } else if (op == 4 && where(node) == l) {
                leave(node, expected);
                EXPECT_EQ(node, list.Remove(node));
            } else if (op == 5 && !m.empty()) {
                SCC_DListRefNode* first = m.front();
                leave(first, expected);
                EXPECT_EQ(first, list.RemoveHead());
            } else if (op == 6 && !m.empty()) {
                SCC_DListRefNode* last = m.back();
                leave(last, expected);
                EXPECT_EQ(last, list.RemoveTail());
            } else if (op == 7) {
                const int from = static_cast<int>(pick(3));
                if (from != l) {
                    for (SCC_DListRefNode* n : std::vector<SCC_DListRefNode*>(model[from])) {
                        leave(n, expected);
                        m.push_back(n);
                        expected.push_back({&list, 1, n});
                    }
                }
                list.Merge(lists[from]);
            } else if (op == 8) {
                // A copy joins the original's list right before it; destroying it leaves again.
                const int lo = where(node);
                {
                    Ref copy(static_cast<Ref&>(*node));
                    if (lo >= 0) {
                        EXPECT_EQ(node, copy.GetNext());
                        EXPECT_EQ(&lists[lo], copy.GetList());
                        expected.push_back({&lists[lo], 1, &copy});
                        expected.push_back({&lists[lo], 2, &copy});
                    } else {
                        EXPECT_EQ(nullptr, copy.GetList());
                    }
                }
            } else if (op == 9) {
                // Destroying a node takes it out; a fresh one replaces it in the pool.
                leave(node, expected);
                for (auto& p : pool)
                    if (p.get() == node) p = std::make_unique<Ref>(static_cast<Ref*>(node)->id);
            }
            EXPECT_TRUE(expected == g_calls) << expected.size() << " calls expected, "
                                             << g_calls.size() << " made";
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(model[k], Nodes(lists[k]));
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

TEST(SCC_RefDList, DestroyingTheListFreesItsNodesAfterCodeSix) {
    Ref a(1), b(2);
    {
        LoggedList list;
        AddTails(list, {&a, &b});
        g_calls.clear();
    }
    // A list's own hook is out of reach while it is destroyed, so nothing is logged; the nodes
    // must simply be free and usable again.
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(nullptr, a.GetList());
    EXPECT_FALSE(a.IsLinked() || b.IsLinked());
    SCC_RefDList again;
    again.AddTail(&a);
    EXPECT_EQ(&again, a.GetList());
}

TEST(SCC_DListRefNode, ConstructionCopyAndAssignmentRules) {
    SCC_RefDList list, other;
    Ref a(1);
    list.AddTail(&a);
    SCC_DListRefNode joined(&list);  // at the head
    EXPECT_EQ((std::vector<SCC_DListRefNode*>{&joined, &a}), Nodes(list));
    SCC_DListRefNode nowhere(nullptr);
    EXPECT_EQ(nullptr, nowhere.GetList());

    Ref copy(a);  // directly before the original
    EXPECT_EQ((std::vector<SCC_DListRefNode*>{&joined, &copy, &a}), Nodes(list));

    Ref moved(5);
    other.AddTail(&moved);
    moved = a;  // leaves `other`, joins before `a`
    EXPECT_TRUE(other.IsEmpty());
    EXPECT_EQ((std::vector<SCC_DListRefNode*>{&joined, &copy, &moved, &a}), Nodes(list));
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
}

TEST(SCC_DListRefNode, ChangeListRecordsWithoutLinking) {
    LoggedList list, target;
    Ref a(1);
    list.AddTail(&a);
    g_calls.clear();
    a.ChangeList(&target);
    EXPECT_EQ((std::vector<Call>{{&list, 2, &a}}), g_calls);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(target.IsEmpty());
    EXPECT_EQ(&target, a.GetList());
    EXPECT_FALSE(a.IsLinked());
    target.AddTail(&a);  // the list operations link it
    EXPECT_EQ((std::vector<SCC_DListRefNode*>{&a}), Nodes(target));
    g_calls.clear();
}

TEST(SCC_RefDList, InsertingANodeRelativeToItselfLeavesItInPlace) {
    SCC_RefDList list;
    Ref a(1), b(2);
    AddTails(list, {&a, &b});
    EXPECT_EQ(&a, list.InsertBefore(&a, &a));
    EXPECT_EQ(&b, list.InsertAfter(&b, &b));
    EXPECT_EQ((std::vector<SCC_DListRefNode*>{&a, &b}), Nodes(list));
}

TEST(SCC_RefDList, BadArgumentsAreReportedAndRefused) {
    BreakCounter breaks;
    SCC_RefDList list, other;
    Ref a(1), foreign(2), free(3);
    list.AddTail(&a);
    other.AddTail(&foreign);
    struct Row {
        const char* name;
        std::function<SCC_DListRefNode*()> run;
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(nullptr, row.run());
        EXPECT_EQ(1, breaks.Take());
        EXPECT_EQ((std::vector<SCC_DListRefNode*>{&a}), Nodes(list));
        EXPECT_EQ((std::vector<SCC_DListRefNode*>{&foreign}), Nodes(other));
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
}

// Reactions of the called node that change the list under the walk.
TEST(SCC_RefDList, NotifyNodesSurvivesChangesMadeByTheCalledNode) {
    struct Row {
        const char* name;
        std::function<void(SCC_RefDList&, Ref* nodes[4], std::unique_ptr<Ref>& owned)> install;
        std::vector<int> called;  // ids called, in order
        std::vector<int> after;   // ids left in the list
    };
    const Row rows[] = {
        {"node removes itself",
         [](SCC_RefDList& l, Ref* n[4], std::unique_ptr<Ref>&) {
             n[1]->reaction = [&l, n](int, void*) { l.Remove(n[1]); return 0; };
         },
         {0, 1, 2, 3}, {0, 2, 3}},
        {"node removes its successor",
         [](SCC_RefDList& l, Ref* n[4], std::unique_ptr<Ref>&) {
             n[1]->reaction = [&l, n](int, void*) { l.Remove(n[2]); return 0; };
         },
         {0, 1, 3}, {0, 1, 3}},
        {"node destroys itself",
         [](SCC_RefDList&, Ref* n[4], std::unique_ptr<Ref>& owned) {
             n[2]->reaction = [&owned](int, void*) { owned.reset(); return 0; };
         },
         {0, 1, 2, 3}, {0, 1, 3}},
        {"node moves itself to the head",
         [](SCC_RefDList& l, Ref* n[4], std::unique_ptr<Ref>&) {
             n[2]->reaction = [&l, n](int, void*) { l.AddHead(n[2]); return 0; };
         },
         {0, 1, 2, 3}, {2, 0, 1, 3}},
        {"node moves the tail behind itself",
         [](SCC_RefDList& l, Ref* n[4], std::unique_ptr<Ref>&) {
             n[0]->reaction = [&l, n](int, void*) { l.InsertAfter(n[0], n[3]); return 0; };
         },
         {0, 3, 1, 2}, {0, 3, 1, 2}},
        {"node removes everything",
         [](SCC_RefDList& l, Ref* n[4], std::unique_ptr<Ref>&) {
             n[1]->reaction = [&l](int, void*) { l.RemoveAll(); return 0; };
         },
         {0, 1}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SCC_RefDList list;
        Ref n0(0), n1(1), n3(3);
        std::unique_ptr<Ref> owned = std::make_unique<Ref>(2);
        Ref* nodes[4] = {&n0, &n1, owned.get(), &n3};
        for (Ref* n : nodes) list.AddTail(n);
        row.install(list, nodes, owned);
        std::vector<int> called;
        g_order = &called;
        list.NotifyNodes(1, nullptr);
        g_order = nullptr;
        EXPECT_EQ(row.called, called);
        std::vector<int> after;
        for (SCC_DListRefNode* n : Nodes(list)) after.push_back(static_cast<Ref*>(n)->id);
        EXPECT_EQ(row.after, after);
        EXPECT_TRUE(list.IsValid());
    }
}

TEST(SCC_RefDList, NotifyNodesStopsWhenANodeDestroysTheList) {
    auto list = std::make_unique<SCC_RefDList>();
    Ref a(1), b(2), c(3);
    list->AddTail(&a);
    list->AddTail(&b);
    list->AddTail(&c);
    b.reaction = [&list](int, void*) {
        list.reset();
        return 5;
    };
    SCC_RefDList* raw = list.get();
    EXPECT_EQ(5, raw->NotifyNodes(1, nullptr));
    EXPECT_TRUE(c.seen.empty());
    EXPECT_EQ(nullptr, a.GetList());
    EXPECT_FALSE(c.IsLinked());
}

TEST(SCC_RefDList, NestedNotifyNodesOnTheSameListEachWalkOn) {
    SCC_RefDList list;
    Ref a(1), b(2), c(3);
    AddTails(list, {&a, &b, &c});
    int depth = 0;
    b.reaction = [&](int code, void*) {
        if (depth++ == 0) {
            list.NotifyNodes(code + 1, nullptr);  // the inner walk removes b under the outer one
            list.Remove(&b);
        }
        return 0;
    };
    list.NotifyNodes(1, nullptr);
    EXPECT_EQ((std::vector<int>{1, 2}), a.seen);
    EXPECT_EQ((std::vector<int>{1, 2}), b.seen);
    EXPECT_EQ((std::vector<int>{2, 1}), c.seen);
    EXPECT_EQ(2, list.GetCount());
}

}  // namespace

namespace {

// The old list's hook runs while the node leaves it, before it joins the new list; a hook that
// takes the reference node away must not leave the new list linked to a free node.
class ThiefList : public SCC_RefDList {
public:
    void OnListChange(int code, SCC_DListRefNode*) override {
        if (code == 2 && victim != nullptr) victim->GetList()->Remove(victim);
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
        EXPECT_EQ(before ? (std::vector<SCC_DListRefNode*>{&a, &node})
                         : (std::vector<SCC_DListRefNode*>{&node, &a}),
                  Nodes(list));
        EXPECT_TRUE(list.IsValid());
    }
}

}  // namespace
