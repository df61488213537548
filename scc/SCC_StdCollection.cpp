// The standard collection: content, focus, position and hooks (this file), and the reaction to
// notifications with suspension (SCC_StdCollectionNotify.cpp).
#include "SCC_StdCollection.h"

#include <algorithm>
#include <vector>

#include "scc/SCC_StdCollectionIndex.h"
#include "scc/SCC_StdCollectionSort.h"

namespace {

typedef SCC_Comparator<SYS_Handle> HandleComparator;

// The position's index, -1 when it is on no element.
long IndexOf(SCC_ArrayIteratorBase& position) {
    return position.IsValid() ? position.GetFocus() : -1;
}

}  // namespace

// --- Position --------------------------------------------------------------------------------

SCC_StdCollection::Position::Position(const Position& other)
    : SCC_ArrayIterator<SYS_Handle>(), m_spare(other.m_spare), m_handleData(other.m_handleData) {
    SCC_Array<SYS_Handle>* array = other.GetArray();
    if (array != nullptr) Restart(*array, other.HasValidFocus() ? other.GetFocus() : -1);
}

SCC_StdCollection::Position& SCC_StdCollection::Position::operator=(const Position& other) {
    if (this == &other) return *this;
    m_spare = other.m_spare;
    m_handleData = other.m_handleData;
    SCC_Array<SYS_Handle>* array = other.GetArray();
    if (array != nullptr)
        Restart(*array, other.HasValidFocus() ? other.GetFocus() : -1);
    else
        Invalidate();
    return *this;
}

// --- construction, copying -------------------------------------------------------------------

SCC_StdCollection::SCC_StdCollection(SCC_StdCollection* parent)
    : m_parentHook(this, &SCC_StdCollection::OnParentNotification, 0),
      m_members(std::make_unique<SCC_StdCollectionIndex>()) {
    m_focus.SetComparator(new HandleComparator());
    m_content.SetComparator(new HandleComparator());
    SetParent(parent);
}

SCC_StdCollection::SCC_StdCollection(SCC_StdCollection& model)
    : SCC_EventNode<int>(model),
      m_focus(model.m_focus),
      m_hooks(model.m_hooks),
      m_changeEvent(model.m_changeEvent),
      m_queue(model.m_queue),
      m_content(model.m_content),
      m_positions(model.m_positions),
      m_filter(model.m_filter),
      m_parentHook(this, &SCC_StdCollection::OnParentNotification, 0),
      m_members(std::make_unique<SCC_StdCollectionIndex>()) {
    CopyFrom(model);
}

SCC_StdCollection& SCC_StdCollection::operator=(SCC_StdCollection& model) {
    if (this == &model) return *this;
    Detach(*this);
    Detach(m_parentHook);
    SCC_EventNode<int>::operator=(model);
    m_focus = model.m_focus;
    m_hooks = model.m_hooks;
    m_changeEvent = model.m_changeEvent;
    m_queue = model.m_queue;
    m_content = model.m_content;
    m_positions = model.m_positions;
    m_filter = model.m_filter;
    CopyFrom(model);
    return *this;
}

// The part of copying that the member copies do not do: flags, position, listening.
void SCC_StdCollection::CopyFrom(SCC_StdCollection& model) {
    m_position.SetSpare(model.m_position.GetSpare());
    m_position.SetHandleData(model.m_position.GetHandleData());
    m_position.Restart(m_content, IndexOf(model.m_position));
    RebuildMembers();
    m_sourceEvent = model.m_sourceEvent;
    m_parent = model.m_parent;
    m_suspended = model.m_suspended;
    m_reloadAllowed = model.m_reloadAllowed;
    m_contentAvailable = model.m_contentAvailable;
    m_smart = model.m_smart;
    AttachCopiedHooks();
    if (m_sourceEvent != nullptr) AddNodeBefore<int>(*m_sourceEvent, *this, model);
    SCC_EventNode<int>* parentEvent = model.m_parentHook.GetOwner();
    if (parentEvent != nullptr)
        AddNodeBefore<int>(*static_cast<SCC_Event<int>*>(parentEvent), m_parentHook,
                           model.m_parentHook);
}

// Copied hooks start detached and serve the model: re-point each to this collection and hook
// it on the item event it is keyed by.
void SCC_StdCollection::AttachCopiedHooks() {
    SCC_MapIterator<SYS_Handle, EventHook> entry;
    for (int more = entry.GetFirst(m_hooks); more; more = entry.GetNext()) {
        EventHook* hook = entry.GetValue();
        hook->Set(this, &SCC_StdCollection::OnNotification);
        AddHook<int>(*reinterpret_cast<SCC_Notifier*>(*entry.GetKey()), *hook);
    }
}

SCC_StdCollection::~SCC_StdCollection() = default;

// --- wiring ----------------------------------------------------------------------------------

void SCC_StdCollection::SetParent(SCC_StdCollection* parent) {
    Detach(m_parentHook);
    m_parent = parent;
    if (parent != nullptr) {
        parent->AllowReload(1);
        parent->SetNotificationHandler(&m_parentHook);
    }
    Reload(0);
}

void SCC_StdCollection::SetEvent(SCC_Notifier* event) {
    if (event == nullptr) return;
    AddNode<int>(*event, *this);
    m_sourceEvent = event;
}

void SCC_StdCollection::SetNotificationHandler(SCC_EventNode<int>* node) {
    if (node != nullptr) AddNode<int>(m_changeEvent, *node);
}

SCC_Notifier* SCC_StdCollection::GetEvent() { return nullptr; }

int SCC_StdCollection::EnableNotifications(int flag) {
    const int previous = m_changeEvent.IsEnabled();
    m_changeEvent.Enable(flag);
    return previous;
}

void SCC_StdCollection::OnEventEnable(int flag) {
    if (flag) Reload(1);
}

void SCC_StdCollection::AllowReload(int flag) {
    const int previous = m_reloadAllowed;
    m_reloadAllowed = flag;
    if (previous == 0 && flag == 1) Reload(0);
}

int SCC_StdCollection::IsReloadAllowed() { return m_reloadAllowed; }
int SCC_StdCollection::IsSuspended() const { return m_suspended; }
int SCC_StdCollection::IsNotificationSmart() const { return m_smart; }
void SCC_StdCollection::SetNotificationSmart(int smart) { m_smart = smart; }

// --- filter and sort -------------------------------------------------------------------------

void SCC_StdCollection::SetFilter(const SCC_SharedPointer<SYS_Filter>& filter) {
    m_filter = filter;
    Reload(0);
}

int SCC_StdCollection::Filter(SYS_Handle handle) {
    return m_filter.IsNull() ? 1 : m_filter->IsTrue(handle);
}

void SCC_StdCollection::SetSort(SCC_Comparator<SYS_Handle>* comparator, int descending) {
    // The reload compares with the emptied content: a content that had handles is reloaded with
    // force, or a content that became empty would leave its views and its focus behind.
    const int force = m_content.GetSize() != 0;
    EmptyContent();
    HandleComparator* installed = comparator != nullptr ? comparator : new HandleComparator();
    m_content.SetComparator(installed);
    // Sorting an empty array records no direction, so the direction is stored here: the reload
    // below must insert in that direction.
    installed->SetDescending(descending != 0);
    m_content.Sort(descending != 0 ? -1 : 1);
    Reload(force);
}

void SCC_StdCollection::SetSort(CompareFunction compare, int descending) {
    SetSort(new HandleComparator(compare), descending);
}

// --- the source walk (derived classes) -------------------------------------------------------

SYS_Handle SCC_StdCollection::_GetSlider() { return 0; }
void SCC_StdCollection::_SetSlider(SYS_Handle) {}
int SCC_StdCollection::_GetFirst() { return 0; }
int SCC_StdCollection::_GetNext() { return 0; }
int SCC_StdCollection::_GetPrev() { return 0; }
int SCC_StdCollection::_GetFirstByParentSlider() { return _GetFirst(); }
int SCC_StdCollection::_GetNextByParentSlider() { return _GetNext(); }
SYS_Handle SCC_StdCollection::UpdateHandle(SYS_Handle, void*) { return 0; }

SYS_Handle SCC_StdCollection::FindNextTempItem(SYS_Handle start) {
    const SYS_Handle remembered = GetSlider();
    SetSlider(start);
    SYS_Handle found = 0;
    do {
        _GetNext();
        found = GetSlider();
    } while (found != 0 && !Filter(found));
    SetSlider(remembered);
    return found;
}

// --- content and position --------------------------------------------------------------------

long SCC_StdCollection::GetSize() const { return m_content.GetSize(); }

SYS_Handle SCC_StdCollection::GetAt(long index) {
    return m_content.InBounds(index) ? m_content.GetAt(index) : 0;
}

// The index tells whether the handle is in the content; bisection finds it at its sorted place,
// and the linear search one whose sort key changed since it was placed.
bool SCC_StdCollection::LocateHandle(SYS_Handle handle, long& index) const {
    const long size = m_content.GetSize();
    if (!m_members->Contains(handle)) return false;
    if (m_content.Find(handle, index)) return true;
    const SYS_Handle* data = &m_content.GetAt(0);
    const SYS_Handle* at = std::find(data, data + size, handle);
    if (at == data + size) return false;
    index = at - data;
    return true;
}

long SCC_StdCollection::GetPositionByHandle(SYS_Handle handle) {
    long index = -1;
    return LocateHandle(handle, index) ? index : -1;
}

// Behind the run of handles the comparator finds equal.
long SCC_StdCollection::InsertSorted(SYS_Handle handle) {
    long index = 0;
    m_content.Find(handle, index);
    m_content.InsertAt(index, handle);
    m_members->Add(handle);
    return index;
}

void SCC_StdCollection::RemoveFromContent(SYS_Handle handle) {
    long index = 0;
    if (!LocateHandle(handle, index)) return;
    m_content.RemoveAt(index);
    m_members->Remove(handle);
}

long SCC_StdCollection::GetPosition() { return m_position.GetFocus(); }

int SCC_StdCollection::IsEmpty() { return m_position.IsEmpty(); }

void SCC_StdCollection::SetPosition(long index) {
    m_position.Restart(m_content, index);
    _SetSlider(GetAt(index));
}

int SCC_StdCollection::GetFirst() {
    if (m_content.GetSize() == 0) {
        m_position.Invalidate();
        SetSlider(0);
    } else {
        SetPosition(0);
    }
    return m_position.IsValid();
}

int SCC_StdCollection::GetNext() {
    if (m_position.IsValid()) m_position.GetNext();
    return FollowPosition();
}

int SCC_StdCollection::GetPrev() {
    if (m_position.IsValid()) m_position.GetPrev();
    return FollowPosition();
}

int SCC_StdCollection::FollowPosition() {
    if (!m_position.IsValid()) {
        _SetSlider(0);
        return 0;
    }
    _SetSlider(m_position.GetItem());
    return 1;
}

SYS_Handle SCC_StdCollection::GetSlider() { return _GetSlider(); }

void SCC_StdCollection::SetSlider(SYS_Handle handle) {
    long index = -1;
    if (!LocateHandle(handle, index)) {
        m_position.Invalidate();
        _SetSlider(0);
        return;
    }
    m_position.Restart(m_content, index);
    _SetSlider(handle);
}

// --- per-handle data -------------------------------------------------------------------------

int SCC_StdCollection::GetHandleData(SYS_Handle handle) {
    const Position* entry = m_positions.Lookup(handle);
    return entry != nullptr ? entry->GetHandleData() : 0;
}

void SCC_StdCollection::SetHandleData(SYS_Handle handle, int data) {
    Position* entry = m_positions.Lookup(handle);
    if (entry == nullptr) entry = m_positions.Add(handle, Position());
    if (entry != nullptr) entry->SetHandleData(data);
    SCC_EventNode<int>* owner = GetOwner();
    if (owner != nullptr)
        static_cast<SCC_Event<int>*>(owner)->Notify(SCC_NotifyChanged,
                                                    SCC_Notifier::ValueAsData(handle));
    else
        OnNotification(SCC_NotifyChanged, SCC_Notifier::ValueAsData(handle));
}

// --- focus -----------------------------------------------------------------------------------

int SCC_StdCollection::HasFocus() { return m_focus.GetSize() != 0; }

SYS_Handle SCC_StdCollection::GetFocus(long index) {
    return m_focus.InBounds(index) ? m_focus.GetAt(index) : 0;
}

int SCC_StdCollection::IsInFocus(SYS_Handle handle, long* index) {
    long at = 0;
    if (!m_focus.Find(handle, at)) return FALSE;
    if (index != nullptr) *index = at;
    return TRUE;
}

void SCC_StdCollection::RemoveFromFocus(SYS_Handle handle) {
    long at = 0;
    if (m_focus.Find(handle, at)) m_focus.RemoveAt(at);
}

void SCC_StdCollection::AddToFocus(SYS_Handle handle) {
    long at = 0;
    if (!m_focus.Find(handle, at)) m_focus.InsertAt(at, handle);
}

void SCC_StdCollection::SetFocus(SYS_Handle handle, int mode) {
    long contentIndex = -1;
    if (!LocateHandle(handle, contentIndex)) handle = 0;
    if (mode == 0 || handle == 0) m_focus.Clear();
    if (handle == 0) return;
    long focusIndex = 0;
    const int wasFocused = m_focus.Find(handle, focusIndex);
    if (!wasFocused && mode != -1)
        m_focus.InsertAt(focusIndex, handle);
    else if (wasFocused && mode == -1)
        m_focus.RemoveAt(focusIndex);
    if (mode == 2) return;
    Position kept(m_position);
    const SYS_Handle slider = _GetSlider();
    m_position.Restart(m_content, contentIndex);
    SetSlider(handle);
    if (!wasFocused) Announce(SCC_NotifyFocusAdded, handle);
    _SetSlider(slider);
    m_position = kept;
}

// --- item hooks ------------------------------------------------------------------------------

// Steps: the item's event (under the slider); the caller's cache of the previous item's event
// and hook; the hook map, where a connect creates and attaches the hook of a new event (never for
// the collection's own source event, which it already listens to); then the count.
void SCC_StdCollection::ConnectEvent(int connect, SCC_Notifier** lastEvent, EventHook** lastHook) {
    SCC_Notifier* event = GetEvent();
    if (event == nullptr) return;
    const SYS_Handle key = reinterpret_cast<SYS_Handle>(event);
    if (lastEvent != nullptr && *lastEvent == event) {
        EventHook* cached = lastHook != nullptr ? *lastHook : nullptr;
        if (cached == nullptr) return;
        if (connect) {
            ++cached->m_connections;
        } else if (cached->m_connections <= 1) {
            *lastHook = nullptr;
            Disconnect(cached, key);
        } else {
            --cached->m_connections;
        }
        return;
    }
    EventHook* hook = m_hooks.Lookup(key);
    if (connect && hook == nullptr && event != m_sourceEvent) {
        hook = m_hooks.Add(key, EventHook(this));
        if (hook != nullptr) AddHook<int>(*event, *hook);
    }
    if (lastEvent != nullptr) *lastEvent = event;
    if (lastHook != nullptr) *lastHook = hook;
    if (hook == nullptr) return;
    if (connect)
        ++hook->m_connections;
    else
        Disconnect(hook, key);
}

// The entry's removal destroys the hook, which leaves the item's event (also while that event is
// dispatching to it: the hook touches nothing of its own after the call returns).
void SCC_StdCollection::Disconnect(EventHook* hook, SYS_Handle key) {
    if (--hook->m_connections <= 0) m_hooks.Remove(key);
}

// --- reload and clear ------------------------------------------------------------------------

// Steps: without permission only the availability of content is tracked ((3, 0) when it
// changes). Otherwise the content is rebuilt from the source walk and, when it differs from
// before (or `force`), the focus keeps only handles still in the content and (5, 0) is
// announced. The parent is allowed to reload before the content is emptied, so that a reload
// this causes (which reaches this collection through its parent hook) is complete before this
// one starts. Items are connected on every load and never disconnected by a reload, so the hook
// counts of items that stay grow with each reload.
void SCC_StdCollection::Reload(int force) {
    if (!m_reloadAllowed) {
        const int available = FindNextTempItem(0) != 0;
        if (available == m_contentAvailable) return;
        m_contentAvailable = available;
        Announce(SCC_NotifyChanged, 0);
        return;
    }
    if (m_parent != nullptr) m_parent->AllowReload(1);
    HandleArray old(m_content);
    EmptyContent();
    const SYS_Handle parentSlider = m_parent != nullptr ? m_parent->GetSlider() : 0;
    LoadFromSource();
    if (m_parent != nullptr) m_parent->SetSlider(parentSlider);
    if (!force && SameContent(old)) return;
    m_contentAvailable = HasFocus();
    KeepFocusInContent();
    Announce(SCC_NotifyReset, 0);
}

// Appends every accepted handle in walk order, then sorts stably: the same content as inserting
// each one behind its run of equals, without moving the tail of the array per insert.
void SCC_StdCollection::LoadFromSource() {
    SetSlider(0);
    SCC_Notifier* lastEvent = nullptr;
    EventHook* lastHook = nullptr;
    ConnectEvent(1, &lastEvent, &lastHook);
    for (int more = _GetFirst(); more; more = _GetNext()) {
        const SYS_Handle handle = GetSlider();
        if (!Filter(handle)) continue;
        m_content.InsertAt(m_content.GetSize(), handle);
        m_members->Add(handle);
        ConnectEvent(1, &lastEvent, &lastHook);
    }
    if (m_content.GetSize() < 2) return;
    SCC_SharedPointer<SCC_ComparatorBase> order = m_content.GetComparator();
    if (!order.IsNull()) SCC_StableSortHandles(&m_content[0], m_content.GetSize(), *order);
}

bool SCC_StdCollection::SameContent(const HandleArray& old) const {
    const long size = m_content.GetSize();
    if (size != old.GetSize()) return false;
    return size == 0 || std::equal(&old.GetAt(0), &old.GetAt(0) + size, &m_content.GetAt(0));
}

void SCC_StdCollection::KeepFocusInContent() {
    long index = 0;
    for (long i = m_focus.GetSize() - 1; i >= 0; --i) {
        const SYS_Handle handle = m_focus.GetAt(i);
        if (handle == 0 || !LocateHandle(handle, index)) m_focus.RemoveAt(i);
    }
    if (m_focus.GetSize() > 1) m_focus.Sort(1);
}

void SCC_StdCollection::ResetMaps() {
    m_positions.RemoveAll();
    m_hooks.RemoveAll();
}

void SCC_StdCollection::Clear() {
    ResetMaps();
    EmptyContent();
    m_focus.Clear();
    AllowReload(0);
}

bool SCC_StdCollection::CheckInvariants() const {
    const long size = m_content.GetSize();
    std::vector<SYS_Handle> handles;
    for (long i = 0; i < size; ++i) handles.push_back(m_content.GetAt(i));
    SCC_SharedPointer<SCC_ComparatorBase> order = m_content.GetComparator();
    if (size > 1 && (order.IsNull() || !SCC_HandlesInOrder(handles.data(), size, *order)))
        return false;
    std::sort(handles.begin(), handles.end());
    if (std::adjacent_find(handles.begin(), handles.end()) != handles.end()) return false;
    if (m_members->GetCount() != size) return false;
    for (SYS_Handle handle : handles)
        if (!m_members->Contains(handle)) return false;
    for (long i = 0; i < m_focus.GetSize(); ++i) {
        const SYS_Handle handle = m_focus.GetAt(i);
        if (i > 0 && m_focus.GetAt(i - 1) >= handle) return false;
        if (!std::binary_search(handles.begin(), handles.end(), handle)) return false;
    }
    return true;
}

void SCC_StdCollection::RebuildMembers() {
    m_members->Clear();
    for (long i = 0; i < m_content.GetSize(); ++i) m_members->Add(m_content.GetAt(i));
}

void SCC_StdCollection::EmptyContent() {
    m_content.Clear();
    m_members->Clear();
}
