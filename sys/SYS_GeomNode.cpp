#include "SYS_GeomNode.h"

#include "SSM_Assert.h"

// Every walk follows next links from a node's next until it reaches its end node or a null
// link. Links are edited by the product and may not form a ring through the walk's start (a
// removed node keeps pointing into its former ring); such a walk would never end. A Brent
// cycle check stops it instead: the walk remembers a node at every power-of-two step and stops
// when it arrives there again, which happens only after every reachable node was visited, so a
// walk that does end on a ring gives the same answer as the plain loop, at the cost of one
// compare per step.

namespace {

const char kUnit[] = "sys/SYS_GeomNode";

class LinkWalk {
public:
    LinkWalk(SYS_GeomNode* first, const SYS_GeomNode* end)
        : m_node(first), m_end(end), m_mark(first), m_steps(0), m_limit(1), m_looped(false) {}

    // Past the end node, on a null link, or back at a node already passed.
    bool Done() const { return m_node == nullptr || m_node == m_end || m_looped; }
    SYS_GeomNode* Node() const { return m_node; }
    // Moves to `next`, normally the link of Node() as it was before any edit.
    void MoveTo(SYS_GeomNode* next) {
        m_node = next;
        if (m_node == m_mark) {
            m_looped = true;
            return;
        }
        if (++m_steps == m_limit) {
            m_mark = m_node;
            m_limit *= 2;
            m_steps = 0;
        }
    }

private:
    SYS_GeomNode* m_node;
    const SYS_GeomNode* m_end;
    SYS_GeomNode* m_mark;
    long m_steps;
    long m_limit;
    bool m_looped;
};

}  // namespace

template <class Match>
SYS_GeomNode* SYS_GeomNode::FindAfter(const SYS_GeomNode* node, Match match) const {
    for (LinkWalk walk(node->m_next, this); !walk.Done(); walk.MoveTo(walk.Node()->m_next))
        if (match(walk.Node()->m_type)) return walk.Node();
    return nullptr;
}

SYS_GeomNode* SYS_GeomNode::GetNextRoot(const SYS_GeomNode* node) const {
    if (!SSM_CHECK(node != nullptr, "", kUnit, SSM_FailureError)) return nullptr;
    return node->m_next != this ? node->m_next : nullptr;
}

SYS_GeomNode* SYS_GeomNode::GetNextRoot(const SYS_GeomNode* node, SGN_Type type) const {
    if (!SSM_CHECK(node != nullptr, "", kUnit, SSM_FailureError)) return nullptr;
    return FindAfter(node, [type](short t) { return t == type; });
}

SYS_GeomNode* SYS_GeomNode::GetRoot(short type) const {
    return FindAfter(this, [type](short t) { return t == type; });
}

SYS_GeomNode* SYS_GeomNode::NextRoot(SYS_GeomNode* node, short type) const {
    return GetNextRoot(node, static_cast<SGN_Type>(type));
}

SYS_GeomNode* SYS_GeomNode::GetNextGeomRoot() const { return FindAfter(this, IsGeometryLink); }

SYS_GeomNode* SYS_GeomNode::GetDBRoot() const { return GetRoot(SGN_DBRoot); }

SYS_GeomNode* SYS_GeomNode::GetBRTRoot() const { return GetRoot(SGN_BRTRoot); }

// From start's next, the node whose next is `target`; null when start's next is `target`
// or null, or when a node of type 6 is met after start's next.
SYS_GeomNode* SYS_GeomNode::FindPredecessor(const SYS_GeomNode* start,
                                            const SYS_GeomNode* target) {
    SYS_GeomNode* first = start->m_next;
    if (first == target || first == nullptr) return nullptr;
    LinkWalk walk(first, nullptr);
    while (walk.Node()->m_next != target) {
        walk.MoveTo(walk.Node()->m_next);
        if (walk.Done() || walk.Node()->m_type == SGN_GeomBarrier) return nullptr;
    }
    return walk.Node();
}

SYS_GeomNode* SYS_GeomNode::GetPrevRoot(const SYS_GeomNode* node) const {
    if (!SSM_CHECK(node != nullptr, "", kUnit, SSM_FailureError)) return nullptr;
    return FindPredecessor(node, this);
}

void SYS_GeomNode::IncludeRoot(SYS_GeomNode* node) {
    if (!SSM_CHECK(node != nullptr && node != this, "", kUnit, SSM_FailureError)) return;
    node->m_next = m_next;
    m_next = node;
}

void SYS_GeomNode::ExcludeRoot(SYS_GeomNode* node) {
    if (!SSM_CHECK(node != nullptr, "", kUnit, SSM_FailureError)) return;
    SYS_GeomNode* previous = FindPredecessor(node, node);
    if (previous == nullptr) return;
    previous->m_next = node->m_next;
    node->m_next = node;
}

void SYS_GeomNode::ExcludeOwnRoot() {
    if (m_next != nullptr) m_next = m_next->m_next;
}

void SYS_GeomNode::ExcludeNearType(short type) {
    // The nodes skipped so far are walked like a ring, so links that loop back among them
    // cannot hold this call.
    for (LinkWalk walk(m_next, this); !walk.Done() && walk.Node()->m_type == type;) {
        m_next = walk.Node()->m_next;
        walk.MoveTo(m_next);
    }
}

void SYS_GeomNode::ExcludeByType(short type) {
    SYS_GeomNode* previous = this;
    for (LinkWalk walk(m_next, this); !walk.Done(); walk.MoveTo(walk.Node()->m_next)) {
        SYS_GeomNode* node = walk.Node();
        if (node->m_type == type)
            previous->m_next = node->m_next;  // the removed node keeps its link
        else
            previous = node;
    }
}
