// Random sequences of attach, hook, detach, enable, notify, transfer and destruction, run on
// the real events and on a reference model built from std::vector, compared call by call.
// Listeners carry one-shot reactions that do the same things from inside a dispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "SCC_Event.h"

namespace {

const int kEvents = 3;
const int kNodes = 8;
const int kMaxDepth = 4;
const int kHead = -1;
// Ties and both extremes: an INT_MAX hook goes ahead of plain nodes, an INT_MIN one to the tail.
const int kPriorities[] = {INT_MIN, -1, 0, 1, INT_MAX};

enum class Op {
    AddNode, AddHook, Detach, EnableNode, EnableEvent, Notify, Transfer, Destroy, None
};

struct Action {
    Op op = Op::None;
    int event = 0;   // target event
    int node = 0;    // node, or source event of a transfer
    int value = 0;   // priority, flag or code
};

// {node, kind (0 call, 1 enable callback), code or flag}
typedef std::array<int, 3> LogEntry;

// What every side can do; reactions and top-level steps go through the same entry.
class Side {
public:
    virtual ~Side() = default;
    virtual void AddNodeTo(int event, int node) = 0;
    virtual void AddHookTo(int event, int node, int priority) = 0;
    virtual void DetachNode(int node) = 0;
    virtual void EnableNode(int node, int flag) = 0;
    virtual void EnableEvent(int event, int flag) = 0;
    virtual void NotifyEvent(int event, int code) = 0;
    virtual void Transfer(int target, int source) = 0;
    virtual void Destroy(int node) = 0;

    void Apply(const Action& a) {
        switch (a.op) {
        case Op::AddNode: AddNodeTo(a.event, a.node); break;
        case Op::AddHook: if (m_isHook[a.node]) AddHookTo(a.event, a.node, a.value); break;
        case Op::Detach: DetachNode(a.node); break;
        case Op::EnableNode: EnableNode(a.node, a.value); break;
        case Op::EnableEvent: EnableEvent(a.event, a.value); break;
        case Op::Notify:
            if (m_depth < kMaxDepth) {
                ++m_depth;
                NotifyEvent(a.event, a.value);
                --m_depth;
            }
            break;
        case Op::Transfer: Transfer(a.event, a.node); break;
        case Op::Destroy: Destroy(a.node); break;
        case Op::None: break;
        }
    }
    // A listener was called: log, then fire its armed reaction once.
    void OnCall(int node, int code) {
        log.push_back({node, 0, code});
        Action reaction = m_reaction[node];
        m_reaction[node] = Action();
        Apply(reaction);
    }
    void Arm(int node, const Action& a) { m_reaction[node] = a; }

    std::vector<LogEntry> log;
    std::vector<bool> m_isHook = std::vector<bool>(kNodes);

private:
    Action m_reaction[kNodes];
    int m_depth = 0;
};

// ----- the real thing -----
template <class Base>
class TestNode : public Base {
public:
    TestNode(Side* side, int id) : m_side(side), m_id(id) {}
    int OnNotification(int code, int*) override {
        Side* side = m_side;  // the reaction may destroy this node
        side->OnCall(m_id, code);
        return 0;
    }
    void OnEventEnable(int flag) override { m_side->log.push_back({m_id, 1, flag}); }

private:
    Side* m_side;
    int m_id;
};

class RealSide : public Side {
public:
    explicit RealSide(const std::vector<bool>& isHook) {
        m_isHook = isHook;
        for (int n = 0; n < kNodes; ++n) Create(n);
    }
    ~RealSide() override {
        for (auto& node : m_nodes) node.reset();  // nodes first, then events: both orders work
    }
    void AddNodeTo(int event, int node) override { AddNode(m_events[event], *m_nodes[node]); }
    void AddHookTo(int event, int node, int priority) override {
        SCC_EventHook<int>& hook = static_cast<SCC_EventHook<int>&>(*m_nodes[node]);
        hook.SetPriority(priority);
        AddHook(m_events[event], hook);
    }
    void DetachNode(int node) override { Detach(*m_nodes[node]); }
    void EnableNode(int node, int flag) override { m_nodes[node]->Enable(flag); }
    void EnableEvent(int event, int flag) override { m_events[event].Enable(flag); }
    void NotifyEvent(int event, int code) override { m_events[event].Notify(code, nullptr); }
    void Transfer(int target, int source) override { m_events[target] = m_events[source]; }
    void Destroy(int node) override { Create(node); }

    // Ring of an event as node ids, checking links and owners on the way.
    std::vector<int> Ring(int event) const {
        std::vector<int> ids;
        const SCC_EventNode<int>* head = &m_events[event];
        for (const SCC_EventNode<int>* n = head->GetNextNode(); n != head; n = n->GetNextNode()) {
            EXPECT_EQ(n, n->GetNextNode()->GetPrevNode());
            EXPECT_EQ(head, n->GetOwner());
            ids.push_back(IdOf(n));
            if (ids.size() > static_cast<size_t>(kNodes)) break;
        }
        return ids;
    }
    int IsEnabled(int node) const { return m_nodes[node]->IsEnabled(); }
    bool IsDetached(int node) const {
        const SCC_EventNode<int>& n = *m_nodes[node];
        return n.GetOwner() == nullptr && n.GetNextNode() == &n && n.GetPrevNode() == &n;
    }
    bool NoDispatchRuns() const {
        for (const auto& e : m_events)
            if (e.GetOwner() != nullptr) return false;
        return true;
    }

private:
    void Create(int node) {
        m_nodes[node].reset();
        if (m_isHook[node]) {
            m_nodes[node].reset(new TestNode<SCC_EventHook<int>>(this, node));
        } else {
            m_nodes[node].reset(new TestNode<SCC_EventNode<int>>(this, node));
        }
    }
    int IdOf(const SCC_EventNode<int>* n) const {
        for (int i = 0; i < kNodes; ++i)
            if (m_nodes[i].get() == n) return i;
        return -99;
    }

    SCC_Event<int> m_events[kEvents];
    std::unique_ptr<SCC_EventNode<int>> m_nodes[kNodes];
};

// ----- the reference model -----
class ModelSide : public Side {
public:
    explicit ModelSide(const std::vector<bool>& isHook) { m_isHook = isHook; }

    void AddNodeTo(int event, int node) override {
        DetachNode(node);
        m_rings[event].push_back(node);
        m_owner[node] = event;
    }
    void AddHookTo(int event, int node, int priority) override {
        DetachNode(node);
        m_priority[node] = priority;
        std::vector<int>& ring = m_rings[event];
        size_t at = 0;
        while (at < ring.size() && PriorityOf(ring[at]) > priority) ++at;
        ring.insert(ring.begin() + at, node);
        m_owner[node] = event;
    }
    void DetachNode(int node) override {
        int event = m_owner[node];
        if (event < 0) return;
        std::vector<int>& ring = m_rings[event];
        size_t at = std::find(ring.begin(), ring.end(), node) - ring.begin();
        for (int* cursor : m_cursors[event])
            if (*cursor == node) *cursor = at == 0 ? kHead : ring[at - 1];
        ring.erase(ring.begin() + at);
        m_owner[node] = -1;
    }
    void EnableNode(int node, int flag) override {
        if (m_enabled[node] == flag) return;
        m_enabled[node] = flag;
        log.push_back({node, 1, flag});
    }
    void EnableEvent(int event, int flag) override { m_eventEnabled[event] = flag; }
    void NotifyEvent(int event, int code) override {
        int cursor = m_rings[event].empty() ? kHead : m_rings[event][0];
        m_cursors[event].push_back(&cursor);
        while (m_eventEnabled[event] && cursor != kHead) {
            if (m_enabled[cursor]) OnCall(cursor, code);
            cursor = After(event, cursor);
        }
        m_cursors[event].pop_back();
    }
    void Transfer(int target, int source) override {
        if (target == source) return;
        while (!m_rings[target].empty()) DetachNode(m_rings[target][0]);
        for (int* cursor : m_cursors[source]) *cursor = kHead;
        m_rings[target].swap(m_rings[source]);
        for (int node : m_rings[target]) m_owner[node] = target;
    }
    void Destroy(int node) override {
        DetachNode(node);
        m_enabled[node] = 1;
        m_priority[node] = 0;
    }

    std::vector<int> m_rings[kEvents];
    int m_enabled[kNodes] = {1, 1, 1, 1, 1, 1, 1, 1};
    int m_owner[kNodes] = {-1, -1, -1, -1, -1, -1, -1, -1};

private:
    int PriorityOf(int node) const { return m_isHook[node] ? m_priority[node] : INT_MAX; }
    int After(int event, int cursor) const {
        const std::vector<int>& ring = m_rings[event];
        if (cursor == kHead) return ring.empty() ? kHead : ring[0];
        size_t at = std::find(ring.begin(), ring.end(), cursor) - ring.begin();
        EXPECT_LT(at, ring.size()) << "model cursor left its ring";
        return at + 1 < ring.size() ? ring[at + 1] : kHead;
    }

    int m_priority[kNodes] = {};
    int m_eventEnabled[kEvents] = {1, 1, 1};
    std::vector<int*> m_cursors[kEvents];
};

Action RandomAction(std::mt19937& rng, bool inDispatch) {
    auto pick = [&](int n) { return static_cast<int>(rng() % n); };
    Action a;
    a.op = static_cast<Op>(pick(8));
    a.event = pick(kEvents);
    a.node = a.op == Op::Transfer ? pick(kEvents) : pick(kNodes);
    switch (a.op) {
    case Op::AddHook: a.value = kPriorities[pick(5)]; break;
    case Op::EnableNode:
    case Op::EnableEvent: a.value = pick(4) == 0 ? 2 : pick(2); break;  // 2: a non-boolean flag
    case Op::Notify: a.value = pick(100) + (inDispatch ? 100 : 0); break;
    default: break;
    }
    // Keep the events mostly enabled so that dispatches have something to do.
    if (a.op == Op::EnableEvent && !inDispatch && pick(2) == 0) a.value = 1;
    return a;
}

void RunSequence(unsigned seed, int steps) {
    std::mt19937 rng(seed);
    std::vector<bool> isHook(kNodes);
    for (int n = 0; n < kNodes; ++n) isHook[n] = rng() % 2 == 0;
    RealSide real(isHook);
    ModelSide model(isHook);
    size_t checked = 0;
    for (int step = 0; step < steps; ++step) {
        if (rng() % 3 == 0) {  // arm a reaction on both sides
            int node = static_cast<int>(rng() % kNodes);
            Action reaction = RandomAction(rng, true);
            real.Arm(node, reaction);
            model.Arm(node, reaction);
        }
        Action action = RandomAction(rng, false);
        real.Apply(action);
        model.Apply(action);
        SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
        for (; checked < std::min(real.log.size(), model.log.size()); ++checked)
            ASSERT_EQ(model.log[checked], real.log[checked]) << "log entry " << checked;
        ASSERT_EQ(model.log.size(), real.log.size());
        ASSERT_TRUE(real.NoDispatchRuns());
        for (int e = 0; e < kEvents; ++e) ASSERT_EQ(model.m_rings[e], real.Ring(e)) << "event " << e;
        for (int n = 0; n < kNodes; ++n) {
            ASSERT_EQ(model.m_enabled[n], real.IsEnabled(n)) << "node " << n;
            ASSERT_EQ(model.m_owner[n] < 0, real.IsDetached(n)) << "node " << n;
        }
    }
}

TEST(SCC_EventModel, RandomSequencesMatchTheReferenceModel) {
    for (unsigned seed = 1; seed <= 3000 && !HasFatalFailure(); ++seed) RunSequence(seed, 60);
    for (unsigned seed = 100001; seed <= 100040 && !HasFatalFailure(); ++seed) RunSequence(seed, 2000);
}

}  // namespace
