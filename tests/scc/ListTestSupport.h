#pragma once

#include "tessar_breaks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "SCC_List.h"
#include "TessarPlatform.h"

using BreakCounter = ScopedBreakCounter;

// Counts live instances so that ownership mistakes (leak, double delete) show.
struct SNode : SCC_SListNode<SNode> {
    explicit SNode(int v = 0) : value(v) { ++s_live; }
    SNode(const SNode& other) : SCC_SListNode<SNode>(other), value(other.value) { ++s_live; }
    SNode& operator=(const SNode& other) = default;
    ~SNode() { --s_live; }
    int value;
    static inline int s_live = 0;
};

struct DNode : SCC_DListNode<DNode> {
    explicit DNode(int v = 0) : value(v) {}
    int value;
};

// A list that records its hook calls and whether the node was linked at that moment.
template <class Base, class N>
class LoggingList : public Base {
public:
    struct Call {
        int code;
        N* node;
        int linked;
    };
    void OnListChange(int code, N* node) override {
        calls.push_back({code, node, node != nullptr ? node->IsLinked() : -1});
    }
    std::vector<Call> calls;
};

// Appends the nodes in the order given.
template <class L, class N>
void AddTails(L& list, std::initializer_list<N*> nodes) {
    for (N* node : nodes) list.AddTail(node);
}

template <class L, class N>
std::vector<N*> Contents(const L& list) {
    std::vector<N*> nodes;
    for (N* node = list.GetHead(); node != nullptr && nodes.size() < 10000; node = node->GetNext())
        nodes.push_back(node);
    return nodes;
}

// Random edits on a list, compared with a std::vector model after every step: contents,
// count, head and tail, link flags, and the hook call each operation must make. RemoveAll at
// the end must unlink from the head, announcing each node.
template <class List, class N>
void RunModel(unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<N> pool(12);
    List list;
    std::vector<N*> model;
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    auto expectCalls = [&](int code, const std::vector<N*>& nodes) {
        ASSERT_EQ(nodes.size(), list.calls.size());
        for (size_t i = 0; i < nodes.size(); ++i) {
            EXPECT_EQ(code, list.calls[i].code);
            EXPECT_EQ(nodes[i], list.calls[i].node);
            EXPECT_TRUE(list.calls[i].linked);  // joined before code 1, still in before code 2
        }
        list.calls.clear();
    };
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
        N* node = &pool[pick(pool.size())];
        const bool inList = std::find(model.begin(), model.end(), node) != model.end();
        const int op = static_cast<int>(pick(8));
        N* removed = nullptr;
        if (op <= 3 && !inList) {
            N* ref = model.empty() || pick(4) == 0 ? nullptr : model[pick(model.size())];
            auto where = model.end();
            if (op == 0) { EXPECT_EQ(node, list.AddHead(node)); where = model.begin(); }
            if (op == 1) { EXPECT_EQ(node, list.AddTail(node)); }
            if (op == 2) {
                EXPECT_EQ(node, list.InsertBefore(ref, node));
                if (ref) where = std::find(model.begin(), model.end(), ref);
            }
            if (op == 3) {
                EXPECT_EQ(node, list.InsertAfter(ref, node));
                where = ref ? std::find(model.begin(), model.end(), ref) + 1 : model.begin();
            }
            model.insert(where, node);
            expectCalls(1, {node});
        } else if (op == 4 && inList) {
            EXPECT_EQ(node, list.Remove(node));
            removed = node;
        } else if (op == 5) {
            removed = list.RemoveHead();
            EXPECT_EQ(model.empty() ? nullptr : model.front(), removed);
        } else if (op == 6) {
            removed = list.RemoveTail();
            EXPECT_EQ(model.empty() ? nullptr : model.back(), removed);
        } else if (op == 7) {  // the follower of a node of the list (none after the last), or the head
            auto follower = inList ? std::find(model.begin(), model.end(), node) + 1 : model.begin();
            removed = list.RemoveAfter(inList ? node : nullptr);
            EXPECT_EQ(follower == model.end() ? nullptr : *follower, removed);
        }
        model.erase(std::remove(model.begin(), model.end(), removed), model.end());
        expectCalls(2, removed ? std::vector<N*>{removed} : std::vector<N*>{});
        ASSERT_EQ(model, (Contents<List, N>(list)));
        EXPECT_EQ(static_cast<long>(model.size()), list.GetCount());
        EXPECT_EQ(model.empty(), static_cast<bool>(list.IsEmpty()));
        EXPECT_EQ(model.empty() ? nullptr : model.front(), list.GetHead());
        EXPECT_EQ(model.empty() ? nullptr : model.back(), list.GetTail());
        EXPECT_TRUE(list.IsValid());
        for (N& n : pool)
            EXPECT_EQ(std::find(model.begin(), model.end(), &n) != model.end(),
                      static_cast<bool>(n.IsLinked()));
    }
    list.RemoveAll();
    expectCalls(2, model);
}
