#include "SCC_SavedHandles.h"

#include "SSM_Assert.h"

namespace {
const char kUnit[] = "scc/SCC_SavedHandles";
}  // namespace

SCC_HandleWithEvent::~SCC_HandleWithEvent() = default;

int SCC_HandleWithEvent::OnNotification(int code, int* data) {
    if (code == SCC_NotifyBlock) OnUpdatePointers(data);
    if (!SSM_CHECK(m_container != nullptr, "", kUnit, SSM_FailureError)) return 0;
    // The container may release the last reference to this object: return its answer directly.
    return m_container->HandleNotification(m_handle, m_type, code, reinterpret_cast<long*>(data));
}

// ---------------------------------------------------------------------------------------------

int SCC_SavedHandles::CompareEntries(const Entry& a, const Entry& b) {
    if (a.IsNull() || b.IsNull()) return SCC_Compare(a.IsNull() ? 0 : 1, b.IsNull() ? 0 : 1);
    int byType = SCC_Compare(a->GetType(), b->GetType());
    return byType != 0 ? byType : SCC_Compare(a->GetHandle(), b->GetHandle());
}

SCC_SavedHandles::SCC_SavedHandles()
    : SCC_SortableArray<Entry>(new SCC_Comparator<Entry>(&SCC_SavedHandles::CompareEntries)),
      m_resort(false) {}

SCC_SavedHandles::SCC_SavedHandles(const SCC_SavedHandles& other)
    : SCC_SortableArray<Entry>(other), m_resort(other.m_resort) {}

SCC_SavedHandles& SCC_SavedHandles::operator=(const SCC_SavedHandles& other) {
    SCC_SortableArray<Entry>::operator=(other);
    m_resort = other.m_resort;
    return *this;
}

SCC_SavedHandles::~SCC_SavedHandles() { ReleaseOwnHandles(); }

void SCC_SavedHandles::ReleaseOwnHandles() {
    const long size = GetSize();
    for (long i = 0; i < size; ++i) {
        SCC_HandleWithEvent* entry = GetAt(i).Get();
        if (entry == nullptr || entry->GetContainer() != this) continue;
        Detach(static_cast<SCC_EventNode<int>&>(*entry));
        entry->SetContainer(nullptr);
    }
}

int SCC_SavedHandles::HandleNotification(SYS_Handle /*handle*/, long type, int code, long* data) {
    switch (code) {
    case SCC_NotifyDeleting:
        Delete(SCC_Notifier::DataAsValue(data), type);
        break;
    case SCC_NotifyCleared:
        Clear();
        break;
    case SCC_NotifyBlock:
        m_resort = true;
        break;
    default:
        break;
    }
    return 0;
}

SCC_SavedHandles::Entry SCC_SavedHandles::Find(SYS_Handle handle, long type, long* index) {
    if (m_resort) {
        m_resort = false;
        Sort(1);
    }
    SCC_HandleWithEvent key(handle, type, nullptr);
    const Entry keyEntry(&key);
    long first = 0, last = 0;
    FindItemPosition(&keyEntry, first, last, nullptr);
    if (index != nullptr) *index = first;
    return first < last ? GetAt(first) : Entry();
}

int SCC_SavedHandles::Save(SYS_Handle handle, long type) {
    long index = 0;
    if (!Find(handle, type, &index).IsNull()) return 0;
    Entry created = CreateByType(handle, type);
    if (created.IsNull()) return 0;
    if (SCC_Notifier* event = created->GetChangeEvent())
        AddNode(static_cast<SCC_Event<int>&>(*event), static_cast<SCC_EventNode<int>&>(*created));
    InsertAt(index, created);
    return 1;
}

int SCC_SavedHandles::Delete(SYS_Handle handle, long type) {
    long index = 0;
    if (Find(handle, type, &index).IsNull()) return 0;
    RemoveAt(index, 1);
    return 1;
}
