#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ListTestSupport.h"
#include "SCC_Notifier.h"
#include "SCC_SafeDList.h"

namespace {

struct Item : SCC_SafeDListNode<Item> {
    explicit Item(int name = 0) : id(name) { ++s_live; }
    ~Item() override { --s_live; }
    int id;
    static inline int s_live = 0;
};

typedef SCC_SafeDListIterator<Item> Iter;

struct HookCall {
    int code;
    Item* node;
    bool linked;
};

class LoggedList : public SCC_SafeDList<Item> {
public:
    void OnListChange(int code, Item* node) override {
        calls.push_back({code, node, node != nullptr && node->IsLinked()});
        if (onChange) onChange(code, node);
    }
    std::vector<HookCall> calls;
    std::function<void(int, Item*)> onChange;
};

std::vector<int> Ids(const SCC_SafeDList<Item>& list) {
    std::vector<int> ids;
    for (Item* n = list.GetHead(); n != nullptr && ids.size() < 1000; n = n->GetNext()) ids.push_back(n->id);
    return ids;
}

std::vector<int> IdsBackwards(const SCC_SafeDList<Item>& list) {
    std::vector<int> ids;
    for (Item* n = list.GetTail(); n != nullptr && ids.size() < 1000; n = n->GetPrev())
        ids.insert(ids.begin(), n->id);
    return ids;
}

int At(Iter& it) { return it.IsEmpty() ? -1 : it.GetNode()->id; }

TEST(SCC_SafeDList, EmptyListHasNoHeadNoTailAndCountZero) {
    SCC_SafeDList<Item> list;
    EXPECT_EQ(nullptr, list.GetHead());
    EXPECT_EQ(nullptr, list.GetTail());
    EXPECT_EQ(0, list.GetCount());
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(list.IsValid());
    EXPECT_EQ(nullptr, list.RemoveHead());
    EXPECT_EQ(nullptr, list.RemoveTail());
    Iter it;
    it.Restart(list);
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(0, it.GetHandle());
}

TEST(SCC_SafeDList, MisuseIsReportedAsTypeZeroAndChangesNothing) {
    BreakCounter breaks;
    Item a(1), b(2), other(3), free(4);
    SCC_SafeDList<Item> list, elsewhere;
    AddTails(list, {&a, &b});
    elsewhere.AddTail(&other);
    struct Row {
        const char* name;
        Item* result;
    };
    const Row rows[] = {
        {"add a node linked in another list", list.AddTail(&other)},
        {"add a node already in the list", list.AddHead(&b)},
        {"add null", list.AddHead(nullptr)},
        {"insert before a free reference", list.InsertBefore(&free, &free)},
        {"insert after null", list.InsertAfter(nullptr, &free)},
        {"insert a linked node", list.InsertAfter(&a, &other)},
        {"insert null", list.InsertBefore(&a, nullptr)},
        {"remove a free node", list.Remove(&free)},
        {"remove null", list.Remove(nullptr)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(nullptr, row.result);
    }
    EXPECT_EQ(9, breaks.Take());
    EXPECT_EQ((std::vector<int>{1, 2}), Ids(list));
    EXPECT_EQ((std::vector<int>{3}), Ids(elsewhere));
    EXPECT_FALSE(free.IsLinked());
    EXPECT_TRUE(list.IsValid());
    list.RemoveAll();
    elsewhere.RemoveAll();
}

TEST(SCC_SafeDListIterator, IteratorsHaveMovedWhenTheHookSeesCodeTwo) {
    Item a(1), b(2), c(3);
    LoggedList list;
    AddTails(list, {&a, &b, &c});
    Iter forward(&b), back(&b), gone(&b);
    forward.OnFocusDeleteGoForward();
    back.OnFocusDeleteGoBack();
    std::vector<int> seen;
    list.onChange = [&](int code, Item*) {
        if (code == 2) seen = {At(forward), At(back), At(gone)};
    };
    list.Remove(&b);
    EXPECT_EQ((std::vector<int>{3, 1, -1}), seen);
    list.onChange = nullptr;
    list.RemoveAll();
}

TEST(SCC_SafeDListIterator, EmptyingOrDestroyingTheListClearsIterators) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way == 0 ? "RemoveAll" : way == 1 ? "DeleteAll" : "list destroyed");
        const int live = Item::s_live;
        auto list = std::make_unique<LoggedList>();
        std::vector<std::unique_ptr<Item>> owned;
        for (int id = 1; id <= 3; ++id) {
            owned.push_back(std::make_unique<Item>(id));
            list->AddTail(owned.back().get());
        }
        Iter first(owned[0].get()), second(owned[1].get()), last(owned[2].get());
        first.OnFocusDeleteGoForward();
        last.OnFocusDeleteGoBack();
        list->calls.clear();
        if (way == 0) list->RemoveAll();
        if (way == 1) {
            for (auto& p : owned) p.release();
            list->DeleteAll();
            EXPECT_EQ(live, Item::s_live);
        }
        if (way == 2) list.reset();
        EXPECT_TRUE(first.IsEmpty() && second.IsEmpty() && last.IsEmpty());
        if (list) {
            ASSERT_EQ(1u, list->calls.size());
            EXPECT_EQ(6, list->calls[0].code);
            EXPECT_TRUE(list->IsEmpty());
        }
        for (auto& p : owned) EXPECT_FALSE(p && p->IsLinked());
    }
}

TEST(SCC_SafeDListIterator, RestartsFromEitherEnd) {
    Item a(1), b(2), c(3);
    SCC_SafeDList<Item> list;
    AddTails(list, {&a, &b, &c});
    Iter it;
    it.Restart(list);
    EXPECT_EQ(1, At(it));
    it.RestartFromEnd(list);
    EXPECT_EQ(3, At(it));
    EXPECT_EQ(1, c.SCC_RefDList::GetCount());
    it.SetNode(nullptr);
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_EQ(0, c.SCC_RefDList::GetCount());
    list.RemoveAll();
}

TEST(SCC_SafeDListIterator, InvalidateAlsoLeavesTheNotifier) {
    Item a(1);
    SCC_SafeDList<Item> list;
    list.AddTail(&a);
    SCC_Notifier notifier;
    Iter it(&a);
    AddNode(notifier, it);
    notifier.Notify(2, reinterpret_cast<void*>(a.GetHandle()));  // policy 0 through the notifier
    EXPECT_TRUE(it.IsEmpty());
    EXPECT_FALSE(notifier.HasListeners());
    EXPECT_TRUE(a.SCC_RefDList::IsEmpty());
    list.RemoveAll();
}

TEST(SCC_SafeDListNode, CopiesStartFreeAndAssignmentKeepsPlaceAndIterators) {
    Item a(1), b(2);
    SCC_SafeDList<Item> list;
    AddTails(list, {&a, &b});
    Iter it(&a);
    Item copy(a);
    EXPECT_FALSE(copy.IsLinked());
    EXPECT_TRUE(copy.SCC_RefDList::IsEmpty());
    a = b;
    EXPECT_EQ(2, a.id);
    EXPECT_EQ(&a, list.GetHead());
    EXPECT_EQ(&a, it.GetNode());
    list.RemoveAll();
}

// ---------------------------------------------------------------------------------------------
// Randomized model: a list of heap nodes, iterators of each policy, random edits; the model is
// a vector of node ids and, per iterator, the id it stands on (-1 for none).

struct Model {
    std::vector<int> ids;
    std::vector<int> at;      // per iterator
    std::vector<int> policy;  // per iterator

    int IndexOf(int id) const {
        auto found = std::find(ids.begin(), ids.end(), id);
        return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
    }
    // The node `id` leaves: its iterators follow their policies, then it is erased.
    void Leave(int id) {
        const int index = IndexOf(id);
        for (size_t i = 0; i < at.size(); ++i) {
            if (at[i] != id) continue;
            if (policy[i] == 1) at[i] = index + 1 < static_cast<int>(ids.size()) ? ids[index + 1] : -1;
            else if (policy[i] == -1) at[i] = index > 0 ? ids[index - 1] : -1;
            else at[i] = -1;
        }
        ids.erase(ids.begin() + index);
    }
};

class SafeListModelTest {
public:
    explicit SafeListModelTest(unsigned seed) : m_rng(seed) {
        for (int i = 0; i < 9; ++i) {
            m_iters.push_back(std::make_unique<Iter>());
            const int policy = i % 3 - 1;
            if (policy == 1) m_iters.back()->OnFocusDeleteGoForward();
            if (policy == -1) m_iters.back()->OnFocusDeleteGoBack();
            m_model.at.push_back(-1);
            m_model.policy.push_back(policy);
        }
    }
    ~SafeListModelTest() {
        m_list.DeleteAll();
        for (auto& it : m_iters) EXPECT_TRUE(it->IsEmpty());
        for (Item* n : m_free) delete n;
    }

    void Run(int steps) {
        for (int step = 0; step < steps; ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            Step();
            Compare();
            if (::testing::Test::HasFailure()) return;
        }
    }

private:
    size_t Pick(size_t n) { return static_cast<size_t>(m_rng() % n); }
    Item* Node(int id) {
        for (Item* n = m_list.GetHead(); n != nullptr; n = n->GetNext())
            if (n->id == id) return n;
        return nullptr;
    }
    int RandomId() { return m_model.ids[Pick(m_model.ids.size())]; }

    void Step() {
        const size_t op = Pick(12);
        if (op <= 2 || m_model.ids.empty()) return Insert();
        const int id = RandomId();
        Item* node = Node(id);
        if (op == 3) {  // removal through the list; the node goes to the free pool
            m_model.Leave(id);
            EXPECT_EQ(node, m_list.Remove(node));
            m_free.push_back(node);
        } else if (op == 4) {  // deletion after removal
            m_model.Leave(id);
            delete m_list.Remove(node);
        } else if (op == 5) {  // direct destruction of a linked node
            m_model.Leave(id);
            delete node;
        } else if (op == 6) {
            m_model.Leave(m_model.ids.front());
            delete m_list.RemoveHead();
        } else if (op == 7) {
            m_model.Leave(m_model.ids.back());
            m_free.push_back(m_list.RemoveTail());
        } else if (op <= 10) {
            MoveIterator(op, id);
        } else if (Pick(8) != 0) {
            ReplaceIterator();
        } else {
            m_list.RemoveAll();
            for (int& at : m_model.at) at = -1;
            m_model.ids.clear();
            CollectFreedByRemoveAll();
        }
    }

    void Insert() {
        Item* node;
        if (!m_free.empty() && Pick(2) == 0) {
            node = m_free.back();
            m_free.pop_back();
        } else {
            node = new Item(m_nextId++);
        }
        const int where = m_model.ids.empty() ? static_cast<int>(Pick(2)) : static_cast<int>(Pick(4));
        if (where == 0) {
            m_list.AddHead(node);
            m_model.ids.insert(m_model.ids.begin(), node->id);
        } else if (where == 1) {
            m_list.AddTail(node);
            m_model.ids.push_back(node->id);
        } else {
            const int ref = RandomId();
            const int index = m_model.IndexOf(ref);
            if (where == 2) m_list.InsertBefore(Node(ref), node);
            else m_list.InsertAfter(Node(ref), node);
            m_model.ids.insert(m_model.ids.begin() + index + (where == 3 ? 1 : 0), node->id);
        }
    }

    void MoveIterator(size_t op, int id) {
        const size_t i = Pick(m_iters.size());
        Iter& it = *m_iters[i];
        int& at = m_model.at[i];
        if (op == 8) {
            it.SetNode(Node(id));
            at = id;
        } else if (at >= 0) {
            const int index = m_model.IndexOf(at);
            const bool forward = op == 9;
            const int target = forward ? index + 1 : index - 1;
            at = target >= 0 && target < static_cast<int>(m_model.ids.size()) ? m_model.ids[target] : -1;
            EXPECT_EQ(at >= 0, static_cast<bool>(forward ? it.GetNext() : it.GetPrev()));
        }
    }

    // Destroys an iterator where it stands and puts a copy of another one in its place.
    void ReplaceIterator() {
        const size_t i = Pick(m_iters.size());
        const size_t j = Pick(m_iters.size());
        auto copy = std::make_unique<Iter>(*m_iters[j]);
        m_iters[i] = std::move(copy);
        m_model.at[i] = m_model.at[j];
        m_model.policy[i] = m_model.policy[j];
    }

    void CollectFreedByRemoveAll() {
        // RemoveAll unlinked every node without deleting it: find them through the ids we
        // handed out is not possible any more, so the test keeps them in its own registry.
        for (Item* n : m_everLinked)
            if (!n->IsLinked() && std::find(m_free.begin(), m_free.end(), n) == m_free.end())
                m_free.push_back(n);
    }

    void Compare() {
        ASSERT_EQ(m_model.ids, Ids(m_list));
        ASSERT_EQ(m_model.ids, IdsBackwards(m_list));
        EXPECT_EQ(static_cast<long>(m_model.ids.size()), m_list.GetCount());
        ASSERT_TRUE(m_list.IsValid());
        for (size_t i = 0; i < m_iters.size(); ++i) EXPECT_EQ(m_model.at[i], At(*m_iters[i]));
        for (Item* n : m_free) EXPECT_TRUE(n->SCC_RefDList::IsEmpty());
        RememberLinked();
    }

    void RememberLinked() {
        m_everLinked.clear();
        for (Item* n = m_list.GetHead(); n != nullptr; n = n->GetNext()) m_everLinked.push_back(n);
    }

    std::mt19937 m_rng;
    SCC_SafeDList<Item> m_list;
    std::vector<std::unique_ptr<Iter>> m_iters;
    std::vector<Item*> m_free;
    std::vector<Item*> m_everLinked;
    Model m_model;
    int m_nextId = 1;
};

TEST(SCC_SafeDList, RandomEditsWithIteratorsOfEveryPolicyMatchTheModel) {
    const int live = Item::s_live;
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        SafeListModelTest test(seed);
        test.Run(60);
        if (HasFailure()) break;
    }
    EXPECT_EQ(live, Item::s_live);  // every node deleted exactly once
}

}  // namespace
