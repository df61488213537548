#include <gtest/gtest.h>

#include <string>

#include "SCC_Stack.h"
#include "tessar_breaks.h"

namespace {

TEST(SCC_Stack, UnderflowIsATypeOneReportAndChangesNothing) {
    ScopedBreakCounter breaks;
    SCC_Stack<int> stack;
    EXPECT_EQ(0, stack.Pop());
    EXPECT_EQ(1, breaks.Take());
    EXPECT_EQ(0, stack.GetCount());
    stack.Push(5);
    for (long below : {1L, -1L, 100L}) {
        SCOPED_TRACE(below);
        EXPECT_EQ(0, stack.Peek(below));
        EXPECT_EQ(1, breaks.Take());
    }
    EXPECT_EQ(5, stack.Peek(0));
    EXPECT_EQ(5, stack.Pop());
    EXPECT_EQ(0, stack.Pop());
    EXPECT_EQ(1, breaks.Take());
    EXPECT_EQ(0, stack.GetCount());
}

TEST(SCC_Stack, PushingAnElementOfTheStackItselfSurvivesGrowth) {
    SCC_Stack<std::string> stack;
    stack.Push(std::string(64, 'x'));
    for (int i = 0; i < 40; ++i) stack.Push(stack.GetAt(0));  // the source moves when the buffer grows
    EXPECT_EQ(41, stack.GetCount());
    for (int i = 0; i < 41; ++i) EXPECT_EQ(std::string(64, 'x'), stack.Pop());
}

// Popped slots stay in the array: the size is the high-water mark, the count what is stacked.
TEST(SCC_Stack, CopiesAreIndependentAndPoppedSlotsStay) {
    SCC_Stack<int> stack;
    stack.Push(1);
    stack.Push(2);
    SCC_Stack<int> copy(stack);
    copy.Pop();
    EXPECT_EQ(1, copy.Peek());
    EXPECT_EQ(2, copy.GetSize());
    copy.Push(9);
    EXPECT_EQ(2, stack.Peek());
    EXPECT_EQ(1, stack.Peek(1));
    EXPECT_EQ(9, copy.Peek());
    stack.RemoveAll();
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(0, stack.GetSize());
    EXPECT_EQ(2, copy.GetCount());
}

}  // namespace
