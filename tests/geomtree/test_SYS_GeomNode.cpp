// The walks and edits of SYS_GeomNode on rings a removal left open or a null link ends. The
// rules themselves are checked against a model on every input of the ring fuzz target.

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "SYS_GeomNode.h"
#include "tessar_reports.h"

namespace {

class Node : public SYS_GeomNode {
public:
    explicit Node(short type = 0) { SetNodeType(type); }
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

// A null link ends every walk, and an edit from a node whose link is null changes nothing.
TEST_F(GeomNodeTest, NullLinkEndsWalksAndEdits) {
    Node a(4), b(1);
    a.SetRoot(&b);
    b.SetRoot(nullptr);
    EXPECT_EQ(&b, a.GetNextRoot(&a, SGN_Geometry1));
    EXPECT_EQ(nullptr, a.GetRoot(7));
    EXPECT_EQ(nullptr, a.GetPrevRoot(&b));
    b.ExcludeOwnRoot();
    EXPECT_EQ(nullptr, b.GetRoot());
}

TEST_F(GeomNodeTest, NullOrSelfArgumentsAreReportedAndCopiesKeepLinkAndType) {
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
    Node copy;
    copy = a;
    EXPECT_EQ(&b, copy.GetRoot());
    EXPECT_EQ(SGN_DBRoot, copy.GetGeomType());
    const auto seen = reports.Take();
    ASSERT_EQ(7u, seen.size());
    for (const auto& report : seen) {
        EXPECT_EQ("sys/SYS_GeomNode", report.unit);
        EXPECT_EQ(SSM_FailureError, report.type);
    }
}

}  // namespace
