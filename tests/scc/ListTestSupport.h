#pragma once

#include "tessar_breaks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "TessarPlatform.h"

using BreakCounter = ScopedBreakCounter;

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
// count, head and tail, link flags, and the hook calls each operation must make.
template <class List, class N>
void RunModel(unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<N> pool(12);
    for (size_t i = 0; i < pool.size(); ++i) pool[i].value = static_cast<int>(i);
    List list;
    std::vector<N*> model;
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
        list.calls.clear();
        N* node = &pool[pick(pool.size())];
        const bool inList = std::find(model.begin(), model.end(), node) != model.end();
        const int op = static_cast<int>(pick(7));
        int expectedCode = 0;
        N* expectedNode = nullptr;
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
            expectedCode = 1;
            expectedNode = node;
        } else if (op == 4 && inList) {
            EXPECT_EQ(node, list.Remove(node));
            model.erase(std::find(model.begin(), model.end(), node));
            expectedCode = 2;
            expectedNode = node;
        } else if (op == 5) {
            N* removed = list.RemoveHead();
            EXPECT_EQ(model.empty() ? nullptr : model.front(), removed);
            if (!model.empty()) model.erase(model.begin());
            expectedCode = removed ? 2 : 0;
            expectedNode = removed;
        } else if (op == 6) {
            N* removed = list.RemoveTail();
            EXPECT_EQ(model.empty() ? nullptr : model.back(), removed);
            if (!model.empty()) model.pop_back();
            expectedCode = removed ? 2 : 0;
            expectedNode = removed;
        }
        if (expectedCode == 0) {
            EXPECT_TRUE(list.calls.empty());
        } else {
            ASSERT_EQ(1u, list.calls.size());
            EXPECT_EQ(expectedCode, list.calls[0].code);
            EXPECT_EQ(expectedNode, list.calls[0].node);
            EXPECT_TRUE(list.calls[0].linked);  // joined before code 1, still in before code 2
        }
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
}
