#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ListTestSupport.h"
#include "SCC_Notifier.h"
#include "SCC_Stack.h"

namespace {

// Random pushes, pops and peeks against std::vector.
TEST(SCC_Stack, RandomUseMatchesAVector) {
    std::mt19937 rng(7);
    SCC_Stack<long> stack;
    std::vector<long> model;
    long highWater = 0;
    for (int step = 0; step < 5000; ++step) {
        SCOPED_TRACE(step);
        const unsigned op = rng() % 3;
        if (op == 0 || model.empty()) {
            const long value = static_cast<long>(rng() % 1000) - 500;
            stack.Push(value);
            model.push_back(value);
        } else if (op == 1) {
            EXPECT_EQ(model.back(), stack.Pop());
            model.pop_back();
        } else {
            const long below = static_cast<long>(rng() % model.size());
            EXPECT_EQ(model[model.size() - 1 - below], stack.Peek(below));
        }
        highWater = std::max(highWater, static_cast<long>(model.size()));
        ASSERT_EQ(static_cast<long>(model.size()), stack.GetCount());
        EXPECT_EQ(model.empty(), static_cast<bool>(stack.IsEmpty()));
        EXPECT_EQ(highWater, stack.GetSize());  // popped slots stay in the array
    }
}

TEST(SCC_Stack, UnderflowIsATypeOneReportAndChangesNothing) {
    BreakCounter breaks;
    SCC_Stack<int> stack;
    EXPECT_EQ(0, stack.Pop());
    EXPECT_EQ(1, breaks.Take());
    EXPECT_EQ(0, stack.GetCount());
    stack.Push(5);
    struct Row {
        const char* name;
        long below;
    };
    const Row rows[] = {{"below the bottom", 1}, {"negative", -1}, {"far below", 100}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(0, stack.Peek(row.below));
        EXPECT_EQ(1, breaks.Take());
    }
    EXPECT_EQ(5, stack.Peek(0));
    EXPECT_EQ(5, stack.Pop());
    EXPECT_EQ(0, stack.Pop());
    EXPECT_EQ(1, breaks.Take());
    EXPECT_EQ(0, stack.GetCount());
    EXPECT_EQ(0, breaks.Take());
}

TEST(SCC_Stack, PushingAnElementOfTheStackItselfSurvivesGrowth) {
    SCC_Stack<std::string> stack;
    stack.Push(std::string(64, 'x'));
    for (int i = 0; i < 40; ++i) stack.Push(stack.GetAt(0));  // the source moves when the buffer grows
    EXPECT_EQ(41, stack.GetCount());
    for (int i = 0; i < 41; ++i) EXPECT_EQ(std::string(64, 'x'), stack.Pop());
}

TEST(SCC_Stack, CopiesAreIndependent) {
    SCC_Stack<int> stack;
    stack.Push(1);
    stack.Push(2);
    SCC_Stack<int> copy(stack);
    copy.Pop();
    copy.Push(9);
    EXPECT_EQ(2, stack.Peek());
    EXPECT_EQ(9, copy.Peek());
    stack.RemoveAll();
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(0, stack.GetSize());
    EXPECT_EQ(2, copy.GetCount());
}

}  // namespace
