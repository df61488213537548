#include <gtest/gtest.h>

#include <vector>

#include "SYS_Filter.h"

namespace {

// Records every handle it is asked about, so tests can see which operands were consulted.
class Probe : public SYS_Filter {
public:
    explicit Probe(int (*rule)(SYS_Handle)) : m_rule(rule) {}
    int IsTrue(SYS_Handle handle) override {
        asked.push_back(handle);
        return m_rule(handle);
    }
    std::vector<SYS_Handle> asked;

private:
    int (*m_rule)(SYS_Handle);
};

int IsEven(SYS_Handle h) { return h % 2 == 0; }
int IsAboveTen(SYS_Handle h) { return h > 10; }
int MinusOne(SYS_Handle) { return -1; }
int Zero(SYS_Handle) { return 0; }

int s_destroyed = 0;
class Counted : public SYS_Filter {
public:
    ~Counted() override { ++s_destroyed; }
    int IsTrue(SYS_Handle) override { return 1; }
};

// A filter with a test function: accepts the handles below its own limit.
int BelowLimit(const SCC_SharedPointer<SYS_Filter>& self, SYS_Handle h);
struct Limited : SYS_Filter {
    Limited() : SYS_Filter(nullptr, nullptr, &BelowLimit) {}
    SYS_Handle limit = 0;
};
int BelowLimit(const SCC_SharedPointer<SYS_Filter>& self, SYS_Handle h) {
    return h < static_cast<Limited*>(self.Get())->limit;
}

TEST(SYS_Filter, DefaultFilterIsFalseForEveryHandle) {
    SYS_Filter filter;
    for (SYS_Handle h : {SYS_Handle(0), SYS_Handle(1), SYS_Handle(-5), SYS_Handle(1) << 40})
        EXPECT_EQ(0, filter.IsTrue(h));
}

TEST(SYS_Filter, CombinationsAgreeWithTheirTruthTables) {
    Probe big(IsAboveTen), even(IsEven);  // the left operand is destroyed first
    SYS_Filter& both = even & big;
    SYS_Filter& either = even | big;  // replaces `both` in even's result slot
    SCC_SharedPointer<SYS_Filter> keepEither(&either);
    SYS_Filter& notEven = !big;
    SCC_SharedPointer<SYS_Filter> keepNot(&notEven);
    for (SYS_Handle h = -3; h <= 14; ++h) {
        SCOPED_TRACE(h);
        EXPECT_EQ(IsEven(h) && IsAboveTen(h), (even & big).IsTrue(h));
        EXPECT_EQ(IsEven(h) || IsAboveTen(h), keepEither->IsTrue(h));
        EXPECT_EQ(!IsAboveTen(h), keepNot->IsTrue(h));
    }
    (void)both;
}

TEST(SYS_Filter, EvaluationIsLazy) {
    struct Row { const char* name; char op; SYS_Handle handle; int expected; size_t rightAsked; };
    const Row rows[] = {
        {"and, left true", '&', 12, 1, 1},  {"and, left false", '&', 4 + 1, 0, 0},
        {"and, 4", '&', 4, 0, 1},           {"or, left true", '|', 4, 1, 0},
        {"or, left false", '|', 3, 0, 1},   {"or, right true", '|', 13, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Probe big(IsAboveTen), even(IsEven);
        SYS_Filter& combined = row.op == '&' ? (even & big) : (even | big);
        EXPECT_EQ(row.expected, combined.IsTrue(row.handle));
        EXPECT_EQ(1u, even.asked.size());
        EXPECT_EQ(row.rightAsked, big.asked.size());
    }
}

TEST(SYS_Filter, NegativeAnswerIsTrueForAndOrButNotForNot) {
    Probe minus(MinusOne), yes(IsEven), no(Zero);
    EXPECT_EQ(1, (minus & yes).IsTrue(2));
    EXPECT_EQ(1, (minus | no).IsTrue(2));
    EXPECT_EQ(1, (!minus).IsTrue(2));
}

TEST(SYS_Filter, TestFunctionSeesTheFilterItself) {
    SCC_SharedPointer<Limited> limited(new Limited);
    limited->limit = 5;
    EXPECT_EQ(1, limited->IsTrue(4));
    EXPECT_EQ(0, limited->IsTrue(5));
    EXPECT_EQ(1, limited->GetRefCount());  // the call's own reference is gone again
    EXPECT_EQ(0, (!*limited).IsTrue(4));
    EXPECT_EQ(1, (!*limited).IsTrue(7));
    limited->ReleaseResult();
}

TEST(SYS_Filter, NextCombinationReleasesThePreviousOneUnlessHeld) {
    Counted c, b, a;
    SCC_SharedPointer<SYS_Filter> held(&(a & b));
    EXPECT_EQ(2, held->GetRefCount());
    a | c;
    EXPECT_EQ(1, held->GetRefCount());  // only the caller holds the and-combination now
    EXPECT_EQ(held.Get()->GetLeft(), &a);
    EXPECT_EQ(held.Get()->GetRight(), &b);
    EXPECT_EQ(1, held->IsTrue(3));

    s_destroyed = 0;
    {
        Counted d;
        SCC_SharedPointer<SYS_Filter> heapLeft(new Counted);
        SYS_Filter& combination = *heapLeft & d;
        SCC_SharedPointer<SYS_Filter> watch(&combination);
        EXPECT_EQ(2, heapLeft->GetRefCount());  // the pointer and the combination's left
        !*heapLeft;                              // replaces the and-combination
        EXPECT_EQ(1, watch->GetRefCount());
        heapLeft->ReleaseResult();               // the negation held heapLeft: break the link
        EXPECT_EQ(1, heapLeft->GetRefCount() - 1);
    }
    EXPECT_EQ(2, s_destroyed);  // d and the heap operand, freed by the last release
}

TEST(SYS_Filter, CopySharesOperandsButNotTheResult) {
    Probe big(IsAboveTen), even(IsEven);
    SYS_Filter& both = even & big;
    SYS_Filter copy(both);
    EXPECT_EQ(both.GetLeft(), copy.GetLeft());
    EXPECT_EQ(both.GetRight(), copy.GetRight());
    // A local is not deletable: its first holder sets the mark, the second adds one.
    EXPECT_EQ(SCC_SharedBuffer::kNotDeletable + 1, even.GetRefCount());
    !copy;
    EXPECT_NE(nullptr, copy.GetResult());
    SYS_Filter other;
    other = copy;
    EXPECT_EQ(nullptr, other.GetResult());
    EXPECT_EQ(1, other.IsTrue(12));
    EXPECT_EQ(0, other.IsTrue(14 - 1));
}

}  // namespace
