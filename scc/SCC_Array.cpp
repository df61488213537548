#include "SCC_Array.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

using SCC_ArrayDetail::kUnit;
const char kNoComparatorToSort[] = "In SCC_Array::Sort(), The array has no comparator";
const long kMaxGrowBy = 10000;

}  // namespace

// ---- _Buffer ---------------------------------------------------------------------------------

void* _SCC_Array::_Buffer::operator new(std::size_t size, long capacity, long elementSize) {
    // A size that does not fit in memory must fail, never wrap around to a small block.
    std::size_t slots = static_cast<std::size_t>(capacity);
    std::size_t width = static_cast<std::size_t>(elementSize);
    if (capacity < 0 || elementSize < 0 || (width != 0 && slots > (SIZE_MAX - size) / width))
        throw std::bad_alloc();
    return ::operator new(size + slots * width);
}

void _SCC_Array::_Buffer::operator delete(void* p) { ::operator delete(p); }

void _SCC_Array::_Buffer::operator delete(void* p, long /*capacity*/, long /*elementSize*/) {
    ::operator delete(p);
}

void _SCC_Array::_Buffer::ConstructElements(long /*first*/, long /*count*/) {}

void _SCC_Array::_Buffer::DestructElements(long /*first*/, long /*count*/) {}

int _SCC_Array::_Buffer::IsValid() const {
    int valid = SSM_CHECK_THROW(GetRefCount() > 0, "", kUnit, SSM_FailureError);
    valid &= SSM_CHECK_THROW(m_size >= 0, "", kUnit, SSM_FailureError);
    valid &= SSM_CHECK_THROW(m_capacity >= m_size, "", kUnit, SSM_FailureError);
    return valid ? TRUE : FALSE;
}

// ---- life cycle ------------------------------------------------------------------------------

_SCC_Array::_SCC_Array(const _SCC_Array& other) : m_comparator(nullptr), m_notifier(nullptr) {
    AdoptComparator(other.m_comparator);
}

_SCC_Array& _SCC_Array::operator=(const _SCC_Array& other) {
    AdoptComparator(other.m_comparator);
    Notify(SCC_NotifyReset, 0);
    return *this;
}

_SCC_Array::~_SCC_Array() {
    AdoptComparator(nullptr);
    delete m_notifier;
}

void _SCC_Array::AdoptComparator(SCC_ComparatorBase* comparator) {
    // The new reference first: the comparator may be the one already held.
    if (comparator != nullptr) comparator->Ref(dynamic_cast<void*>(comparator));
    SCC_ComparatorBase* old = m_comparator;
    m_comparator = comparator;
    if (old != nullptr && old->Deref() == 0) delete old;
}

// ---- size changes ----------------------------------------------------------------------------

void _SCC_Array::SetSize(long n) {
    if (!SSM_CHECK_THROW(n >= 0, "", kUnit, SSM_FailureAssert)) return;
    CreateBuffer(3, 0, n);
    Notify(SCC_NotifyReset, 0);
}

void _SCC_Array::Insert(long index, long count) {
    if (OpenSlots(index, count)) NotifyInserted(index, count);
}

bool _SCC_Array::OpenSlots(long index, long count) {
    if (!SSM_CHECK_THROW(index >= 0, "", kUnit, SSM_FailureAssert)) return false;
    if (!SSM_CHECK_THROW(count > 0, "", kUnit, SSM_FailureAssert)) return false;
    if (count > LONG_MAX - GetSize()) throw std::bad_alloc();
    // Opening slots past the end would leave a gap of unconstructed elements.
    if (!SSM_CHECK_THROW(index <= GetSize(), "", kUnit, SSM_FailureAssert)) return false;
    CreateBuffer(1, index, count);
    return GetSize() >= index + count;
}

void _SCC_Array::Delete(long index, long count) {
    if (!SSM_CHECK_THROW(index >= 0 && count >= 1 && index <= GetSize() - count, "", kUnit,
                         SSM_FailureAssert))
        return;
    if (m_notifier != nullptr) {
        for (long i = 0; i < count; ++i) Notify(SCC_NotifyDeleting, index + 1);
        Change change = {kOperationDelete, index, count};
        m_notifier->Notify(SCC_NotifyBlock, &change);
        // A listener that shrank the array meanwhile leaves nothing sound to delete.
        if (!SSM_CHECK_THROW(index <= GetSize() - count, "", kUnit, SSM_FailureAssert)) return;
    }
    CreateBuffer(2, index, count);
}

void _SCC_Array::Clear() {
    if (GetBuffer() == nullptr) return;
    Notify(SCC_NotifyCleared, 0);
    SetBuffer(nullptr);
}

void _SCC_Array::CheckArray(long i) {
    long size = GetSize();
    if (i >= size)
        Insert(size, i - size + 1);
    else
        SeparateBuffers();
}

void _SCC_Array::SeparateBuffers() {
    _Buffer* buffer = GetBuffer();
    if (buffer != nullptr && buffer->GetRefCount() >= 2) CreateBuffer(4, 0, buffer->m_size);
}

long _SCC_Array::GetGrowByAmount() {
    long grow = 2 * GetSize();
    if (grow < 1) return 1;
    return grow > kMaxGrowBy ? kMaxGrowBy : grow;
}

void _SCC_Array::CreateBuffer(int mode, long index, long count) {
    _Buffer* buffer = GetBuffer();
    long oldSize = SizeOf(buffer);
    long newSize = mode == 1 ? oldSize + count : mode == 2 ? oldSize - count : mode == 3 ? count
                                                                                     : oldSize;
    bool needsNew = buffer == nullptr || buffer->GetRefCount() >= 2 || mode == 4 ||
                    newSize > buffer->m_capacity;
    if (!needsNew) {
        ResizeInPlace(mode, index, count, newSize);
        return;
    }
    long capacity;
    if (mode == 4) {
        capacity = count > newSize ? count : newSize;
    } else {
        long grown = (buffer != nullptr ? buffer->m_capacity : 0) + GetGrowByAmount();
        capacity = grown >= newSize ? grown : newSize;
    }
    ResizeIntoNewBuffer(mode, index, count, newSize, capacity);
}

void _SCC_Array::ResizeInPlace(int mode, long index, long count, long newSize) {
    _Buffer* buffer = GetBuffer();
    long oldSize = buffer->m_size;
    if (mode == 1) {
        buffer->ConstructElements(oldSize, count);
        CopyData(buffer, newSize - 1, oldSize - 1, -(oldSize - index));  // tail up, from the top
        // Opened slots that still hold old values become default elements.
        long stale = oldSize - index < count ? oldSize - index : count;
        if (stale > 0) {
            buffer->DestructElements(index, stale);
            buffer->ConstructElements(index, stale);
        }
    } else if (mode == 2) {
        CopyData(buffer, index, index + count, oldSize - index - count);
        buffer->DestructElements(newSize, count);
    } else if (newSize > oldSize) {
        buffer->ConstructElements(oldSize, newSize - oldSize);
    } else {
        buffer->DestructElements(newSize, oldSize - newSize);
    }
    buffer->m_size = newSize;
}

void _SCC_Array::ResizeIntoNewBuffer(int mode, long index, long count, long newSize,
                                     long capacity) {
    _Buffer* fresh = AllocData(capacity);
    if (fresh == nullptr) {
        SetBuffer(nullptr);
        return;
    }
    long oldSize = GetSize();
    if (!fresh->IsTrivial())
        fresh->ConstructElements(0, newSize);
    else if (mode == 1)
        fresh->ConstructElements(index, count);  // the opened slots; copies fill the rest
    else if (mode == 3 && newSize > oldSize)
        fresh->ConstructElements(oldSize, newSize - oldSize);
    fresh->m_size = newSize;
    if (mode == 1) {
        CopyData(fresh, 0, 0, index);
        CopyData(fresh, index + count, index, oldSize - index);
    } else if (mode == 2) {
        CopyData(fresh, 0, 0, index);
        CopyData(fresh, index, index + count, oldSize - index - count);
    } else {
        CopyData(fresh, 0, 0, oldSize < newSize ? oldSize : newSize);
    }
    SetBuffer(fresh);
}

// ---- notifications ---------------------------------------------------------------------------

SCC_Notifier* _SCC_Array::GetNotifier() {
    if (m_notifier == nullptr) m_notifier = new SCC_Notifier;
    return m_notifier;
}

void _SCC_Array::AddListener(SCC_EventNode<int>& node) { AddNode(*GetNotifier(), node); }

void _SCC_Array::Notify(int code, SYS_Handle value) {
    if (m_notifier != nullptr) m_notifier->Notify(code, SCC_Notifier::ValueAsData(value));
}

void _SCC_Array::SendInserted(long index, long count) {
    Change change = {kOperationInsert, index, count};
    m_notifier->Notify(SCC_NotifyBlock, &change);
    for (long i = 1; i <= count; ++i) Notify(SCC_NotifyInserted, index + i);
}

void _SCC_Array::NotifyChanged(long index) { Notify(SCC_NotifyChanged, index + 1); }

// ---- validity --------------------------------------------------------------------------------

int _SCC_Array::IsValid() const {
    _Buffer* buffer = GetBuffer();
    return buffer == nullptr ? TRUE : buffer->IsValid();
}

void _SCC_Array::CopyData(_Buffer* /*dest*/, long /*destIndex*/, long /*srcIndex*/,
                          long /*count*/) {
    SSM_CHECK_THROW(false, "", kUnit, SSM_FailureError);
}

void _SCC_Array::Swap(long /*i*/, long /*j*/) {
    SSM_CHECK_THROW(false, "_SCC_Array::Swap is called.", kUnit, SSM_FailureAssert);
}

// ---- comparators -----------------------------------------------------------------------------

SCC_SharedPointer<SCC_ComparatorBase> _SCC_Array::GetComparator() const {
    return SCC_SharedPointer<SCC_ComparatorBase>(m_comparator);
}

void _SCC_Array::SetComparator(SCC_ComparatorBase* comparator) {
    AdoptComparator(comparator);
    if (comparator != nullptr) Sort(1);
}

int SCC_ComparatorBase::Compare(const void* /*a*/, const void* /*b*/) {
    SSM_CHECK_THROW(false, "SCC_ComparatorBase::Compare called.", kUnit, SSM_FailureError);
    return 0;
}

_SCC_Array::Ordering _SCC_Array::OrderingBy(SCC_ComparatorBase& comparator) const {
    _Buffer* buffer = GetBuffer();
    return Ordering{comparator, buffer != nullptr ? buffer->Elements() : nullptr, GetElementSize()};
}

int _SCC_Array::Ordering::operator()(long i, long j) const {
    return comparator.Compare(data + i * elementSize, data + j * elementSize);
}

int _SCC_Array::Ordering::WithItem(long i, const void* item) const {
    return comparator.Compare(data + i * elementSize, item);
}

int _SCC_Array::ItemInValidPlace(long i) const {
    long size = GetSize();
    if (!SSM_CHECK_THROW(i >= 0 && i < size, "", kUnit, SSM_FailureError)) return TRUE;
    if (!SSM_CHECK_THROW(m_comparator != nullptr,
                         "In SCC_Array::ItemInValidPlace(), The array has no comparator", kUnit,
                         SSM_FailureError))
        return TRUE;
    if (size == 1) return TRUE;
    Ordering order = OrderingBy(*m_comparator);
    if (i > 0 && order(i, i - 1) < 0) return FALSE;
    if (i < size - 1 && order(i, i + 1) > 0) return FALSE;
    return TRUE;
}

// ---- sorting ---------------------------------------------------------------------------------

void _SCC_Array::Sort(long first, long count, int direction) {
    long size = GetSize();
    if (first < 0 || first >= size || count > size - first) return;
    SeparateBuffers();
    if (!SSM_CHECK_THROW(m_comparator != nullptr, kNoComparatorToSort, kUnit, SSM_FailureError))
        return;
    if (direction == 0) direction = m_comparator->IsDescending() ? -1 : 1;
    m_comparator->SetDescending(direction == -1);
    if (count < 2) return;
    // Hold the comparator: a listener or a compare could replace it while we sort.
    SCC_SharedPointer<SCC_ComparatorBase> comparator(m_comparator);
    SortRange(*comparator, first, first + count - 1);
    Notify(SCC_NotifyReset, 0);
}

// The untyped elements: virtual compares through the comparator, the virtual Swap and the
// overridable ShortSort.
struct _SCC_Array::SortPolicy {
    _SCC_Array& array;
    Ordering order;
    int Compare(long i, long j) const { return order(i, j); }
    void Swap(long i, long j) { array.Swap(i, j); }
    void ShortSort(long lo, long hi) { array.ShortSort(lo, hi); }
};

void _SCC_Array::SortRange(SCC_ComparatorBase& comparator, long lo, long hi) {
    SortPolicy policy{*this, OrderingBy(comparator)};
    SCC_ArraySortDetail::QuickSort(policy, lo, hi);
}

void _SCC_Array::ShortSort(long lo, long hi) {
    if (!SSM_CHECK_THROW(m_comparator != nullptr, kNoComparatorToSort, kUnit, SSM_FailureError))
        return;
    SortPolicy policy{*this, OrderingBy(*m_comparator)};
    SCC_ArraySortDetail::SelectionSort(policy, lo, hi);
}

// ---- ordered search --------------------------------------------------------------------------

void _SCC_Array::FindItemPosition(const void* item, long& first, long& last,
                                  SCC_ComparatorBase* comparator) const {
    long size = GetSize();
    first = last = 0;
    if (size == 0) return;
    SCC_ComparatorBase* by = comparator != nullptr ? comparator : m_comparator;
    first = last = size;
    if (!SSM_CHECK_THROW(by != nullptr,
                         "In SCC_Array::FindItemPosition(), The array has no comparator", kUnit,
                         SSM_FailureError))
        return;
    struct {
        Ordering order;
        const void* item;
        int WithItem(long i) const { return order.WithItem(i, item); }
    } policy{OrderingBy(*by), item};
    SCC_ArraySortDetail::FindRun(policy, size, first, last);
}

// ---- array iterators -------------------------------------------------------------------------

void SCC_ArrayIteratorBase::Restart(_SCC_Array& array, long focus) {
    array.AddListener(*this);
    m_array = &array;
    m_focus = focus < 0 ? -1 : focus;
}

void SCC_ArrayIteratorBase::RestartFromEnd(_SCC_Array& array) {
    Restart(array, array.GetSize() - 1);
}

int SCC_ArrayIteratorBase::GetFirst(void* array) {
    if (array != nullptr)
        Restart(*static_cast<_SCC_Array*>(array), 0);
    else
        m_focus = 0;
    return IsValid();
}

int SCC_ArrayIteratorBase::GetNext() {
    m_focus = m_focus < 0 ? 0 : m_focus + 1;
    return IsValid();
}

int SCC_ArrayIteratorBase::GetPrev() {
    m_focus = m_focus > 0 ? m_focus - 1 : -1;
    return IsValid();
}

int SCC_ArrayIteratorBase::IsValid() {
    _SCC_Array* array = GetArray();
    return array != nullptr && m_focus >= 0 && m_focus < array->GetSize();
}

void SCC_ArrayIteratorBase::SetHandle(SYS_Handle handle, void* array) {
    long focus = static_cast<long>(handle) - 1;
    if (array != nullptr)
        Restart(*static_cast<_SCC_Array*>(array), focus);
    else
        m_focus = focus < 0 ? -1 : focus;
}

int SCC_ArrayIteratorBase::OnNotification(int code, int* param) {
    if (code == SCC_NotifyBlock) {
        OnUpdatePointers(param);
        return 0;
    }
    return SCC_Iterator::OnNotification(code, param);
}

void SCC_ArrayIteratorBase::OnUpdatePointers(void* info) {
    const _SCC_Array::Change* change = static_cast<const _SCC_Array::Change*>(info);
    if (change == nullptr || m_focus < 0) return;
    if (change->operation == _SCC_Array::kOperationInsert) {
        if (change->index <= m_focus) m_focus += change->count;
    } else if (change->operation == _SCC_Array::kOperationDelete) {
        if (change->index + change->count <= m_focus)
            m_focus -= change->count;
        else if (change->index <= m_focus)
            m_focus = -1;
    }
}
