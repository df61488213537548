#pragma once

#include "SCC_Array.h"
#include "SCC_Notifier.h"
#include "SCC_SharedBuffer.h"
#include "TessarExport.h"
#include "TessarTypes.h"

/// @file
/// Saved handles: a sorted set of (type, handle) pairs naming objects of the host, each wrapped
/// in a listener of its object's change event, so that the set follows its objects:
///   code 2 (the object is deleted; its handle travels in the data pointer): the pair is removed;
///   code 6 (the source is cleared): the set is emptied;
///   code 7 (the handles were relocated): the handle object first updates itself
///           (OnUpdatePointers), then the set re-sorts before its next search.
///
/// Applications derive from both classes: the set's CreateByType builds the handle object for a
/// type, and the handle object names the event it listens to (GetChangeEvent). With the base
/// classes nothing can be saved.

class SCC_SavedHandles;

/// One saved handle and the listener of its object's change event. Shared through its reference
/// count: the set holds one reference, and destroying the object detaches it from the event.
class TESSAR_EXPORT SCC_HandleWithEvent : public SCC_SharedBuffer, public SCC_EventNode<int> {
public:
    /// A detached, enabled node. `container` is not owned.
    SCC_HandleWithEvent(SYS_Handle handle, long type, SCC_SavedHandles* container)
        : m_type(type), m_handle(handle), m_container(container) {}
    ~SCC_HandleWithEvent() override;

    /// The event to listen to; the base has none, so the set never attaches it.
    virtual SCC_Notifier* GetChangeEvent() { return nullptr; }
    /// Lets a handle object follow a relocation of its object (code 7, `info` as notified)
    /// before the set is marked for re-sorting. The base does nothing.
    virtual void OnUpdatePointers(void* /*info*/) {}

    /// Code 7 calls OnUpdatePointers(data) first; then every code goes to the container's
    /// HandleNotification, whose answer is returned. Without a container the notification is
    /// reported (type 1) and answered 0. The container may destroy this object on the way
    /// (codes 2 and 6): nothing of it is touched afterwards.
    int OnNotification(int code, int* data) override;

    /// The saved handle; a relocation (OnUpdatePointers) may change it.
    SYS_Handle GetHandle() const { return m_handle; }
    /// The type the handle was saved with.
    long GetType() const { return m_type; }
    /// The set the notifications are handed to (not owned); null when there is none.
    ///@{
    SCC_SavedHandles* GetContainer() const { return m_container; }
    void SetContainer(SCC_SavedHandles* container) { m_container = container; }
    ///@}

protected:
    /// For OnUpdatePointers: the set re-sorts by the new value before its next search.
    void SetHandle(SYS_Handle handle) { m_handle = handle; }

private:
    long m_type;
    SYS_Handle m_handle;
    SCC_SavedHandles* m_container;
};

/// The set of saved handles, ascending by type, then by handle (a comparator installed at
/// construction; setting it descending reverses both). Every search first re-sorts the set,
/// ascending, when a relocation was announced since the last one.
///
/// Copies share the handle objects as arrays share elements; the handle objects keep reporting
/// to the set that created them. When a set is destroyed, the handle objects that still report
/// to it and outlive it (a reference returned by Find, a copy of the set) are taken off their
/// events and lose their container, so that a later notification of their object cannot reach
/// the dead set.
class TESSAR_EXPORT SCC_SavedHandles
    : public SCC_SortableArray<SCC_SharedPointer<SCC_HandleWithEvent>> {
public:
    /// An entry: a counted reference to a handle object.
    typedef SCC_SharedPointer<SCC_HandleWithEvent> Entry;

    SCC_SavedHandles();
    /// Shares the entries of `other` (each handle object then has one more reference) and its
    /// re-sort mark.
    SCC_SavedHandles(const SCC_SavedHandles& other);
    /// As the copy constructor, replacing this set's entries.
    SCC_SavedHandles& operator=(const SCC_SavedHandles& other);
    ~SCC_SavedHandles() override;

protected:
    /// The handle object for a pair of this type, with this set as its container; the base
    /// builds nothing. Declared ahead of the public operations to keep their slot order.
    virtual Entry CreateByType(SYS_Handle /*handle*/, long /*type*/) { return Entry(); }

public:
    /// Reacts to a notification of a saved object; always 0. Code 2 deletes the handle carried
    /// in `data` (for `type`), code 6 empties the set, code 7 marks it for re-sorting.
    virtual int HandleNotification(SYS_Handle handle, long type, int code, long* data);
    /// 1 when a new entry was added (attached at the tail of its object's change event, if it
    /// names one), 0 when the pair was saved already or CreateByType built nothing.
    virtual int Save(SYS_Handle handle, long type);
    /// 1 when the entry was removed (its handle object dies with the last reference), else 0.
    virtual int Delete(SYS_Handle handle, long type);
    /// The entry of (handle, type), or null. `*index` (when `index` is not null) receives the
    /// entry's position, or the position where the pair would keep the order. O(log n), plus a
    /// sort after a relocation.
    virtual Entry Find(SYS_Handle handle, long type, long* index);

    /// Whether a relocation was announced since the last search.
    int NeedsResort() const { return m_resort; }

    /// Ascending by type, then by handle; a null entry comes first.
    static int CompareEntries(const Entry& a, const Entry& b);

private:
    void ReleaseOwnHandles();

    bool m_resort;
};
