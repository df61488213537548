#include <gtest/gtest.h>

#include <string>

#include "SCC_Stack.h"
#include "tessar_breaks.h"

namespace {

// Popping or peeking below the bottom is reported and changes nothing; popped slots stay in the
// array, so the size is the high-water mark and the count what is stacked.
TEST(SCC_Stack, UnderflowIsReportedAndCopiesAreIndependent) {
    ScopedBreakCounter breaks;
    SCC_Stack<int> stack;
    EXPECT_EQ(0, stack.Pop());
    EXPECT_EQ(1, breaks.Take());
    stack.Push(1);
    stack.Push(2);
    EXPECT_EQ(0, stack.Peek(2));
    EXPECT_EQ(1, breaks.Take());
    EXPECT_EQ(0, stack.Peek(-1));
    EXPECT_EQ(1, breaks.Take());
    SCC_Stack<int> copy(stack);
    EXPECT_EQ(2, copy.Pop());
    EXPECT_EQ(2, copy.GetSize());
    EXPECT_EQ(1, copy.GetCount());
    EXPECT_EQ(2, stack.Peek());
    stack.RemoveAll();
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(0, stack.GetSize());
    EXPECT_EQ(0, breaks.Take());
}

TEST(SCC_Stack, PushingAnElementOfTheStackItselfSurvivesGrowth) {
    SCC_Stack<std::string> stack;
    stack.Push(std::string(64, 'x'));
    for (int i = 0; i < 40; ++i) stack.Push(stack.GetAt(0));  // the source moves as it grows
    EXPECT_EQ(41, stack.GetCount());
    for (int i = 0; i < 41; ++i) EXPECT_EQ(std::string(64, 'x'), stack.Pop());
}

}  // namespace
