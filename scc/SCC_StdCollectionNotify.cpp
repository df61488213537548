// How a standard collection reacts to what it hears: notifications of its source and of its
// items' change events (OnNotification), of its parent (OnParentNotification), and the queue it
// keeps while suspended (Suspend).
#include "SCC_StdCollection.h"

#include "scc/SCC_StdCollectionSort.h"

// Steps: a disabled collection ignores everything; the bulk codes suspend and resume and are
// passed on; the block code relocates. Any other notification about a handle that neither
// passes the filter nor is in the content does not concern the collection, resets and clears
// included. A suspended
// collection queues it (deletions, resets and clears are processed at once); otherwise it is
// processed.
int SCC_StdCollection::OnNotification(int code, int* data) {
    if (!IsEnabled() || HandleControlCode(code, data)) return 0;
    const SYS_Handle handle = SCC_Notifier::DataAsValue(data);
    // The property code and unknown codes carry no handle of ours.
    if (code < SCC_NotifyInserted || code > SCC_NotifyCleared) return 0;
    if (code == SCC_NotifyDeleting) ForgetDeleted(handle);
    // A notification about handle 0 concerns the whole collection.
    const bool aboutHandle = handle != 0;
    const int passes = !aboutHandle || Filter(handle) != 0;
    long index = -1;
    bool found = false;
    if (!passes) {
        found = LocateHandle(handle, index);
        if (!found) return 0;
    }
    if (m_suspended && Defer(code, handle)) return 0;
    if (passes && aboutHandle) found = LocateHandle(handle, index);
    Process(code, handle, passes, found, index);
    return 0;
}

// Begin and end of a bulk change, passed on after the collection suspended or resumed, and
// relocation. TRUE when `code` was one of them.
bool SCC_StdCollection::HandleControlCode(int code, int* data) {
    switch (code) {
    case SCC_NotifyBeginBulk:
        Suspend(1);
        m_changeEvent.Notify(SCC_NotifyBeginBulk, data);
        return true;
    case SCC_NotifyEndBulk:
        Suspend(0);
        m_changeEvent.Notify(SCC_NotifyEndBulk, data);
        return true;
    case SCC_NotifyBlock:
        Relocate(data);
        return true;
    default:
        return false;
    }
}

// While suspended: TRUE when the notification was queued (or dropped as a repeat of the last
// record); FALSE for the codes that are processed at once.
bool SCC_StdCollection::Defer(int code, SYS_Handle handle) {
    switch (code) {
    case SCC_NotifyReset:
    case SCC_NotifyCleared:
        m_queue.Clear();
        return false;
    case SCC_NotifyDeleting:
        DropQueued(handle);
        return false;
    default:
        break;
    }
    const long size = m_queue.GetSize();
    if (size > 0) {
        const SuspendedEvent& last = m_queue.GetAt(size - 1);
        if (last.code == code && last.data == handle) return true;
    }
    const SuspendedEvent record = {code, handle};
    m_queue.Add(record);
    return true;
}

// Neither a queued record nor per-handle data may outlive its handle (a new object can take over
// a freed address), also when the handle no longer concerns the collection when it is deleted.
void SCC_StdCollection::ForgetDeleted(SYS_Handle handle) {
    if (m_suspended) DropQueued(handle);
    if (m_positions.GetCount() != 0) m_positions.Remove(handle);
}

void SCC_StdCollection::DropQueued(SYS_Handle handle) {
    for (long i = m_queue.GetSize() - 1; i >= 0; --i)
        if (m_queue.GetAt(i).data == handle) m_queue.RemoveAt(i);
}

// The position is saved (the copy follows the content's changes, standing on the handle when it
// is in the content) and put back afterwards with the slider on its handle. Codes 1 to 4 about
// handle 0 change nothing.
void SCC_StdCollection::Process(int code, SYS_Handle handle, int passes, bool found, long index) {
    Position saved(m_position);
    if (found) saved.Restart(m_content, index);
    if (code != SCC_NotifyInserted && code != SCC_NotifyChanged) SetSlider(handle);
    const bool aboutItem = handle != 0;
    switch (code) {
    case SCC_NotifyInserted:
        if (aboutItem && found)
            ChangeAnnounced(SCC_NotifyChanged, handle, passes, saved);
        else if (aboutItem)
            InsertAnnounced(handle);
        break;
    case SCC_NotifyDeleting:
        if (found) DeleteAnnounced(handle);
        break;
    case SCC_NotifyChanged:
    case SCC_NotifyFocusAdded:
        if (aboutItem) ChangeAnnounced(code, handle, passes, saved);
        break;
    case SCC_NotifyReset:
        Reload(0);
        break;
    case SCC_NotifyCleared:
        ClearAnnounced(SCC_Notifier::ValueAsData(handle));
        break;
    default:
        break;
    }
    m_position = saved;
    SetSlider(m_position.IsValid() ? m_position.GetItem() : 0);
}

void SCC_StdCollection::InsertAnnounced(SYS_Handle handle) {
    m_position.Restart(m_content, InsertSorted(handle));
    _SetSlider(handle);
    ConnectEvent(1);
    Announce(SCC_NotifyInserted, handle);
}

// The handle is announced while it is still in the content and the focus list, and leaves both
// afterwards (a child collection checks its parent's focus when it hears of the deletion).
void SCC_StdCollection::DeleteAnnounced(SYS_Handle handle) {
    ConnectEvent(0);
    Announce(SCC_NotifyDeleting, handle);
    RemoveFromFocus(handle);
    RemoveFromContent(handle);
    m_positions.Remove(handle);
}

// A change of a handle in the content (or one that now passes): announced as it is when the
// handle still passes and is in order with its neighbours; otherwise the handle leaves (2) and,
// when it still passes, comes back at its new place (1), keeping its focus.
void SCC_StdCollection::ChangeAnnounced(int code, SYS_Handle handle, int passes, Position& saved) {
    if (!saved.IsValid() || saved.GetItem() != handle) {
        if (passes) InsertAnnounced(handle);
        return;
    }
    m_position = saved;
    _SetSlider(handle);
    if (passes && m_content.ItemInValidPlace(m_position.GetFocus())) {
        Announce(code, handle);
        return;
    }
    const int focused = IsInFocus(handle, nullptr);
    Announce(SCC_NotifyDeleting, handle);
    if (focused) RemoveFromFocus(handle);
    _SetSlider(handle);  // an observer may have moved the slider
    ConnectEvent(0);
    RemoveFromContent(handle);
    if (!passes) return;
    m_position.Restart(m_content, InsertSorted(handle));
    ConnectEvent(1);
    if (focused) AddToFocus(handle);
    _SetSlider(handle);
    Announce(SCC_NotifyInserted, handle);
}

void SCC_StdCollection::ClearAnnounced(int* data) {
    m_changeEvent.Notify(SCC_NotifyCleared, data);
    ResetMaps();
    EmptyContent();
    m_focus.Clear();
}

// Every handle of the content, the focus list and the queue is replaced by its relocated value,
// in place; the focus list is sorted again.
void SCC_StdCollection::Relocate(void* info) {
    for (long i = 0; i < m_content.GetSize(); ++i)
        m_content.SetAt(i, UpdateHandle(m_content.GetAt(i), info));
    RebuildMembers();
    for (long i = 0; i < m_focus.GetSize(); ++i)
        m_focus.SetAt(i, UpdateHandle(m_focus.GetAt(i), info));
    for (long i = 0; i < m_queue.GetSize(); ++i)
        m_queue[i].data = UpdateHandle(m_queue.GetAt(i).data, info);
    if (m_focus.GetSize() > 1) m_focus.Sort(1);
    m_changeEvent.Notify(SCC_NotifyBlock, info);
}

// --- suspension ------------------------------------------------------------------------------

void SCC_StdCollection::Suspend(int on) {
    if (on) {
        m_suspended = 1;
        return;
    }
    m_suspended = 0;
    SCC_Array<SuspendedEvent> queue(m_queue);  // shares the buffer
    m_queue.Clear();
    Replay(queue);
}

// Condenses the queue to the latest record per handle, newest first, then replays it; a smart
// collection reloads instead when inserts and changes make up at least half its size.
void SCC_StdCollection::Replay(const SCC_Array<SuspendedEvent>& queue) {
    const long size = queue.GetSize();
    SCC_Map<SYS_Handle, int> seen(size > 0 ? size : 1);
    SCC_Array<SuspendedEvent> replay;
    long insertsAndChanges = 0;
    for (long i = size - 1; i >= 0; --i) {
        const SuspendedEvent& record = queue.GetAt(i);
        if (seen.Lookup(record.data) != nullptr) continue;
        replay.Add(record);
        seen.Add(record.data, 1);
        if (record.code == SCC_NotifyInserted || record.code == SCC_NotifyChanged)
            ++insertsAndChanges;
    }
    if (m_smart && 2 * insertsAndChanges >= GetSize()) {
        Reload(1);
        return;
    }
    for (long i = 0; i < replay.GetSize(); ++i)
        OnNotification(replay.GetAt(i).code, SCC_Notifier::ValueAsData(replay.GetAt(i).data));
    RestoreOrder();
}

// Items that changed together while suspended are placed one by one, each among neighbours that
// may still wait for their own replay; when that left the content out of order, it is sorted
// again and announced as a reset.
void SCC_StdCollection::RestoreOrder() {
    const long size = m_content.GetSize();
    if (size < 2) return;
    SCC_SharedPointer<SCC_ComparatorBase> order = m_content.GetComparator();
    if (SCC_HandlesInOrder(&m_content.GetAt(0), size, *order)) return;
    const SYS_Handle current = m_position.IsValid() ? m_position.GetItem() : 0;
    m_content.Sort(0);
    SetSlider(current);
    Announce(SCC_NotifyReset, 0);
}

// --- parent ----------------------------------------------------------------------------------

int SCC_StdCollection::HandleNotificationsAllowed(SYS_Handle handle) {
    if (handle == 0) return 1;
    if (m_parent == nullptr) return 0;
    return m_parent->IsInFocus(handle, nullptr);
}

// A child follows only notifications about handles its parent has focused, and those about 0.
// A deleted master takes the items of its parent slider with it.
int SCC_StdCollection::OnParentNotification(int code, int* data) {
    if (!HandleNotificationsAllowed(SCC_Notifier::DataAsValue(data))) return 0;
    switch (code) {
    case SCC_NotifyInserted:
    case SCC_NotifyChanged:
    case SCC_NotifyFocusAdded:
    case SCC_NotifyReset:
        Reload(0);
        break;
    case SCC_NotifyDeleting:
        SetSlider(0);
        while (_GetNextByParentSlider()) {
            const SYS_Handle handle = GetSlider();
            if (!Filter(handle)) continue;
            OnNotification(SCC_NotifyDeleting, SCC_Notifier::ValueAsData(handle));
            _SetSlider(handle);  // the deletion may have moved the slider
        }
        break;
    case SCC_NotifyCleared:
    case SCC_NotifyBeginBulk:
    case SCC_NotifyEndBulk:
        OnNotification(code, data);
        break;
    default:
        break;
    }
    return 0;
}
