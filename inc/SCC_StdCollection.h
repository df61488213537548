#pragma once

#include <memory>
#include <vector>

#include "SCC_Array.h"
#include "SCC_Event.h"
#include "SCC_Map.h"
#include "SCC_Notifier.h"
#include "SCC_SharedBuffer.h"
#include "SYS_Filter.h"
#include "TessarExport.h"
#include "TessarTypes.h"

class SCC_StdCollectionIndex;

/// The observable, filtered and sorted view of a data source the collection does not own. It
/// holds handles only (0 means none): the handles of the source that pass its filter, sorted by
/// its comparator (the content); the handles the user selected (the focus list, ascending, no
/// duplicates); a position over the content and a slider over the source; one int of data per
/// handle; one counted hook per distinct change event of its items; and the notifications that
/// arrive while it is suspended.
///
/// The collection is itself the listener node attached to its source's event (SetEvent). It
/// turns the source's notifications into changes of its content and focus, and announces each
/// change on its own change event (GetChangeEvent) with the notification protocol
/// (SCC_NotifyCode, SCC_Notifier.h), the handle travelling in the data pointer.
/// A child collection (SetParent) follows its parent: it reloads when the parent announces an
/// insert, change, focus or reset about a handle the parent has focused (or about 0), drops the
/// items of a focused master that the parent deletes, and follows the parent's clear, suspend and
/// resume.
///
/// The base has no source of its own: derived classes walk the source (_GetFirst, _GetNext,
/// _GetPrev, _GetSlider, _SetSlider), give the change event of the item under the slider
/// (GetEvent) and relocate handles (UpdateHandle). _GetNext from slider 0 must give the first item
/// of the source. Nothing is loaded until reload is allowed (AllowReload(1), or a child's
/// SetParent).
///
/// Where this library's behaviour is its own choice:
///  - A deletion (2), and a change (3, 4) that makes a focused handle leave the content or move in
///    sort order, is announced while the handle is still focused; the focus goes only after the
///    announcement (a moved handle is focused again before its (1, h)). So a child collection,
///    which only follows its parent's focused handles, hears that its master is gone.
///  - SetSort(comparator, descending) stores the direction in the comparator even though the
///    content is empty at that moment, so a descending sort reloads descending. It reloads with
///    force when the content held handles, so views and focus also follow a content that the new
///    reload leaves empty.
///  - An insert (1) of a handle that is already in the content is handled as a change (3): the
///    content never holds a handle twice (this happens when a reload while suspended already
///    loaded a handle whose insert waits in the queue).
///  - Codes 8 and above 10 are ignored before anything reads their data (8 carries a property,
///    not a handle).
///  - A deletion (2) drops the handle's data and (while suspended) its queued records even when
///    the handle no longer passes the filter and is not in the content: neither may outlive the
///    handle, whose address a new object may take over.
///  - A replay on resume that leaves the content out of order (items that changed together while
///    suspended can mislead the placement of each other) sorts it again and announces (5, 0):
///    every later insert and lookup bisects the content, which needs it in comparator order, and
///    views rebuilt on the reset show the order the content now has.
///  - SetFocus with mode -1 announces no removal: observers read the focus list when they next
///    need it, as they do after a silent add.
///  - SetHandleData on a collection attached to no event handles (3, handle) itself, so its own
///    observers still hear of the change.
///  - A copy re-points its copied item hooks and its parent hook to itself, so the copy keeps its
///    own content in step; calling the model instead would update the model twice and the copy
///    never.
///  - SetParent detaches the parent hook from the previous parent, also when the new parent is
///    null: a child left listening would go on reloading from a master it no longer has.
///  - Inserts, deletions, changes and focus notifications (1 to 4) about handle 0 change nothing:
///    0 means no item, so inserting it would put a handle into the content that names nothing,
///    and deleting or changing it would act on the item under the slider instead.
///  - A reload sorts what it loaded with a stable sort: the content is the one that inserting each
///    handle behind its run of equals would give, in O(n log n) instead of moving the tail of the
///    content for every handle.
///  - Suspend(0) takes the queue out before it replays, so notifications queued by a suspension
///    during the replay wait for the next resume: emptying the queue after the replay would drop
///    them, and replaying a queue that grows while it is walked would never end.
///
/// Cost: content and focus stay sorted. Besides its documented state the collection keeps a hash
/// index of its content, so whether a handle is in the content is answered in O(1): a
/// notification about a handle that neither passes the filter nor is in the content costs one
/// filter call and one probe. A handle in the content is found by bisection, and by a linear
/// search only when it is not at its sorted place (an item whose sort key changed). Announcing and
/// queueing allocate nothing beyond the amortised growth of the arrays and the index.
class TESSAR_EXPORT SCC_StdCollection : public SCC_EventNode<int> {
public:
    /// A notification received while suspended.
    struct SuspendedEvent {
        /// The notification code.
        int code;
        /// The handle the notification carried (0 for none).
        SYS_Handle data;
    };

    /// A cursor over the content. A copy is attached to the same array at the same index; a
    /// position map entry is a Position that is never started, of which only the handle data is
    /// used.
    class TESSAR_EXPORT Position : public SCC_ArrayIterator<SYS_Handle> {
    public:
        /// Not started: on no array.
        Position() : m_spare(0), m_handleData(0) {}
        /// Attached to the same array at the same index (see above), with the same spare value and
        /// handle data.
        ///@{
        Position(const Position& other);
        Position& operator=(const Position& other);
        ///@}

        /// A spare value copied with the position; no operation of this library reads it.
        ///@{
        int GetSpare() const { return m_spare; }
        void SetSpare(int spare) { m_spare = spare; }
        ///@}
        /// The int of data kept for a handle (see SCC_StdCollection::GetHandleData).
        ///@{
        int GetHandleData() const { return m_handleData; }
        void SetHandleData(int data) { m_handleData = data; }
        ///@}

    private:
        int m_spare;  ///< copied with the position; read by no operation of this library
        int m_handleData;
    };

    /// The hook on one item change event, shared by all content items on that event.
    class TESSAR_EXPORT EventHook : public SCC_ObjectEventHook<SCC_StdCollection, int> {
    public:
        /// A hook that calls `collection`'s OnNotification, serving no item yet.
        explicit EventHook(SCC_StdCollection* collection = nullptr)
            : SCC_ObjectEventHook<SCC_StdCollection, int>(
                  collection, &SCC_StdCollection::OnNotification, 0),
              m_connections(0) {}

        /// The number of content items whose change event this hook serves.
        int GetConnectionCount() const { return m_connections; }

    private:
        friend class SCC_StdCollection;
        int m_connections;
    };

    /// The item hooks, by change event.
    typedef SCC_Map<SYS_Handle, EventHook> HookMap;
    /// The per-handle data, by handle.
    typedef SCC_Map<SYS_Handle, Position> PositionMap;
    /// A sort order of handles: negative, 0 or positive as for SCC_Compare.
    typedef int (*CompareFunction)(const SYS_Handle& a, const SYS_Handle& b);

    /// Builds every member empty, then SetParent(parent).
    explicit SCC_StdCollection(SCC_StdCollection* parent = nullptr);
    /// The copy takes content, focus list, queue, both maps, filter, position and flags from the
    /// model (content and focus share their buffers until written), listens to the model's source
    /// event and parent right before the model (also while those events dispatch, so a running
    /// dispatch that already passed the model does not call the copy), and takes over the model's
    /// change-event listeners (the model keeps none). Copied item hooks are attached to the same
    /// item events, serving the copy.
    SCC_StdCollection(SCC_StdCollection& model);
    /// Takes everything from the model as the copy constructor does, after leaving this
    /// collection's source and parent; assigning a collection to itself changes nothing.
    SCC_StdCollection& operator=(SCC_StdCollection& model);
    /// Detaches from parent and source; observers of the change event are left detached.
    ~SCC_StdCollection() override;

    /// Source, item and replayed notifications (see the class comment). Always 0.
    int OnNotification(int code, int* data) override;
    /// Enabling the collection node reloads it (Reload(1)).
    void OnEventEnable(int flag) override;

    // --- virtual operations, in their fixed slot order ---
    /// Reloads the content from the source. While reload is not allowed, only whether the source
    /// has content is tracked, announced as (Changed, 0) when it changes. Otherwise the parent
    /// may reload first, the content is rebuilt from the source walk (the handles that pass the
    /// filter, in comparator order, equal ones in walk order) with the parent's slider kept, and
    /// every item is connected to its change event. When the content differs from before, or
    /// `force` is set, the focus list keeps only handles still in the content and (Reset, 0) is
    /// announced. A reload connects items and never disconnects them, so the hook counts of
    /// items that stay grow with each reload.
    virtual void Reload(int force);
    /// The source walk of derived classes; the base has no source (0, nothing).
    ///@{
    virtual SYS_Handle _GetSlider();
    virtual void _SetSlider(SYS_Handle handle);
    virtual int _GetFirst();
    virtual int _GetNext();
    virtual int _GetPrev();
    ///@}
    /// The walk over the items that belong to the parent's slider; the base walks everything.
    ///@{
    virtual int _GetFirstByParentSlider();
    virtual int _GetNextByParentSlider();
    ///@}
    /// Stores the parent (detaching from the previous one); a parent is allowed to reload and
    /// hooked; then Reload(0).
    virtual void SetParent(SCC_StdCollection* parent);
    /// Stores the flag; going from 0 to exactly 1 reloads.
    virtual void AllowReload(int flag);
    /// The reload flag (see AllowReload).
    virtual int IsReloadAllowed();
    /// The first source item after `start` (0: from the first) that passes the filter, 0 when
    /// none; the slider is put back.
    virtual SYS_Handle FindNextTempItem(SYS_Handle start);
    /// Empties the position map, the hook map, the content and the focus list (nothing is
    /// announced on the change event); then AllowReload(0).
    virtual void Clear();
    /// The change event of the item under the slider; null in the base.
    virtual SCC_Notifier* GetEvent();
    /// Attaches the collection to `event` (null is ignored).
    virtual void SetEvent(SCC_Notifier* event);
    /// Attaches `node` to the change event (null is ignored): how observers subscribe.
    virtual void SetNotificationHandler(SCC_EventNode<int>* node);
    /// Parent notifications; always 0.
    virtual int OnParentNotification(int code, int* data);
    /// Enables or disables the change event; returns its previous enabled flag.
    virtual int EnableNotifications(int flag);
    /// 1 for 0; without a parent 0; else whether the parent has `handle` focused.
    virtual int HandleNotificationsAllowed(SYS_Handle handle);
    /// Non-zero while notifications are queued (see Suspend).
    virtual int IsSuspended() const;
    /// 1: queue notifications from now on (a flag, not a counter). 0: condense and replay the
    /// queue, or reload when the collection is smart and at least half the content size of the
    /// condensed records are inserts and changes.
    virtual void Suspend(int on);
    /// Smart mode: a resume may reload instead of replaying the queue (see Suspend). Off by
    /// default.
    ///@{
    virtual int IsNotificationSmart() const;
    virtual void SetNotificationSmart(int smart);
    ///@}
    /// Whether the position is on no element.
    virtual int IsEmpty();
    /// Non-zero when at least one handle is focused.
    virtual int HasFocus();
    /// Non-zero when `handle` passes the filter (1 without a filter).
    virtual int Filter(SYS_Handle handle);
    /// The focused handle at `index`, 0 outside the focus list.
    virtual SYS_Handle GetFocus(long index);
    /// Mode 0: `handle` becomes the only focused handle; 1 (or any other value): added; 2: added
    /// without announcement; -1: removed. A handle that was not focused is announced with
    /// (4, handle), also by mode -1, which leaves it unfocused; a removal is not announced. A
    /// handle that is not in the content (or 0) clears the focus list and announces nothing.
    virtual void SetFocus(SYS_Handle handle, int mode);
    /// TRUE when focused; stores the focus-list index when `index` is not null.
    virtual int IsInFocus(SYS_Handle handle, long* index);
    /// The source's slider (_GetSlider).
    virtual SYS_Handle GetSlider();
    /// Puts position and slider on `handle`; 0 or a handle not in the content clears both.
    virtual void SetSlider(SYS_Handle handle);
    /// The position's focus index: the size once GetNext stepped past the last element. A position
    /// before the first element or on nothing (focus -1) is reported (type 0) and answers -1.
    virtual long GetPosition();
    /// Puts the position on `index` and the slider on the handle there (0 outside the content).
    virtual void SetPosition(long index);
    /// Number of handles in the content.
    virtual long GetSize() const;
    /// The handle at `index`, 0 outside the content.
    virtual SYS_Handle GetAt(long index);
    /// The content index of `handle`, -1 for 0 or a handle not in the content.
    virtual long GetPositionByHandle(SYS_Handle handle);
    /// The data stored for `handle`; 0 when none was stored.
    virtual int GetHandleData(SYS_Handle handle);
    /// Stores `data` for `handle` and announces (3, handle) on the collection's owner event (the
    /// event the collection is attached to, normally its source event), so every collection on
    /// that source hears of it.
    virtual void SetHandleData(SYS_Handle handle, int data);
    /// Walk the content with the position, moving the slider along; 1 while on an element.
    ///@{
    virtual int GetFirst();
    virtual int GetNext();
    virtual int GetPrev();
    ///@}
    /// The handle that replaces `handle` after a relocation (Block); 0 in the base.
    virtual SYS_Handle UpdateHandle(SYS_Handle handle, void* info);

    // --- not virtual ---
    /// The event on which the collection announces its changes; observers attach here
    /// (SetNotificationHandler).
    SCC_Notifier* GetChangeEvent() { return &m_changeEvent; }
    /// The source event the collection listens to; null when none was set.
    SCC_Notifier* GetSourceEvent() const { return m_sourceEvent; }
    /// The parent collection; null when none.
    SCC_StdCollection* GetParent() const { return m_parent; }
    /// Replaces the filter (null lets every handle pass), then Reload(0).
    void SetFilter(const SCC_SharedPointer<SYS_Filter>& filter);
    /// The filter; null when every handle passes.
    SCC_SharedPointer<SYS_Filter> GetFilter() const { return m_filter; }
    /// Empties the content, installs `comparator` with the direction (descending when non-zero),
    /// then Reload(0). A null comparator restores the default handle order.
    void SetSort(SCC_Comparator<SYS_Handle>* comparator, int descending);
    /// The same with a comparison function wrapped in a new comparator.
    void SetSort(CompareFunction compare, int descending);
    /// Number of focused handles.
    long GetFocusCount() const { return m_focus.GetSize(); }
    /// The notifications queued while suspended, oldest first; GetQueued requires 0 <= index <
    /// GetQueueSize().
    ///@{
    long GetQueueSize() const { return m_queue.GetSize(); }
    const SuspendedEvent& GetQueued(long index) const { return m_queue.GetAt(index); }
    ///@}
    /// The item hooks, by change event (see ConnectEvent).
    const HookMap& GetHookMap() const { return m_hooks; }
    /// Whether the last reload found content (maintained while reload is not allowed).
    int IsContentAvailable() const { return m_contentAvailable; }

    /// TRUE when content and focus list hold no handle twice, the content is in comparator order
    /// and every focused handle is in the content. O(n log n); for tests.
    bool CheckInvariants() const;

protected:
    /// Counts the item under the slider on its change event (`connect` non-zero) or uncounts it.
    /// The first count on an event creates and hooks an EventHook there (never on the source
    /// event, which the collection already hears); the uncount that takes a hook to zero unhooks
    /// and forgets it. `lastEvent` and `lastHook`, when given, carry the previous item's event
    /// and hook from call to call of one walk, so that items on the same event skip the hook
    /// map. An item without a change event changes nothing.
    void ConnectEvent(int connect, SCC_Notifier** lastEvent = nullptr,
                      EventHook** lastHook = nullptr);

private:
    typedef SCC_SortableArray<SYS_Handle> HandleArray;

    void Announce(int code, SYS_Handle handle) {
        m_changeEvent.Notify(code, SCC_Notifier::ValueAsData(handle));
    }
    bool LocateHandle(SYS_Handle handle, long& index) const;
    /// The content index follows the content: rebuilt from it, or emptied with it.
    void RebuildMembers();
    void EmptyContent();
    bool IsAtSortedPlace(SYS_Handle handle, long& index) const;
    long InsertSorted(SYS_Handle handle);
    void RemoveFromContent(SYS_Handle handle);
    /// Puts the slider on the item at the position (0 when the position is off the content);
    /// TRUE when the position is on an item.
    int FollowPosition();
    void RemoveFromFocus(SYS_Handle handle);
    void AddToFocus(SYS_Handle handle);
    void Disconnect(EventHook* hook, SYS_Handle key);
    bool HandleControlCode(int code, int* data);
    bool Defer(int code, SYS_Handle handle);
    void ForgetDeleted(SYS_Handle handle);
    void DropQueued(SYS_Handle handle);
    void Process(int code, SYS_Handle handle, int passes, bool found, long index);
    void InsertAnnounced(SYS_Handle handle);
    void DeleteAnnounced(SYS_Handle handle);
    void ChangeAnnounced(int code, SYS_Handle handle, int passes, Position& saved);
    void ClearAnnounced(int* data);
    void Relocate(void* info);
    void Replay(const SCC_Array<SuspendedEvent>& queue);
    void RestoreOrder();
    void LoadFromSource();
    bool SameContent(const HandleArray& old) const;
    void KeepFocusInContent();
    void CopyFrom(SCC_StdCollection& model);
    void AttachCopiedHooks();
    void ResetMaps();

    HandleArray m_focus;
    HookMap m_hooks;
    SCC_Notifier m_changeEvent;
    SCC_Array<SuspendedEvent> m_queue;
    HandleArray m_content;
    PositionMap m_positions;
    SCC_SharedPointer<SYS_Filter> m_filter;
    Position m_position;
    SCC_Notifier* m_sourceEvent = nullptr;
    SCC_StdCollection* m_parent = nullptr;
    int m_suspended = 0;
    int m_reloadAllowed = 0;
    int m_contentAvailable = 0;
    int m_smart = 0;
    SCC_ObjectEventHook<SCC_StdCollection, int> m_parentHook;
    std::unique_ptr<SCC_StdCollectionIndex> m_members;  ///< the handles of the content
};
