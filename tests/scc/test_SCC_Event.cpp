#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "SCC_Event.h"
#include "SCC_Notifier.h"

namespace {

typedef std::vector<std::string> CallLog;

// A plain listener that logs "<name>:<code>" and then runs an optional reaction.
class Listener : public SCC_EventNode<int> {
public:
    Listener(const char* name, CallLog& log) : m_name(name), m_log(&log) {}
    int OnNotification(int code, int*) override {
        m_log->push_back(m_name + ":" + std::to_string(code));
        if (m_reaction) m_reaction(code);
        return 7;
    }
    void OnEventEnable(int flag) override {
        m_log->push_back(m_name + ".enable" + std::to_string(flag));
    }

    std::function<void(int)> m_reaction;

private:
    std::string m_name;
    CallLog* m_log;
};

CallLog* s_hookLog = nullptr;
template <int N>
int LogHook(int code, int*) {
    s_hookLog->push_back("h" + std::to_string(N) + ":" + std::to_string(code));
    return 0;
}

// Attaches the listeners at the tail in the order given.
void AddNodes(SCC_Event<int>& event, std::initializer_list<SCC_EventNode<int>*> nodes) {
    for (SCC_EventNode<int>* node : nodes) AddNode(event, *node);
}

bool IsSelfLinkedAndFree(const SCC_EventNode<int>& node) {
    return node.GetOwner() == nullptr && node.GetNextNode() == &node && node.GetPrevNode() == &node;
}

// Ring of `event` from the first node to the last, checking both directions agree.
std::vector<const SCC_EventNode<int>*> Ring(const SCC_Event<int>& event) {
    std::vector<const SCC_EventNode<int>*> nodes;
    const SCC_EventNode<int>* node = event.GetNextNode();
    while (node != &event) {
        EXPECT_EQ(&event, node->GetOwner());
        EXPECT_EQ(node, node->GetNextNode()->GetPrevNode());
        nodes.push_back(node);
        node = node->GetNextNode();
    }
    return nodes;
}

TEST(SCC_Event, NewNodesAndEventsAreEnabledSelfLinkedAndFree) {
    SCC_Notifier notifier;
    SCC_EventNode<int> node;
    SCC_EventHook<int> hook;
    EXPECT_TRUE(IsSelfLinkedAndFree(notifier));
    EXPECT_TRUE(IsSelfLinkedAndFree(node));
    EXPECT_TRUE(notifier.IsEnabled() && node.IsEnabled() && hook.IsEnabled());
    EXPECT_EQ(1, notifier.IsEvent());
    EXPECT_EQ(0, node.IsEvent());
    EXPECT_EQ(2147483647, node.GetPriority());
    EXPECT_EQ(0, hook.GetPriority());
    EXPECT_EQ(0, node.OnNotification(1, nullptr));
    EXPECT_EQ(0, SCC_Event<int>().Notify(1, nullptr));  // an empty event calls nothing
    EXPECT_FALSE(notifier.HasListeners());
    AddNode(notifier, node);
    node.Enable(FALSE);
    EXPECT_TRUE(notifier.HasListeners());  // a disabled listener is still a listener
    Detach(node);
    EXPECT_FALSE(notifier.HasListeners());
}

// Nodes 0..3 start in the ring of `a` in that order, node 4 is free, node 5 is in `b`.
struct InsertBeforeCase {
    const char* name;
    int node;
    int anchor;                 // -1: the event head itself
    std::vector<int> expectedA;  // node indexes of a's ring afterwards
};

const InsertBeforeCase kInsertBefore[] = {
    {"a free node before the first", 4, 0, {4, 0, 1, 2, 3}},
    {"a free node before the last", 4, 3, {0, 1, 2, 4, 3}},
    {"a node of the ring moves backward", 3, 1, {0, 3, 1, 2}},
    {"a node of the ring moves forward", 0, 3, {1, 2, 0, 3}},
    {"already right before the anchor", 1, 2, {0, 1, 2, 3}},
    {"before itself: stays", 2, 2, {0, 1, 2, 3}},
    {"anchor in another event: tail", 4, 5, {0, 1, 2, 3, 4}},
    {"free anchor: tail", 0, 4, {1, 2, 3, 0}},
    {"before the head: tail", 1, -1, {0, 2, 3, 1}},
    {"taken from another event", 5, 1, {0, 5, 1, 2, 3}},
};

TEST(SCC_Event, AddNodeBeforeLinksRightBeforeTheAnchorOfTheSameRing) {
    for (const InsertBeforeCase& c : kInsertBefore) {
        SCOPED_TRACE(c.name);
        SCC_Event<int> a, b;
        std::vector<std::unique_ptr<SCC_EventNode<int>>> nodes;
        for (int i = 0; i < 6; ++i) nodes.emplace_back(new SCC_EventNode<int>);
        for (int i = 0; i < 4; ++i) AddNode(a, *nodes[i]);
        AddNode(b, *nodes[5]);
        SCC_EventNode<int>& anchor = c.anchor < 0 ? a : *nodes[c.anchor];
        AddNodeBefore(a, *nodes[c.node], anchor);
        std::vector<const SCC_EventNode<int>*> expected;
        for (int index : c.expectedA) expected.push_back(nodes[index].get());
        EXPECT_EQ(expected, Ring(a));
        if (c.node == 5) {
            EXPECT_TRUE(Ring(b).empty());
        }
    }
}

TEST(SCC_Event, NodeAddedBeforeAnAnchorDuringDispatchFollowsTheCursorRule) {
    CallLog log;
    SCC_Event<int> event;
    Listener a("a", log), b("b", log), c("c", log), early("early", log), late("late", log);
    AddNodes(event, {&a, &b, &c});
    b.m_reaction = [&](int) {
        AddNodeBefore(event, early, a);  // in front of the cursor: waits for the next dispatch
        AddNodeBefore(event, late, c);   // behind it: called in this one, before c
        b.m_reaction = nullptr;
    };
    event.Notify(1, nullptr);
    EXPECT_EQ((CallLog{"a:1", "b:1", "late:1", "c:1"}), log);
    log.clear();
    event.Notify(2, nullptr);
    EXPECT_EQ((CallLog{"early:2", "a:2", "b:2", "late:2", "c:2"}), log);
}

const int kPlain = INT_MIN;

struct HookOrderCase {
    const char* name;
    std::vector<int> priorities;  // in attach order; kPlain attaches a plain node with AddNode
    std::vector<int> expected;    // attach indexes in call order
};

const HookOrderCase kHookOrder[] = {
    {"plain nodes rank above hooks, AddNode appends", {kPlain, 4, kPlain, -3, 7}, {0, 4, 1, 2, 3}},
    {"INT_MAX hook goes ahead of plain nodes", {kPlain, kPlain, INT_MAX}, {2, 0, 1}},
    {"INT_MIN hook at the tail", {INT_MIN + 1, 3, INT_MIN + 1}, {1, 2, 0}},
};

TEST(SCC_Event, AddHookOrdersByDescendingPriority) {
    for (const HookOrderCase& c : kHookOrder) {
        SCOPED_TRACE(c.name);
        SCC_Event<int> event;
        std::vector<std::unique_ptr<SCC_EventNode<int>>> nodes;
        for (int priority : c.priorities) {
            if (priority == kPlain) {
                nodes.emplace_back(new SCC_EventNode<int>);
                AddNode(event, *nodes.back());
            } else {
                SCC_EventHook<int>* hook = new SCC_EventHook<int>(nullptr, priority);
                nodes.emplace_back(hook);
                AddHook(event, *hook);
            }
        }
        std::vector<const SCC_EventNode<int>*> expected;
        for (int index : c.expected) expected.push_back(nodes[index].get());
        EXPECT_EQ(expected, Ring(event));
    }
}

TEST(SCC_Event, HooksCallTheirFunctionsInPriorityOrder) {
    CallLog log;
    s_hookLog = &log;
    SCC_Event<int> event;
    SCC_EventHook<int> first5(LogHook<1>, 5), one(LogHook<2>, 1), second5(LogHook<3>, 5);
    SCC_EventHook<int> silent;  // no function: does nothing
    AddHook(event, first5);
    AddHook(event, one);
    AddHook(event, second5);
    AddHook(event, silent);
    EXPECT_EQ(0, silent.OnNotification(1, nullptr));
    event.Notify(9, nullptr);
    EXPECT_EQ((CallLog{"h3:9", "h1:9", "h2:9"}), log);
}

TEST(SCC_Event, ThrowingListenerPopsTheCursor) {
    CallLog log;
    SCC_Event<int> event;
    Listener a("a", log), b("b", log);
    AddNodes(event, {&a, &b});
    a.m_reaction = [&](int code) {
        if (code == 1) event.Notify(2, nullptr);  // nested level throws through both
        if (code == 2) throw std::runtime_error("listener failed");
    };
    EXPECT_THROW(event.Notify(1, nullptr), std::runtime_error);
    EXPECT_EQ(nullptr, event.GetOwner());
    a.m_reaction = nullptr;
    log.clear();
    event.Notify(3, nullptr);
    Detach(a);  // detaching with no dispatch running must not touch a stale cursor
    event.Notify(4, nullptr);
    EXPECT_EQ((CallLog{"a:3", "b:3", "b:4"}), log);
}

TEST(SCC_Event, DestroyingTheEventFirstLeavesListenersDetached) {
    CallLog log;
    Listener a("a", log), b("b", log);
    a.Enable(FALSE);
    {
        SCC_Event<int> event;
        AddNodes(event, {&a, &b});
    }
    EXPECT_TRUE(IsSelfLinkedAndFree(a));
    EXPECT_TRUE(IsSelfLinkedAndFree(b));
    EXPECT_TRUE(a.IsEnabled());  // left enabled, without a callback
    EXPECT_EQ(CallLog{"a.enable0"}, log);
    Detach(a);                    // harmless
}

TEST(SCC_Event, ListenerMayDestroyTheEventItListensTo) {
    CallLog log;
    Listener a("a", log), b("b", log);
    SCC_Event<int>* event = new SCC_Event<int>;
    AddNodes(*event, {&a, &b});
    a.m_reaction = [&](int code) {
        if (code == 1) event->Notify(2, nullptr);
        if (code == 2) {
            delete event;
            event = nullptr;
        }
    };
    SCC_Event<int>* target = event;
    target->Notify(1, nullptr);
    EXPECT_EQ((CallLog{"a:1", "a:2"}), log);
    EXPECT_TRUE(IsSelfLinkedAndFree(a));
    EXPECT_TRUE(IsSelfLinkedAndFree(b));
}

TEST(SCC_Notifier, CopyTransfersAllListenersInOrder) {
    CallLog log;
    SCC_Notifier a;
    Listener x("x", log), y("y", log);
    AddNodes(a, {&x, &y});
    SCC_Notifier b(a);
    a.Notify(1, nullptr);
    b.Notify(2, nullptr);
    EXPECT_EQ((CallLog{"x:2", "y:2"}), log);
    EXPECT_TRUE(IsSelfLinkedAndFree(a));
    EXPECT_EQ((std::vector<const SCC_EventNode<int>*>{&x, &y}), Ring(b));
}

TEST(SCC_Notifier, PointerArgumentCarriesAFullWidthValue) {
    struct Reader : SCC_EventNode<int> {
        int OnNotification(int, int* data) override {
            value = SCC_Notifier::DataAsValue(data);
            return 0;
        }
        SYS_Handle value = 0;
    } reader;
    SCC_Notifier notifier(123);
    AddNode(notifier, reader);
    const SYS_Handle handles[] = {1, -1, SYS_Handle(0x7FFFFFFF) + 5, INTPTR_MIN, INTPTR_MAX};
    for (SYS_Handle handle : handles) {
        notifier.Notify(1, SCC_Notifier::ValueAsData(handle));
        EXPECT_EQ(handle, reader.value);
    }
    EXPECT_EQ(&notifier, notifier.GetNotifier());
    EXPECT_EQ(10, SCC_Notifier::GetMassNotificationTreshold());
}

struct Observer {
    int OnChange(int code, double* data) {
        calls.push_back(code);
        last = data;
        return 0;
    }
    std::vector<int> calls;
    double* last = nullptr;
};

TEST(SCC_ObjectEventHook, CallsTheMemberFunctionWithTheTypedData) {
    Observer observer;
    SCC_Event<double> event;
    SCC_ObjectEventHook<Observer, double> hook(&observer, &Observer::OnChange, 3);
    SCC_ObjectEventHook<Observer, double> unset;
    AddHook(event, hook);
    AddHook(event, unset);
    double value = 2.5;
    event.Notify(6, &value);
    EXPECT_EQ(std::vector<int>{6}, observer.calls);
    EXPECT_EQ(&value, observer.last);
    EXPECT_EQ(3, hook.GetPriority());
    EXPECT_EQ(nullptr, hook.GetFunction());
}

TEST(SCC_EventNode, CopyingANodeCopiesTheFlagNotTheMembership) {
    SCC_Event<int> event;
    SCC_EventNode<int> a;
    a.Enable(FALSE);
    AddNode(event, a);
    SCC_EventNode<int> copy(a);
    EXPECT_TRUE(IsSelfLinkedAndFree(copy));
    EXPECT_FALSE(copy.IsEnabled());
    SCC_EventNode<int> target;
    AddNode(event, target);
    target = copy;
    EXPECT_EQ((std::vector<const SCC_EventNode<int>*>{&a, &target}), Ring(event));
}

}  // namespace
