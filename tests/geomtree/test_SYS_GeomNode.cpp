#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "SYS_GeomNode.h"
#include "tessar_reports.h"

namespace {

class Node : public SYS_GeomNode {
public:
    explicit Node(char name = '?', short type = 0) : m_name(name) { SetNodeType(type); }
    char Name() const { return m_name; }

private:
    char m_name;
};

char NameOf(const SYS_GeomNode* node) {
    return node == nullptr ? '-' : static_cast<const Node*>(node)->Name();
}

// Links the nodes into one ring in the given order.
void Ring(std::initializer_list<Node*> nodes) {
    std::vector<Node*> order(nodes);
    for (size_t i = 0; i < order.size(); ++i) order[i]->SetRoot(order[(i + 1) % order.size()]);
}

// The names met following the links from `start` until it comes back (at most 8 steps).
std::string Walk(const SYS_GeomNode& start) {
    std::string names(1, NameOf(&start));
    for (const SYS_GeomNode* p = start.GetRoot(); p != nullptr && p != &start && names.size() < 8;
         p = p->GetRoot())
        names += NameOf(p);
    return names;
}

class GeomNodeTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(reports.Reports().empty()); }
    tessar_test::ScopedReportRecorder reports;
};

TEST_F(GeomNodeTest, NewNodeIsAloneAndInvalid) {
    Node n;
    EXPECT_EQ(nullptr, n.GetRoot());
    EXPECT_EQ(nullptr, n.GetNextGeomRoot());
    EXPECT_EQ(nullptr, n.GetPrevRoot(&n));
}

TEST_F(GeomNodeTest, GeometryTypesAreOneTwoAndSix) {
    for (short type = -1; type <= 8; ++type) {
        Node n('n', type);
        EXPECT_EQ(type == 1 || type == 2 || type == 6, n.IsGeomType() != 0) << type;
        EXPECT_EQ(type != 0, n.IsValid() != 0) << type;
    }
}

// The walks and edits on rings, barriers and rings a removal left open are compared with a model
// of the rules on random rings (test_SYS_GeomNodeModel.cpp); here the checks and copies.

TEST_F(GeomNodeTest, NullOrSelfArgumentsAreReported) {
    Node a('a', 4), b('b', 1);
    Ring({&a, &b});
    EXPECT_EQ(nullptr, a.GetNextRoot(nullptr));
    EXPECT_EQ(nullptr, a.GetNextRoot(nullptr, SGN_DBRoot));
    EXPECT_EQ(nullptr, a.NextRoot(nullptr, 1));
    EXPECT_EQ(nullptr, a.GetPrevRoot(nullptr));
    a.IncludeRoot(nullptr);
    a.IncludeRoot(&a);
    a.ExcludeRoot(nullptr);
    EXPECT_EQ("ab", Walk(a));
    const auto seen = reports.Take();
    ASSERT_EQ(7u, seen.size());
    for (const auto& report : seen) {
        EXPECT_EQ("sys/SYS_GeomNode", report.unit);
        EXPECT_EQ(SSM_FailureError, report.type);
    }
}

TEST_F(GeomNodeTest, AssignmentCopiesLinkAndType) {
    Node a('a', 4), b('b', 1), copy('c');
    Ring({&a, &b});
    copy = a;
    EXPECT_EQ(&b, copy.GetRoot());
    EXPECT_EQ(4, copy.GetNodeType());
    EXPECT_EQ('a', NameOf(copy.GetDBRoot()));  // the walk from the copy ends on the ring
    EXPECT_EQ(SGN_DBRoot, copy.GetGeomType());
}

}  // namespace
