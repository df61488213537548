#pragma once

#include <climits>

#include "TessarExport.h"
#include "TessarTypes.h"

/// @file
/// The observer framework. An event is the head of an intrusive, doubly linked ring of listener
/// nodes; notifying it calls every enabled node of the ring, in ring order, with a code and a
/// data pointer. Listeners are node objects embedded in their observers, so attaching,
/// detaching and dispatching only relink pointers and never allocate.
///
/// Ring and ownership. A detached node and an empty event point to themselves in both links,
/// never to null. An event never owns its listeners and a listener never owns its event; either
/// may be destroyed first: a destroyed listener leaves its ring, a destroyed event leaves its
/// former listeners detached, enabled and alive.
///
/// Dispatch. Every running dispatch of an event has a cursor (SCC_EventIterator) on the stack of
/// Notify; the cursors of one event form a stack whose innermost entry the event keeps in its
/// owner field. When a node leaves the ring, every cursor standing on it steps back to its
/// predecessor, so a dispatch always goes on with the node that followed the removed one.
/// During a dispatch, therefore:
///  - a listener may detach itself or any other node, also in nested dispatches;
///  - a node attached behind the current position is called in the same dispatch, a node
///    attached before it is not (re-attaching the current listener at the tail calls it again);
///  - a listener may notify the same event again; each level has its own cursor;
///  - a listener that disables the event ends the dispatch after itself;
///  - a listener may destroy the event: the running dispatches end after that listener (this
///    goes beyond the classic contract, which leaves it undefined);
///  - when a listener throws, its dispatch ends and the cursor is popped before the exception
///    leaves Notify.
///
/// An event head is never a listener of another event: AddNode, AddHook and Detach refuse an
/// SCC_Event at compile time. Nothing is checked or reported at run time; a null data pointer
/// passes through, and a listener's result is ignored.

template <class T> class SCC_EventNode;
template <class T> class SCC_Event;
template <class T> class SCC_EventHook;
template <class T> class SCC_EventIterator;

/// Detaches `node` from its current event (if any), then links it at the tail of `event`'s ring.
/// Constant time.
template <class T> void AddNode(SCC_Event<T>& event, SCC_EventNode<T>& node);
/// Detaches `node`, then links it directly before `anchor` in `event`'s ring, so that dispatch
/// calls it right before the anchor; when `anchor` is not in that ring, at the tail as AddNode
/// does. A node inserted before itself stays where it is. Constant time. During a dispatch the
/// usual rule holds: the node is called in the running dispatch when it lands behind the
/// dispatch's position.
template <class T>
void AddNodeBefore(SCC_Event<T>& event, SCC_EventNode<T>& node, SCC_EventNode<T>& anchor);
/// Detaches `hook`, then links it before the first node of `event` whose priority is less than or
/// equal to the hook's, else at the tail: the ring stays ordered by descending priority and a
/// hook goes ahead of the nodes of its own priority. Plain nodes (priority INT_MAX) stay ahead of
/// every hook of lower priority. Linear in the ring length.
template <class T> void AddHook(SCC_Event<T>& event, SCC_EventHook<T>& hook);
/// Takes `node` out of its event's ring after telling the event (OnNodeRemoved), so running
/// dispatches step past it; then the node is self-linked and without owner. No-op when detached.
template <class T> void Detach(SCC_EventNode<T>& node);

/// Event heads are not listeners.
template <class T> void AddNode(SCC_Event<T>& event, SCC_Event<T>& node) = delete;
template <class T>
void AddNodeBefore(SCC_Event<T>& event, SCC_Event<T>& node, SCC_EventNode<T>& anchor) = delete;
template <class T> void Detach(SCC_Event<T>& event) = delete;

/// A node of a ring; a plain node is a listener whose reaction is OnNotification. Destroying an
/// attached node detaches it. Copying a node copies its enabled flag, never its ring membership:
/// a copy starts detached, and assignment leaves the target where it is.
template <class T>
class TESSAR_EXPORT SCC_EventNode {
public:
    SCC_EventNode() : m_enabled(TRUE), m_owner(nullptr), m_prev(this), m_next(this) {}
    /// Copies the enabled flag only: the copy starts detached.
    SCC_EventNode(const SCC_EventNode& other)
        : m_enabled(other.m_enabled), m_owner(nullptr), m_prev(this), m_next(this) {}
    /// Copies the enabled flag only: the target stays where it is. Returns this node.
    SCC_EventNode& operator=(const SCC_EventNode& other) {
        m_enabled = other.m_enabled;
        return *this;
    }
    virtual ~SCC_EventNode() { Detach(*this); }

    /// For a listener, the event whose ring it is in (null when detached); for an event head, the
    /// cursor of its innermost running dispatch (null when none runs).
    virtual SCC_EventNode* GetOwner() const final { return m_owner; }
    /// The next node of the ring (the node itself when detached).
    virtual SCC_EventNode* GetNextNode() const final { return m_next; }
    /// Ordering key for AddHook; a plain node ranks above every hook.
    virtual int GetPriority() const { return INT_MAX; }
    /// TRUE for an event head, FALSE for a listener.
    virtual int IsEvent() const { return FALSE; }
    /// Stores `flag` and calls OnEventEnable(flag) when it differs from the current flag. A
    /// disabled node is skipped by dispatch; a disabled event dispatches nothing.
    virtual void Enable(int flag) {
        if (flag == m_enabled) return;
        m_enabled = flag;
        OnEventEnable(flag);
    }
    /// The listener's reaction; the result is ignored by dispatch.
    virtual int OnNotification(int /*code*/, T* /*data*/) { return 0; }
    /// Called on an event while one of its nodes is being detached, before the unlink.
    virtual void OnNodeRemoved(SCC_EventNode* /*node*/) {}
    /// Called after the enabled flag changed.
    virtual void OnEventEnable(int /*flag*/) {}

    /// Non-zero while the node is enabled (the default).
    int IsEnabled() const { return m_enabled; }
    /// The previous node of the ring (the node itself when detached).
    SCC_EventNode* GetPrevNode() const { return m_prev; }

private:
    friend class SCC_Event<T>;
    friend class SCC_EventIterator<T>;
    friend void AddNode<>(SCC_Event<T>& event, SCC_EventNode<T>& node);
    friend void AddNodeBefore<>(SCC_Event<T>& event, SCC_EventNode<T>& node,
                                SCC_EventNode<T>& anchor);
    friend void AddHook<>(SCC_Event<T>& event, SCC_EventHook<T>& hook);
    friend void Detach<>(SCC_EventNode<T>& node);

    /// Links a detached `node` just before `position` in the ring of `event`.
    static void LinkBefore(SCC_EventNode& position, SCC_EventNode& node, SCC_EventNode& event) {
        node.m_prev = position.m_prev;
        node.m_next = &position;
        position.m_prev->m_next = &node;
        position.m_prev = &node;
        node.m_owner = &event;
    }

    int m_enabled;
    SCC_EventNode* m_owner;
    SCC_EventNode* m_prev;
    SCC_EventNode* m_next;
};

/// The head of a ring; dispatches notifications to its nodes. Copying an event transfers its
/// listeners (see the copy constructor); the copy operations take a non-const reference.
template <class T>
class TESSAR_EXPORT SCC_Event : public SCC_EventNode<T> {
public:
    SCC_Event() = default;
    /// The new event takes over all listeners of `source`, in their order, and becomes their
    /// owner; `source` is left empty. A dispatch of `source` that is running at that moment ends
    /// after the listener it is calling. The new event starts enabled.
    SCC_Event(SCC_Event& source) : SCC_EventNode<T>() { TakeOver(source); }
    /// Detaches every listener of this event, then takes over those of `source` as the copy
    /// constructor does. A running dispatch of this event goes on with the listeners taken over.
    /// The enabled flags of both events are kept. Assignment to itself does nothing.
    SCC_Event& operator=(SCC_Event& source) {
        if (this == &source) return *this;
        DetachAll();
        TakeOver(source);
        return *this;
    }
    /// Detaches every listener in turn (running dispatches are fixed up and then end) and leaves
    /// it alive and enabled: a disabled listener gets its flag back without OnEventEnable.
    ~SCC_Event() override {
        EndRunningDispatches();
        while (this->m_next != this) {
            SCC_EventNode<T>* node = this->m_next;
            Detach(*node);
            node->m_enabled = TRUE;
        }
    }

    /// TRUE: this node is an event head.
    int IsEvent() const final { return TRUE; }
    /// An event head does not react to notifications; always 0.
    int OnNotification(int /*code*/, T* /*data*/) override { return 0; }
    /// Steps every running cursor that stands on `node` back to the node before it.
    void OnNodeRemoved(SCC_EventNode<T>* node) override;

    /// Calls every enabled listener in ring order with (code, data); always returns 0.
    int Notify(int code, T* data);

    /// TRUE when at least one node is attached (enabled or not), FALSE for an empty ring.
    int HasListeners() const { return this->m_next != this; }

private:
    friend class SCC_EventIterator<T>;

    /// True where the walk of this event's dispatch must stop: the ring came back to a head.
    bool IsEndOfDispatch(const SCC_EventNode<T>* node) const {
        // Nodes of this ring are recognised by their owner without a virtual call; anything
        // else (a head after a transfer moved the ring away) is asked.
        return node == nullptr || node == this || (node->m_owner != this && node->IsEvent());
    }
    SCC_EventIterator<T>* InnermostDispatch() const {
        return static_cast<SCC_EventIterator<T>*>(this->m_owner);
    }
    void DetachAll() {
        while (this->m_next != this) Detach(*this->m_next);
    }
    void TakeOver(SCC_Event& source);
    void EndRunningDispatches();
};

/// A listener with a priority that calls a plain function. A hook without a function does
/// nothing and answers 0. Changing the priority of an attached hook takes effect at its next
/// AddHook.
template <class T>
class TESSAR_EXPORT SCC_EventHook : public SCC_EventNode<T> {
public:
    /// The hook's reaction: receives the notification's code and data; its answer is ignored by
    /// dispatch.
    typedef int (*Function)(int code, T* data);

    /// A detached hook calling `function` (null: none) with the given priority.
    explicit SCC_EventHook(Function function = nullptr, int priority = 0)
        : m_priority(priority), m_function(function) {}

    /// The priority given (see AddHook); 0 by default.
    int GetPriority() const override { return m_priority; }
    /// Calls the function with (code, data) and answers its result; 0 without a function.
    int OnNotification(int code, T* data) override {
        return m_function != nullptr ? m_function(code, data) : 0;
    }

    /// Sets the priority; an attached hook moves only at its next AddHook.
    void SetPriority(int priority) { m_priority = priority; }
    /// Replaces the function (null: the hook does nothing).
    void SetFunction(Function function) { m_function = function; }
    /// The function called; null when none.
    Function GetFunction() const { return m_function; }

private:
    int m_priority;
    Function m_function;
};

/// A hook that calls a member function of an object; the function field of the base stays null.
/// Without an object or a method the hook does nothing and answers 0.
template <class Obj, class T>
class TESSAR_EXPORT SCC_ObjectEventHook : public SCC_EventHook<T> {
public:
    /// The reaction: a member function of Obj receiving the notification's code and data.
    typedef int (Obj::*Method)(int code, T* data);

    /// A detached hook calling object->*method (nothing while either is null) with the given
    /// priority.
    explicit SCC_ObjectEventHook(Obj* object = nullptr, Method method = nullptr, int priority = 0)
        : SCC_EventHook<T>(nullptr, priority), m_object(object), m_method(method) {}

    /// Calls object->*method with (code, data) and answers its result; 0 while either is null.
    int OnNotification(int code, T* data) override {
        return m_object != nullptr && m_method != nullptr ? (m_object->*m_method)(code, data) : 0;
    }

    /// Replaces the object and the method.
    void Set(Obj* object, Method method) {
        m_object = object;
        m_method = method;
    }
    /// The object called; not owned, null when none.
    Obj* GetObject() const { return m_object; }

private:
    Obj* m_object;
    Method m_method;
};

/// The cursor of one running dispatch, built on the stack of Notify and never attached to a
/// ring. Its owner field is the node the dispatch stands on, its next link the cursor of the
/// next outer dispatch of the same event, its previous link itself. Destroying it pops it from
/// its event's stack of dispatches (also while an exception unwinds).
template <class T>
class TESSAR_EXPORT SCC_EventIterator : public SCC_EventNode<T> {
public:
    /// Pushes the cursor on the stack of dispatches of `event`, standing on its first node.
    explicit SCC_EventIterator(SCC_Event<T>& event) : m_event(&event) {
        this->m_next = event.m_owner;
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic push
// The event keeps the address of this cursor only until the destructor pops it.
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
        event.m_owner = this;
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic pop
#endif
        this->m_owner = event.m_next;
    }
    SCC_EventIterator(const SCC_EventIterator&) = delete;
    SCC_EventIterator& operator=(const SCC_EventIterator&) = delete;
    ~SCC_EventIterator() override {
        if (m_event != nullptr) m_event->m_owner = this->m_next;
        // Leave the base destructor nothing to unlink: the links are not ring links.
        this->m_owner = nullptr;
        this->m_next = this;
    }

    /// The node the dispatch stands on.
    SCC_EventNode<T>* GetCurrentNode() const { return this->m_owner; }
    /// The event being dispatched; null once that event was destroyed by a listener.
    SCC_Event<T>* GetEvent() const { return m_event; }

private:
    friend class SCC_Event<T>;

    SCC_EventIterator* NextOuter() const { return static_cast<SCC_EventIterator*>(this->m_next); }

    SCC_Event<T>* m_event;
};

// ---------------------------------------------------------------------------------------------

template <class T>
void AddNode(SCC_Event<T>& event, SCC_EventNode<T>& node) {
    Detach(node);
    SCC_EventNode<T>::LinkBefore(event, node, event);
}

template <class T>
void AddNodeBefore(SCC_Event<T>& event, SCC_EventNode<T>& node, SCC_EventNode<T>& anchor) {
    if (&node == &anchor) return;
    Detach(node);
    SCC_EventNode<T>& position = anchor.m_owner == &event ? anchor : event;
    SCC_EventNode<T>::LinkBefore(position, node, event);
}

template <class T>
void AddHook(SCC_Event<T>& event, SCC_EventHook<T>& hook) {
    Detach(hook);
    const int priority = hook.GetPriority();
    SCC_EventNode<T>* position = event.m_next;
    while (position != &event && position->GetPriority() > priority) position = position->m_next;
    SCC_EventNode<T>::LinkBefore(*position, hook, event);
}

template <class T>
void Detach(SCC_EventNode<T>& node) {
    if (node.m_owner == nullptr) return;
    node.m_owner->OnNodeRemoved(&node);
    node.m_prev->m_next = node.m_next;
    node.m_next->m_prev = node.m_prev;
    node.m_owner = nullptr;
    node.m_prev = &node;
    node.m_next = &node;
}

template <class T>
void SCC_Event<T>::OnNodeRemoved(SCC_EventNode<T>* node) {
    for (SCC_EventIterator<T>* it = InnermostDispatch(); it != nullptr; it = it->NextOuter())
        if (it->m_owner == node) it->m_owner = node->m_prev;
}

template <class T>
int SCC_Event<T>::Notify(int code, T* data) {
    SCC_EventIterator<T> cursor(*this);
    if (!this->m_enabled) return 0;
    SCC_EventNode<T>* node = cursor.m_owner;
    while (!IsEndOfDispatch(node)) {
        if (node->m_enabled) node->OnNotification(code, data);
        if (cursor.m_event == nullptr) break;  // the listener destroyed this event
        // Re-read the cursor: a detach during the call may have stepped it back.
        node = cursor.m_owner->m_next;
        cursor.m_owner = node;
        if (!this->m_enabled) break;
    }
    return 0;
}

template <class T>
void SCC_Event<T>::TakeOver(SCC_Event& source) {
    // Source dispatches stop at the source head after the current call.
    for (SCC_EventIterator<T>* it = source.InnermostDispatch(); it != nullptr; it = it->NextOuter())
        it->m_owner = &source;
    if (source.m_next == &source) return;
    SCC_EventNode<T>* first = source.m_next;
    SCC_EventNode<T>* last = source.m_prev;
    source.m_next = &source;
    source.m_prev = &source;
    // This ring is empty here: splice the whole chain in, then hand ownership over.
    this->m_next = first;
    this->m_prev = last;
    first->m_prev = this;
    last->m_next = this;
    for (SCC_EventNode<T>* node = first; node != this; node = node->m_next) node->m_owner = this;
}

template <class T>
void SCC_Event<T>::EndRunningDispatches() {
    for (SCC_EventIterator<T>* it = InnermostDispatch(); it != nullptr; it = it->NextOuter())
        it->m_event = nullptr;
    this->m_owner = nullptr;
}
