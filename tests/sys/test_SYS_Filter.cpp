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

// A filter with a test function: accepts the handles below its own limit.
int BelowLimit(const SCC_SharedPointer<SYS_Filter>& self, SYS_Handle h);
struct Limited : SYS_Filter {
    Limited() : SYS_Filter(nullptr, nullptr, &BelowLimit) {}
    SYS_Handle limit = 0;
};
int BelowLimit(const SCC_SharedPointer<SYS_Filter>& self, SYS_Handle h) {
    return h < static_cast<Limited*>(self.Get())->limit;
}

// Truth tables, and lazy evaluation: the right operand is asked only when the left one does
// not decide.
TEST(SYS_Filter, CombinationsAgreeWithTheirTruthTablesAndAreLazy) {
    Probe big(IsAboveTen), even(IsEven);  // the left operand is destroyed first
    SYS_Filter& both = even & big;
    SYS_Filter& either = even | big;  // replaces `both` in even's result slot
    SCC_SharedPointer<SYS_Filter> keepEither(&either);
    SYS_Filter& notEven = !big;
    SCC_SharedPointer<SYS_Filter> keepNot(&notEven);
    for (SYS_Handle h = -3; h <= 14; ++h) {
        SCOPED_TRACE(h);
        big.asked.clear();
        EXPECT_EQ(IsEven(h) && IsAboveTen(h), (even & big).IsTrue(h));
        EXPECT_EQ(IsEven(h) ? 1u : 0u, big.asked.size());
        big.asked.clear();
        EXPECT_EQ(IsEven(h) || IsAboveTen(h), keepEither->IsTrue(h));
        EXPECT_EQ(IsEven(h) ? 0u : 1u, big.asked.size());
        EXPECT_EQ(!IsAboveTen(h), keepNot->IsTrue(h));
    }
    (void)both;
}

TEST(SYS_Filter, CopiesShareOperandsAndTestFunctionsSeeTheFilter) {
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
    EXPECT_EQ(0, other.IsTrue(12));  // a default filter is false for every handle
    other = copy;
    EXPECT_EQ(nullptr, other.GetResult());
    EXPECT_EQ(1, other.IsTrue(12));
    SCC_SharedPointer<Limited> limited(new Limited);  // its test function sees the filter itself
    limited->limit = 5;
    EXPECT_EQ(1, limited->IsTrue(4));
    EXPECT_EQ(0, limited->IsTrue(5));
    EXPECT_EQ(1, limited->GetRefCount());  // the call's own reference is gone again
    EXPECT_EQ(0, (!*limited).IsTrue(4));
    limited->ReleaseResult();
}

}  // namespace
