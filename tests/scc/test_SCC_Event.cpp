#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SCC_Event.h"
#include "SCC_Notifier.h"

namespace {

typedef std::vector<std::string> CallLog;
typedef std::vector<const SCC_EventNode<int>*> Members;

// A plain listener that logs "<name>:<code>" and then runs an optional reaction.
class Listener : public SCC_EventNode<int> {
public:
    Listener(const char* name, CallLog& log) : m_name(name), m_log(&log) {}
    int OnNotification(int code, int*) override {
        m_log->push_back(m_name + ":" + std::to_string(code));
        if (m_reaction) m_reaction(code);
        return 7;
    }
    void OnEventEnable(int flag) override { m_log->push_back(m_name + ".enable" + std::to_string(flag)); }

    std::function<void(int)> m_reaction;

private:
    std::string m_name;
    CallLog* m_log;
};

bool IsSelfLinkedAndFree(const SCC_EventNode<int>& node) {
    return node.GetOwner() == nullptr && node.GetNextNode() == &node && node.GetPrevNode() == &node;
}

// Ring of `event` from the first node to the last, checking both directions agree.
Members Ring(const SCC_Event<int>& event) {
    Members nodes;
    for (const SCC_EventNode<int>* node = event.GetNextNode(); node != &event; node = node->GetNextNode()) {
        EXPECT_EQ(&event, node->GetOwner());
        EXPECT_EQ(node, node->GetNextNode()->GetPrevNode());
        nodes.push_back(node);
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
    EXPECT_EQ(0, hook.OnNotification(1, nullptr));  // no function: does nothing
    EXPECT_EQ(0, SCC_Event<int>().Notify(1, nullptr));  // an empty event calls nothing
    EXPECT_FALSE(notifier.HasListeners());
    AddNode(notifier, node);
    node.Enable(FALSE);
    EXPECT_TRUE(notifier.HasListeners());  // a disabled listener is still a listener

    // A copy takes the flag but not the membership; assigning keeps the target's place.
    SCC_EventNode<int> copy(node), target;
    EXPECT_TRUE(IsSelfLinkedAndFree(copy));
    EXPECT_FALSE(copy.IsEnabled());
    AddNode(notifier, target);
    target = copy;
    EXPECT_EQ((Members{&node, &target}), Ring(notifier));
    Detach(node);
    Detach(target);
    EXPECT_FALSE(notifier.HasListeners());
}

// An anchor outside the ring places the node at the tail, and the node itself leaves it where
// it is; an event assigned to itself keeps its listeners. A dispatch ends after the listener
// that hands its listeners to another event or disables it; a disabled event calls nobody, and
// enabling to the current flag makes no callback.
TEST(SCC_Event, PlacementTransferAndEnableEdges) {
    CallLog log;
    SCC_Event<int> event, other;
    Listener a("a", log), b("b", log);
    SCC_EventNode<int> loose;
    AddNodeBefore(event, a, loose);
    AddNodeBefore(event, b, a);
    AddNodeBefore(event, b, b);
    event = event;
    EXPECT_EQ((Members{&b, &a}), Ring(event));
    b.m_reaction = [&](int) { other = event; };
    event.Notify(1, nullptr);
    EXPECT_EQ((Members{&b, &a}), Ring(other));
    b.Enable(TRUE);
    b.m_reaction = [&](int) { other.Enable(FALSE); };
    other.Notify(2, nullptr);
    other.Notify(3, nullptr);
    EXPECT_EQ((CallLog{"b:1", "b:2"}), log);
}

// The event goes first, here from inside a nested dispatch: its listeners are left detached,
// and a disabled one gets its flag back without a callback.
TEST(SCC_Event, ListenerMayDestroyTheEventItListensTo) {
    CallLog log;
    Listener a("a", log), b("b", log);
    b.Enable(FALSE);
    SCC_Event<int>* event = new SCC_Event<int>;
    AddNode(*event, a);
    AddNode(*event, b);
    a.m_reaction = [&](int code) {
        if (code == 1) event->Notify(2, nullptr);
        if (code == 2) {
            delete event;
            event = nullptr;
        }
    };
    SCC_Event<int>* target = event;
    target->Notify(1, nullptr);
    EXPECT_EQ((CallLog{"b.enable0", "a:1", "a:2"}), log);
    EXPECT_TRUE(IsSelfLinkedAndFree(a));
    EXPECT_TRUE(IsSelfLinkedAndFree(b));
    EXPECT_TRUE(b.IsEnabled());
    Detach(a);  // harmless
}

TEST(SCC_Notifier, PointerArgumentCarriesAFullWidthValueAndCopiesTakeTheListeners) {
    struct Reader : SCC_EventNode<int> {
        int OnNotification(int, int* data) override {
            value = SCC_Notifier::DataAsValue(data);
            return 0;
        }
        SYS_Handle value = 0;
    } reader, second;
    SCC_Notifier notifier(123);
    AddNode(notifier, reader);
    AddNode(notifier, second);
    const SYS_Handle handles[] = {1, -1, SYS_Handle(0x7FFFFFFF) + 5, INTPTR_MIN, INTPTR_MAX};
    for (SYS_Handle handle : handles) {
        notifier.Notify(1, SCC_Notifier::ValueAsData(handle));
        EXPECT_EQ(handle, reader.value);
    }
    EXPECT_EQ(&notifier, notifier.GetNotifier());
    EXPECT_EQ(10, SCC_Notifier::GetMassNotificationTreshold());
    SCC_Notifier copy(notifier);  // takes every listener, in order
    EXPECT_TRUE(IsSelfLinkedAndFree(notifier));
    EXPECT_EQ((Members{&reader, &second}), Ring(copy));
}

CallLog* s_hookLog = nullptr;
int LogHook(int code, int*) {
    s_hookLog->push_back("hook:" + std::to_string(code));
    return 0;
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

TEST(SCC_ObjectEventHook, HooksCallTheirFunctionOrMemberFunction) {
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

    CallLog log;
    s_hookLog = &log;
    SCC_Event<int> plain;
    SCC_EventHook<int> functionHook(LogHook, 5);
    AddHook(plain, functionHook);
    plain.Notify(9, nullptr);
    EXPECT_EQ(CallLog{"hook:9"}, log);
}

}  // namespace
