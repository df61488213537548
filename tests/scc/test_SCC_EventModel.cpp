// Random sequences of attach (at the tail or before another node), hook, detach, enable, notify,
// transfer and destruction, run on the real events and on a reference model built from
// std::vector, compared call by call. Listeners carry one-shot reactions that do the same things
// from inside a dispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <functional>
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

class Side;
typedef std::function<void(Side&)> Action;
typedef std::array<int, 3> LogEntry;  // {node, 0 call or 1 enable callback, code or flag}

// What every side can do; reactions and top-level steps go through the same entry.
class Side {
public:
    explicit Side(const std::vector<bool>& hooks) : isHook(hooks) {}
    virtual ~Side() = default;
    virtual void AddNodeTo(int event, int node) = 0;
    virtual void AddNodeBeforeTo(int event, int node, int anchor) = 0;
    virtual void AddHookTo(int event, int node, int priority) = 0;
    virtual void DetachNode(int node) = 0;
    virtual void EnableNode(int node, int flag) = 0;
    virtual void EnableEvent(int event, int flag) = 0;
    virtual void NotifyEvent(int event, int code) = 0;
    virtual void Transfer(int target, int source) = 0;
    virtual void Destroy(int node) = 0;

    // Nested dispatches stop at a fixed depth, on both sides alike.
    void Notify(int event, int code) {
        if (m_depth == kMaxDepth) return;
        ++m_depth;
        NotifyEvent(event, code);
        --m_depth;
    }
    // A listener was called: log, then fire its armed reaction once.
    void OnCall(int node, int code) {
        log.push_back({node, 0, code});
        Action reaction = std::move(m_reaction[node]);
        m_reaction[node] = nullptr;
        if (reaction) reaction(*this);
    }
    void Arm(int node, const Action& a) { m_reaction[node] = a; }

    const std::vector<bool> isHook;
    std::vector<LogEntry> log;

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
        m_side->OnCall(m_id, code);  // the reaction may destroy this node: touch nothing after
        return 0;
    }
    void OnEventEnable(int flag) override { m_side->log.push_back({m_id, 1, flag}); }

private:
    Side* m_side;
    int m_id;
};

class RealSide : public Side {
public:
    explicit RealSide(const std::vector<bool>& hooks) : Side(hooks) {
        for (int n = 0; n < kNodes; ++n) Destroy(n);
    }
    ~RealSide() override {
        for (auto& node : m_nodes) node.reset();  // nodes first, then events
    }
    void AddNodeTo(int event, int node) override { AddNode(m_events[event], *m_nodes[node]); }
    void AddNodeBeforeTo(int event, int node, int anchor) override {
        AddNodeBefore(m_events[event], *m_nodes[node], *m_nodes[anchor]);
    }
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
    // Destroys the node and puts a fresh one in its place.
    void Destroy(int node) override {
        m_nodes[node].reset();
        if (isHook[node]) m_nodes[node].reset(new TestNode<SCC_EventHook<int>>(this, node));
        else m_nodes[node].reset(new TestNode<SCC_EventNode<int>>(this, node));
    }

    // Ring of an event as node ids, checking links and owners on the way.
    std::vector<int> Ring(int event) const {
        std::vector<int> ids;
        const SCC_EventNode<int>* head = &m_events[event];
        const SCC_EventNode<int>* n = head->GetNextNode();
        for (; n != head && static_cast<int>(ids.size()) <= kNodes; n = n->GetNextNode()) {
            EXPECT_EQ(n, n->GetNextNode()->GetPrevNode());
            EXPECT_EQ(head, n->GetOwner());
            auto same = [n](const std::unique_ptr<SCC_EventNode<int>>& p) { return p.get() == n; };
            ids.push_back(static_cast<int>(std::find_if(m_nodes, m_nodes + kNodes, same) - m_nodes));
        }
        return ids;
    }
    int IsEnabled(int node) const { return m_nodes[node]->IsEnabled(); }
    bool IsDetached(int node) const {
        const SCC_EventNode<int>& n = *m_nodes[node];
        return n.GetOwner() == nullptr && n.GetNextNode() == &n && n.GetPrevNode() == &n;
    }
    bool NoDispatchRuns() const {
        return std::all_of(m_events, m_events + kEvents, [](auto& e) { return e.GetOwner() == nullptr; });
    }

private:
    SCC_Event<int> m_events[kEvents];
    std::unique_ptr<SCC_EventNode<int>> m_nodes[kNodes];
};

// ----- the reference model -----
class ModelSide : public Side {
public:
    using Side::Side;

    void AddNodeTo(int event, int node) override { LinkBefore(event, node, kHead); }
    // Before the anchor when it is in the event, else at the tail; before itself it stays.
    void AddNodeBeforeTo(int event, int node, int anchor) override {
        if (node != anchor) LinkBefore(event, node, m_owner[anchor] == event ? anchor : kHead);
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
        const int event = m_owner[node];
        if (event < 0) return;
        std::vector<int>& ring = m_rings[event];
        const size_t at = std::find(ring.begin(), ring.end(), node) - ring.begin();
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
    void LinkBefore(int event, int node, int anchor) {
        DetachNode(node);
        std::vector<int>& ring = m_rings[event];
        ring.insert(anchor == kHead ? ring.end() : std::find(ring.begin(), ring.end(), anchor), node);
        m_owner[node] = event;
    }
    int PriorityOf(int node) const { return isHook[node] ? m_priority[node] : INT_MAX; }
    int After(int event, int cursor) const {
        const std::vector<int>& ring = m_rings[event];
        if (cursor == kHead) return ring.empty() ? kHead : ring[0];
        const size_t at = std::find(ring.begin(), ring.end(), cursor) - ring.begin();
        EXPECT_LT(at, ring.size()) << "model cursor left its ring";
        return at + 1 < ring.size() ? ring[at + 1] : kHead;
    }

    int m_priority[kNodes] = {};
    int m_eventEnabled[kEvents] = {1, 1, 1};
    std::vector<int*> m_cursors[kEvents];
};

Action RandomAction(std::mt19937& rng, bool inDispatch) {
    auto pick = [&](int n) { return static_cast<int>(rng() % n); };
    const int op = pick(9), event = pick(kEvents), node = pick(kNodes), source = pick(kEvents);
    const int anchor = pick(kNodes);
    const int flag = pick(4) == 0 ? 2 : pick(2);  // 2: a non-boolean flag
    const int priority = kPriorities[pick(5)];
    const int code = pick(100) + (inDispatch ? 100 : 0);
    // Keep the events mostly enabled so that dispatches have something to do.
    const int eventFlag = !inDispatch && pick(2) == 0 ? 1 : flag;
    switch (op) {
    case 0: return [=](Side& s) { s.AddNodeTo(event, node); };
    case 1: return [=](Side& s) { if (s.isHook[node]) s.AddHookTo(event, node, priority); };
    case 2: return [=](Side& s) { s.DetachNode(node); };
    case 3: return [=](Side& s) { s.EnableNode(node, flag); };
    case 4: return [=](Side& s) { s.EnableEvent(event, eventFlag); };
    case 5: return [=](Side& s) { s.Notify(event, code); };
    case 6: return [=](Side& s) { s.Transfer(event, source); };
    case 7: return [=](Side& s) { s.AddNodeBeforeTo(event, node, anchor); };
    default: return [=](Side& s) { s.Destroy(node); };
    }
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
            const int node = static_cast<int>(rng() % kNodes);
            const Action reaction = RandomAction(rng, true);
            real.Arm(node, reaction);
            model.Arm(node, reaction);
        }
        const Action action = RandomAction(rng, false);
        action(real);
        action(model);
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
