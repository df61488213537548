#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "SYS_GeomNode.h"
#include "tessar_reports.h"

// The walks and edits on whole rings are compared with a model of the rules on random rings
// (test_SYS_GeomNodeModel.cpp); here a ring a removal left open, the checks and copies.

namespace {

class Node : public SYS_GeomNode {
public:
    explicit Node(short type) { SetNodeType(type); }
};

// Links the nodes into one ring in the given order.
void Ring(std::initializer_list<Node*> nodes) {
    std::vector<Node*> order(nodes);
    for (size_t i = 0; i < order.size(); ++i) order[i]->SetRoot(order[(i + 1) % order.size()]);
}

class GeomNodeTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(reports.Reports().empty()); }
    tessar_test::ScopedReportRecorder reports;
};

// A removed node keeps its link into its former ring, so walks from a node of that ring never
// come back to their start: they must stop after passing every node once instead of running
// forever.
TEST_F(GeomNodeTest, RemovedNodeKeepsItsLink) {
    Node a(4), b(1), c(7);
    Ring({&a, &b, &c});
    a.ExcludeOwnRoot();
    EXPECT_EQ(&c, b.GetRoot());
    EXPECT_EQ(&a, b.GetDBRoot());
    EXPECT_EQ(nullptr, b.GetRoot(1));
    EXPECT_EQ(nullptr, b.GetPrevRoot(&b));
    b.ExcludeRoot(&b);  // b has no predecessor: nothing happens
    EXPECT_EQ(&c, b.GetRoot());
    // Edits from b end too, having removed what they reach.
    b.ExcludeByType(7);
    EXPECT_EQ(nullptr, b.GetBRTRoot());
    EXPECT_EQ(nullptr, a.GetBRTRoot());
    b.ExcludeNearType(4);
    EXPECT_EQ(&a, b.GetRoot());
}

TEST_F(GeomNodeTest, NullOrSelfArgumentsAreReported) {
    Node a(4), b(1);
    Ring({&a, &b});
    EXPECT_EQ(nullptr, a.GetNextRoot(nullptr));
    EXPECT_EQ(nullptr, a.GetNextRoot(nullptr, SGN_DBRoot));
    EXPECT_EQ(nullptr, a.NextRoot(nullptr, 1));
    EXPECT_EQ(nullptr, a.GetPrevRoot(nullptr));
    a.IncludeRoot(nullptr);
    a.IncludeRoot(&a);
    a.ExcludeRoot(nullptr);
    EXPECT_EQ(&b, a.GetRoot());  // the ring is unchanged
    EXPECT_EQ(&a, b.GetRoot());
    const auto seen = reports.Take();
    ASSERT_EQ(7u, seen.size());
    for (const auto& report : seen) {
        EXPECT_EQ("sys/SYS_GeomNode", report.unit);
        EXPECT_EQ(SSM_FailureError, report.type);
    }
}

TEST_F(GeomNodeTest, AssignmentCopiesLinkAndType) {
    Node a(4), b(1), copy(0);
    EXPECT_FALSE(copy.IsValid());  // type 0 is the invalid node
    Ring({&a, &b});
    copy = a;
    EXPECT_EQ(&b, copy.GetRoot());
    EXPECT_EQ(4, copy.GetNodeType());
    EXPECT_TRUE(copy.IsValid());
    EXPECT_EQ(&a, copy.GetDBRoot());  // the walk from the copy ends on the ring
    EXPECT_EQ(SGN_DBRoot, copy.GetGeomType());
}

}  // namespace
