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
    EXPECT_EQ(0, n.IsValid());
    EXPECT_EQ(0, n.IsGeomType());
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

// The ring a -> b -> c -> a of types 4, 1, 7: a walk never visits the node it starts from.
TEST_F(GeomNodeTest, WalksStartAfterThisNode) {
    Node a('a', SGN_DBRoot), b('b', SGN_Geometry1), c('c', SGN_BRTRoot);
    Ring({&a, &b, &c});
    struct Case {
        const char* name;
        const SYS_GeomNode* result;
        char expected;
    };
    const Case cases[] = {
        {"a.GetDBRoot", a.GetDBRoot(), '-'},
        {"a.GetNextGeomRoot", a.GetNextGeomRoot(), 'b'},
        {"a.GetBRTRoot", a.GetBRTRoot(), 'c'},
        {"b.GetDBRoot", b.GetDBRoot(), 'a'},
        {"c.GetNextGeomRoot", c.GetNextGeomRoot(), 'b'},
        {"a.GetRoot(7)", a.GetRoot(7), 'c'},
        {"a.GetRoot(4)", a.GetRoot(4), '-'},
        {"a.GetNextRoot(b)", a.GetNextRoot(&b), 'c'},
        {"a.GetNextRoot(c)", a.GetNextRoot(&c), '-'},  // c ends the ring of a
        {"a.GetNextRoot(b, 7)", a.GetNextRoot(&b, SGN_BRTRoot), 'c'},
        {"a.GetNextRoot(c, 1)", a.GetNextRoot(&c, SGN_Geometry1), '-'},  // stops at a
        {"b.NextRoot(c, 4)", b.NextRoot(&c, 4), 'a'},
        {"a.GetPrevRoot(a)", a.GetPrevRoot(&a), 'c'},
        {"a.GetPrevRoot(c)", a.GetPrevRoot(&c), '-'},  // c's next is a itself
        {"b.GetPrevRoot(b)", b.GetPrevRoot(&b), 'a'},
        {"a.GetRoot()", a.GetRoot(), 'b'},
    };
    for (const Case& row : cases) EXPECT_EQ(row.expected, NameOf(row.result)) << row.name;
}

TEST_F(GeomNodeTest, TypeSixIsABarrierForThePredecessorSearch) {
    Node b('b', 1), x('x', SGN_GeomBarrier), y('y', 2);
    struct Case {
        const char* name;
        std::initializer_list<Node*> ring;
        char prevOfB;
        std::string afterExclude;
    };
    const Case cases[] = {
        {"barrier on the way", {&b, &y, &x}, '-', "byx"},
        {"barrier is b's next, not tested", {&b, &x, &y}, 'y', "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ring(c.ring);
        EXPECT_EQ(c.prevOfB, NameOf(b.GetPrevRoot(&b)));
        b.ExcludeRoot(&b);
        EXPECT_EQ(c.afterExclude, Walk(b));
    }
    EXPECT_EQ("xy", Walk(x));  // the second case leaves x -> y -> x
}

TEST_F(GeomNodeTest, ExcludeRootOfAnotherNodeTakesThatNodeOutOfItsOwnRing) {
    Node a('a', 4), b('b', 1), c('c', 7), p('p', 4), q('q', 2);
    Ring({&a, &b, &c});
    Ring({&p, &q});
    p.ExcludeRoot(&b);
    EXPECT_EQ("ac", Walk(a));
    EXPECT_EQ("b", Walk(b));
    EXPECT_EQ("pq", Walk(p));  // the ring of this stays whole
}

TEST_F(GeomNodeTest, RemovedNodeKeepsItsLink) {
    Node a('a', 4), b('b', 1), c('c', 7);
    Ring({&a, &b, &c});
    a.ExcludeOwnRoot();
    EXPECT_EQ(&c, b.GetRoot());
    // Walks from b never come back to b: they end after passing every node once.
    EXPECT_EQ('a', NameOf(b.GetDBRoot()));
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
