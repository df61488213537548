// The ring walks and edits of SYS_GeomNode against a model that follows the rules literally on
// an index table, over random rings of random types (type 6 acting as a barrier). A walk the
// model finds endless is only required to end; the model then takes the real links over.

#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <optional>
#include <random>
#include <vector>

#include "SYS_GeomNode.h"
#include "tessar_reports.h"

namespace {

class Node : public SYS_GeomNode {
public:
    explicit Node(short type = 0) { SetNodeType(type); }
};

constexpr int kNull = -1;
constexpr short kTypes[] = {0, 1, 2, 3, 4, 6, 6, 7};

short RandomType(std::mt19937& random) { return kTypes[random() % std::size(kTypes)]; }

// The rules on indexes; nullopt where the plain walk would never end.
struct Model {
    std::vector<int> next;
    std::vector<short> type;

    int Limit() const { return int(next.size()) + 1; }

    template <class Match>
    std::optional<int> FindAfter(int node, int self, Match match) const {
        int steps = 0;
        for (int p = next[node]; p != kNull && p != self; p = next[p]) {
            if (++steps > Limit()) return std::nullopt;
            if (match(type[p])) return p;
        }
        return kNull;
    }
    std::optional<int> FindType(int node, int self, short t) const {
        return FindAfter(node, self, [t](short x) { return x == t; });
    }
    std::optional<int> Predecessor(int start, int target) const {
        int p = next[start];
        if (p == target || p == kNull) return kNull;
        for (int steps = 0; next[p] != target; ++steps) {
            if (steps > Limit()) return std::nullopt;
            p = next[p];
            if (p == kNull || type[p] == 6) return kNull;
        }
        return p;
    }
    bool ExcludeRoot(int node) {
        std::optional<int> previous = Predecessor(node, node);
        if (!previous) return false;
        if (*previous != kNull) {
            next[*previous] = next[node];
            next[node] = node;
        }
        return true;
    }
    bool ExcludeNearType(int self, short t) {
        int steps = 0;
        while (next[self] != self && next[self] != kNull && type[next[self]] == t) {
            if (++steps > Limit()) return false;
            next[self] = next[next[self]];
        }
        return true;
    }
    bool ExcludeByType(int self, short t) {
        int previous = self, steps = 0;
        for (int p = next[self]; p != kNull && p != self; p = next[p]) {
            if (++steps > Limit()) return false;
            if (type[p] == t)
                next[previous] = next[p];
            else
                previous = p;
        }
        return true;
    }
};

// Real nodes cut into random rings, with the model of their links and types.
struct Rings : Model {
    std::vector<Node> nodes;

    Rings(std::mt19937& random, int size) : nodes(size) {
        next.resize(size);
        type.resize(size);
        for (int start = 0; start < size;) {
            const int length = 1 + int(random() % unsigned(size - start));
            for (int k = 0; k < length; ++k) Link(start + k, start + (k + 1) % length);
            start += length;
        }
        for (int i = 0; i < size; ++i) nodes[i].SetNodeType(type[i] = RandomType(random));
        if (random() % 20 == 0) Link(int(random() % unsigned(size)), kNull);
    }

    Node* Ptr(int i) { return i == kNull ? nullptr : &nodes[i]; }
    int IndexOf(const SYS_GeomNode* node) const {
        return node == nullptr ? kNull : int(static_cast<const Node*>(node) - nodes.data());
    }

    // The raw links, read through a node outside every ring (GetRoot answers null both for a
    // node alone and for a null link).
    std::vector<int> Links() {
        static const Node outside;
        std::vector<int> links;
        for (Node& node : nodes) links.push_back(IndexOf(outside.GetNextRoot(&node)));
        return links;
    }

    void Link(int from, int to) {
        nodes[from].SetRoot(Ptr(to));
        next[from] = to;
    }
};

enum Operation {
    kGetRoot, kNextOfNode, kNextOfType, kRootOfType, kNextRoot, kGeomRoot, kDBRoot, kBRTRoot,
    kPrevRoot, kInclude, kExcludeRoot, kExcludeOwn, kExcludeNear, kExcludeByType, kOperations
};

// Runs one operation on the real nodes and the model; false when the model's walk is endless.
bool RunBoth(Rings& rings, int op, int self, int node, short t, int& real,
             std::optional<int>& expected) {
    Model& m = rings;
    Node& s = rings.nodes[self];
    Node* n = rings.Ptr(node);
    real = kNull;
    expected = kNull;
    switch (op) {
    case kGetRoot:
        real = rings.IndexOf(s.GetRoot());
        expected = m.next[self] == self ? kNull : m.next[self];
        return true;
    case kNextOfNode:
        real = rings.IndexOf(s.GetNextRoot(n));
        expected = m.next[node] == self ? kNull : m.next[node];
        return true;
    case kNextOfType:
    case kNextRoot:
        real = rings.IndexOf(op == kNextRoot ? s.NextRoot(n, t)
                                             : s.GetNextRoot(n, static_cast<SGN_Type>(t)));
        expected = m.FindType(node, self, t);
        break;
    case kRootOfType:
        real = rings.IndexOf(s.GetRoot(t));
        expected = m.FindType(self, self, t);
        break;
    case kGeomRoot:
        real = rings.IndexOf(s.GetNextGeomRoot());
        expected = m.FindAfter(self, self, [](short x) { return x == 1 || x == 2 || x == 6; });
        break;
    case kDBRoot:
    case kBRTRoot:
        real = rings.IndexOf(op == kDBRoot ? s.GetDBRoot() : s.GetBRTRoot());
        expected = m.FindType(self, self, op == kDBRoot ? 4 : 7);
        break;
    case kPrevRoot:
        real = rings.IndexOf(s.GetPrevRoot(n));
        expected = m.Predecessor(node, self);
        break;
    case kInclude:
        s.IncludeRoot(n);
        m.next[node] = m.next[self];
        m.next[self] = node;
        return true;
    case kExcludeRoot:
        s.ExcludeRoot(n);
        return m.ExcludeRoot(node);
    case kExcludeOwn:
        s.ExcludeOwnRoot();
        if (m.next[self] != kNull) m.next[self] = m.next[m.next[self]];
        return true;
    case kExcludeNear:
        s.ExcludeNearType(t);
        return m.ExcludeNearType(self, t);
    default:
        s.ExcludeByType(t);
        return m.ExcludeByType(self, t);
    }
    return expected.has_value();
}

TEST(SYS_GeomNode, WalksAndEditsFollowTheModelOnRandomRings) {
    tessar_test::ScopedReportRecorder reports;
    std::mt19937 random(53);
    int compared = 0, endless = 0;
    for (int trial = 0; trial < 6000; ++trial) {
        Rings rings(random, 1 + int(random() % 9));
        const unsigned size = unsigned(rings.nodes.size());
        for (int step = 0; step < 8; ++step) {
            const int op = int(random() % kOperations);
            const int self = int(random() % size);
            const int node = int(random() % size);
            if (op == kInclude && node == self) continue;  // refused, see the checks test
            const short t = RandomType(random);
            int real = kNull;
            std::optional<int> expected;
            SCOPED_TRACE(testing::Message() << "trial " << trial << " step " << step << " op "
                                            << op << " self " << self << " node " << node
                                            << " type " << t);
            if (!RunBoth(rings, op, self, node, t, real, expected)) {
                ++endless;
                rings.next = rings.Links();
                continue;
            }
            ++compared;
            ASSERT_EQ(*expected, real);
            ASSERT_EQ(rings.next, rings.Links());
        }
    }
    EXPECT_TRUE(reports.Reports().empty());
    // Both kinds of case must have been reached for the comparison to mean something.
    EXPECT_GT(compared, 30000);
    EXPECT_GT(endless, 100);
}

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
