#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "ListTestSupport.h"
#include "SCC_SafeDList.h"

namespace {

struct Item : SCC_SafeDListNode<Item> {
    explicit Item(int name = 0) : id(name) { ++s_live; }
    ~Item() override { --s_live; }
    int id;
    static inline int s_live = 0;
};

typedef SCC_SafeDListIterator<Item> Iter;

std::vector<int> Ids(const SCC_SafeDList<Item>& list, bool backwards = false) {
    std::vector<int> ids;
    for (Item* n = backwards ? list.GetTail() : list.GetHead(); n != nullptr && ids.size() < 1000;
         n = backwards ? n->GetPrev() : n->GetNext())
        ids.insert(backwards ? ids.begin() : ids.end(), n->id);
    return ids;
}

TEST(SCC_SafeDList, MisuseIsReportedAsTypeZeroAndChangesNothing) {
    BreakCounter breaks;
    Item a(1), b(2), other(3), free(4);
    SCC_SafeDList<Item> list, elsewhere;
    AddTails(list, {&a, &b});
    elsewhere.AddTail(&other);
    const std::pair<const char*, Item*> rows[] = {  // what was tried, what it answered
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
    for (const auto& [name, result] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(nullptr, result);
    }
    EXPECT_EQ(9, breaks.Take());
    EXPECT_EQ((std::vector<int>{1, 2}), Ids(list));
    EXPECT_EQ((std::vector<int>{3}), Ids(elsewhere));
    EXPECT_FALSE(free.IsLinked());
    list.RemoveAll();
    elsewhere.RemoveAll();
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

// Random edits of a list of heap nodes watched by iterators of every policy; the model is the
// vector of nodes and, per iterator, its policy and the node it stands on.
class SafeListModel {
public:
    explicit SafeListModel(unsigned seed) : m_rng(seed) {
        for (int i = 0; i < 9; ++i) {
            m_iters.push_back(std::make_unique<Iter>());
            m_policy.push_back(i % 3 - 1);
            if (m_policy.back() == 1) m_iters.back()->OnFocusDeleteGoForward();
            if (m_policy.back() == -1) m_iters.back()->OnFocusDeleteGoBack();
        }
        m_at.assign(m_iters.size(), nullptr);
    }
    ~SafeListModel() {
        m_list.DeleteAll();
        for (auto& it : m_iters) EXPECT_TRUE(it->IsEmpty());
        for (Item* n : m_free) delete n;
    }

    void Run(int steps) {
        for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            Step();
            ASSERT_EQ(m_nodes, (Contents<SCC_SafeDList<Item>, Item>(m_list)));
            ASSERT_EQ(Ids(m_list), Ids(m_list, true));
            EXPECT_EQ(static_cast<long>(m_nodes.size()), m_list.GetCount());
            EXPECT_EQ(m_nodes.empty(), static_cast<bool>(m_list.IsEmpty()));
            ASSERT_TRUE(m_list.IsValid());
            for (size_t i = 0; i < m_iters.size(); ++i) {
                EXPECT_EQ(m_at[i], m_iters[i]->IsEmpty() ? nullptr : m_iters[i]->GetNode());
                EXPECT_EQ(m_at[i] ? m_at[i]->GetHandle() : 0, m_iters[i]->GetHandle());
            }
            for (Item* n : m_nodes)  // one reference per iterator standing on the node
                EXPECT_EQ(std::count(m_at.begin(), m_at.end(), n), n->SCC_RefDList::GetCount());
            for (Item* n : m_free) EXPECT_TRUE(n->SCC_RefDList::IsEmpty());
        }
    }

private:
    size_t Pick(size_t n) { return static_cast<size_t>(m_rng() % n); }
    int IndexOf(Item* node) const {
        return static_cast<int>(std::find(m_nodes.begin(), m_nodes.end(), node) - m_nodes.begin());
    }
    Item* NodeAt(int index) const {
        return index >= 0 && index < static_cast<int>(m_nodes.size()) ? m_nodes[index] : nullptr;
    }

    // `node` leaves: its iterators follow their policies, then it is erased.
    Item* Leave(Item* node) {
        const int index = IndexOf(node);
        for (size_t i = 0; i < m_at.size(); ++i)
            if (m_at[i] == node) m_at[i] = m_policy[i] == 0 ? nullptr : NodeAt(index + m_policy[i]);
        m_nodes.erase(m_nodes.begin() + index);
        return node;
    }

    void Step() {
        const size_t op = Pick(12);
        Item* node = m_nodes.empty() ? nullptr : m_nodes[Pick(m_nodes.size())];
        if (op <= 2 || (node == nullptr && op < 6)) return Insert();
        if (op == 3) {  // removal through the list; the node goes to the free pool
            EXPECT_EQ(Leave(node), m_list.Remove(node));
            m_free.push_back(node);
        } else if (op == 4) {  // deletion after removal
            delete m_list.Remove(Leave(node));
        } else if (op == 5) {  // direct destruction of a linked node
            delete Leave(node);
        } else if (op == 6) {  // either end, also of an empty list
            Item* head = m_nodes.empty() ? nullptr : Leave(m_nodes.front());
            EXPECT_EQ(head, m_list.RemoveHead());
            delete head;
        } else if (op == 7) {
            Item* tail = m_nodes.empty() ? nullptr : Leave(m_nodes.back());
            EXPECT_EQ(tail, m_list.RemoveTail());
            if (tail != nullptr) m_free.push_back(tail);
        } else if (op <= 10) {
            MoveIterator(op, node);
        } else if (Pick(8) != 0) {
            ReplaceIterator();
        } else {
            m_free.insert(m_free.end(), m_nodes.begin(), m_nodes.end());
            m_list.RemoveAll();
            m_at.assign(m_at.size(), nullptr);
            m_nodes.clear();
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
        const int where = static_cast<int>(Pick(m_nodes.empty() ? 2 : 4));
        Item* ref = m_nodes.empty() ? nullptr : m_nodes[Pick(m_nodes.size())];
        int index = 0;
        if (where == 0) {
            m_list.AddHead(node);
        } else if (where == 1) {
            m_list.AddTail(node);
            index = static_cast<int>(m_nodes.size());
        } else if (where == 2) {
            m_list.InsertBefore(ref, node);
            index = IndexOf(ref);
        } else {
            m_list.InsertAfter(ref, node);
            index = IndexOf(ref) + 1;
        }
        m_nodes.insert(m_nodes.begin() + index, node);
    }

    void MoveIterator(size_t op, Item* node) {
        const size_t i = Pick(m_iters.size());
        Iter& it = *m_iters[i];
        if (op == 8) {  // to a node or either end, also of an empty list
            const size_t how = Pick(3);
            if (how == 0) it.SetNode(node);
            if (how == 1) it.Restart(m_list);
            if (how == 2) it.RestartFromEnd(m_list);
            m_at[i] = how == 0 ? node : NodeAt(how == 1 ? 0 : static_cast<int>(m_nodes.size()) - 1);
        } else if (m_at[i] != nullptr) {
            const bool forward = op == 9;
            m_at[i] = NodeAt(IndexOf(m_at[i]) + (forward ? 1 : -1));
            EXPECT_EQ(m_at[i] != nullptr, static_cast<bool>(forward ? it.GetNext() : it.GetPrev()));
        }
    }

    // Destroys an iterator where it stands and puts a copy of another one in its place.
    void ReplaceIterator() {
        const size_t i = Pick(m_iters.size());
        const size_t j = Pick(m_iters.size());
        m_iters[i] = std::make_unique<Iter>(*m_iters[j]);
        m_at[i] = m_at[j];
        m_policy[i] = m_policy[j];
    }

    std::mt19937 m_rng;
    SCC_SafeDList<Item> m_list;
    std::vector<std::unique_ptr<Iter>> m_iters;
    std::vector<Item*> m_free;
    std::vector<Item*> m_nodes;
    std::vector<Item*> m_at;    // per iterator: the node it stands on
    std::vector<int> m_policy;  // per iterator: 0 invalidate, 1 forward, -1 back
    int m_nextId = 1;
};

TEST(SCC_SafeDList, RandomEditsWithIteratorsOfEveryPolicyMatchTheModel) {
    const int live = Item::s_live;
    for (unsigned seed = 1; seed <= 3000 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        SafeListModel(seed).Run(60);
    }
    EXPECT_EQ(live, Item::s_live);  // every node deleted exactly once
}

}  // namespace
