#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "SYS_StdInterface.h"

namespace {

std::vector<SYS_Handle> Enumerate(SYS_StdInterface& e) {
    std::vector<SYS_Handle> seen;
    for (e.GetFirst(nullptr); e.IsValid() && seen.size() < 10; e.GetNext())
        seen.push_back(e.GetHandle());
    return seen;
}

TEST(SYS_StdInterface, EnumeratesOneToTheMaximumAndCopiesStayIndependent) {
    SYS_StdInterface empty(-2);
    EXPECT_TRUE(Enumerate(empty).empty());
    SYS_StdInterface a(4);
    EXPECT_EQ((std::vector<SYS_Handle>{1, 2, 3, 4}), Enumerate(a));
    a.GetFirst(nullptr);
    a.GetNext();
    SYS_StdInterface b(a);
    SYS_StdInterface c;
    c = a;
    a.GetNext();
    EXPECT_EQ(3, a.GetHandle());
    EXPECT_EQ(2, b.GetHandle());
    EXPECT_EQ(2, c.GetHandle());
    c.SetHandle(4, nullptr);
    c.GetNext();
    EXPECT_EQ(0, c.GetHandle());  // the copied maximum handle, 4, ends the walk
    EXPECT_EQ(nullptr, c.GetChangeEvent(nullptr));
    c.SetHandle(INTPTR_MAX, nullptr);  // no overflow: beyond the maximum ends the walk
    c.GetNext();
    EXPECT_EQ(0, c.GetHandle());
}

TEST(SYS_StdInterface, DefaultSortIsTheDifferenceOrItsSign) {
    struct Row {
        const char* name;
        SYS_Handle a, b;
        int expected;
    };
    const SYS_Handle big = SYS_Handle(1) << 40;
    const Row rows[] = {
        {"equal", 7, 7, 0},
        {"int range, top", INT_MAX, 0, INT_MAX},
        {"one past int", SYS_Handle(INT_MAX) + 1, 0, 1},
        {"one below int", SYS_Handle(INT_MIN) - 1, 0, -1},
        {"addresses above", big + 8, 8, 1},
        {"wraps in 64 bits", INTPTR_MIN, INTPTR_MAX, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.expected, SYS_StdInterface::DefaultSort(row.a, row.b));
    }
}

}  // namespace
