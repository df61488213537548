#pragma once

#include <climits>
#include <cstring>
#include <new>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "SCC_ArraySort.h"
#include "SCC_Compare.h"
#include "SCC_Iterator.h"
#include "SCC_Notifier.h"
#include "SCC_SharedBuffer.h"
#include "SSM_Assert.h"
#include "TessarExport.h"

/// @file
/// The library's growable array.
///
/// Storage is one reference-counted buffer (a header followed by the elements) shared by every
/// copy of an array until one of them writes: every mutator, and every non-const element access,
/// first gives a shared array a private copy, so no write ever shows through a copy. A full
/// buffer grows by twice the current size, at least 1 and at most 10000 elements at a time.
///
/// An array can carry a comparator (shared, reference-counted); it then keeps Add in order and
/// answers ordered searches. Changes are announced on the array's notifier, created on first
/// demand, with the notification protocol (SCC_NotifyCode, SCC_Notifier.h).
///
/// The untyped work (sizes, growth, buffers, sorting, searching, notifications) is done once in
/// _SCC_Array; SCC_Array<T> adds the typed element operations. Checks report to the assertion
/// entry point as "scc/SCC_Array", those of the typed element operations as
/// "scc/SCC_Array_Inline"; a refused operation leaves the array unchanged.

class SCC_ComparatorBase;

namespace SCC_ArrayDetail {
/// The unit of the checks of the array's implementation file.
constexpr const char kUnit[] = "scc/SCC_Array";
// The typed element operations report from their own unit, at fixed lines that hosts key their
// handling by ("scc/SCC_Array_Inline(315)"): these numbers do not follow the header's layout.
constexpr const char kInlineUnit[] = "scc/SCC_Array_Inline";
constexpr int kLineOutOfRange = 315;      // an element index outside the array
constexpr int kLineNoBuffer = 322;        // an element written to an array without a buffer
constexpr int kLineNegativeInsert = 370;  // an insert position below 0
constexpr int kLineIteratorFailed = 526;  // the element of an iterator on no element
constexpr const char kIteratorFailed[] = "SCC_Array::Iterator failed";
}  // namespace SCC_ArrayDetail

/// The untyped part of every array (see SCC_Array): sizes, growth, buffers, sorting, searching and
/// notifications, done once for all element types.
class TESSAR_EXPORT _SCC_Array {
public:
    /// The buffer: reference count, capacity and size, then the elements at offset
    /// sizeof(_Buffer). Array buffers are allocated by their array and never enter the registry
    /// of fresh objects.
    class TESSAR_EXPORT _Buffer : public SCC_SharedBuffer {
    public:
        /// An empty buffer with room for `capacity` elements.
        explicit _Buffer(long capacity) : m_capacity(capacity), m_size(0) {}
        ~_Buffer() override = default;  ///< typed buffers destroy their elements

        /// Header and `capacity` elements of `elementSize` bytes in one block.
        static void* operator new(std::size_t size, long capacity, long elementSize);
        /// Frees the block of the operator new above.
        ///@{
        static void operator delete(void* p);
        static void operator delete(void* p, long capacity, long elementSize);
        ///@}

        /// Construct (default) or destroy `count` elements from `first`; the base does nothing
        /// (plain bytes).
        ///@{
        virtual void ConstructElements(long first, long count);
        virtual void DestructElements(long first, long count);
        ///@}
        /// Whether slots may be filled by copying bytes without constructing them first (true
        /// for trivial element types): a new buffer then constructs only the slots no copy fills.
        virtual bool IsTrivial() const { return false; }

        /// The first reference of a buffer its array allocated: 0 becomes 1 (see the class).
        long AdoptReference() { return RefOwnAllocation(); }
        /// Reference count > 0, size >= 0 and capacity >= size; each failure is reported.
        int IsValid() const;

        /// Number of element slots the buffer holds.
        long GetCapacity() const { return m_capacity; }
        /// Number of elements in use.
        long GetSize() const { return m_size; }
        /// The first element, directly behind the header.
        ///@{
        char* Elements() { return reinterpret_cast<char*>(this) + sizeof(_Buffer); }
        const char* Elements() const {
            return reinterpret_cast<const char*>(this) + sizeof(_Buffer);
        }
        ///@}

    private:
        friend class _SCC_Array;
        long m_capacity;
        long m_size;
    };

    /// Parameter of Block.
    struct Change {
        long operation;  ///< 1 insert, 2 delete
        /// Where the elements were inserted or deleted.
        long index;
        /// How many elements were inserted or deleted.
        long count;
    };
    /// The values of Change::operation.
    enum { kOperationInsert = 1, kOperationDelete = 2 };

    /// An empty array: no buffer, no comparator, no notifier.
    _SCC_Array() : m_comparator(nullptr), m_notifier(nullptr) {}
    /// Releases the comparator and deletes the notifier; the typed layer releases the buffer.
    virtual ~_SCC_Array();

    /// The number of elements.
    ///@{
    long GetSize() const { return SizeOf(GetBuffer()); }
    long GetCount() const { return GetSize(); }
    ///@}
    /// The number of elements, like GetSize (not the last index).
    long GetUpperBound() const { return GetSize(); }
    /// TRUE when 0 <= i < size.
    int InBounds(long i) const { return i >= 0 && i < GetSize(); }

    /// Resizes to n elements (new ones default-constructed, plain values zero), then Reset.
    void SetSize(long n);
    /// Opens `count` default elements at `index` (0 <= index <= size, count > 0).
    void Insert(long index, long count);
    /// Removes `count` elements at `index` (index >= 0, count >= 1, index + count <= size).
    void Delete(long index, long count);
    /// Same as Delete(index, count).
    void RemoveAt(long index, long count = 1) { Delete(index, count); }
    /// Cleared, then drops the buffer; nothing happens without a buffer.
    void Clear();
    /// Same as Clear().
    void RemoveAll() { Clear(); }

    /// Replaces the comparator (the old one is released); a non-null one sorts the array
    /// ascending at once.
    void SetComparator(SCC_ComparatorBase* comparator);
    /// A new reference to the comparator; null when there is none.
    SCC_SharedPointer<SCC_ComparatorBase> GetComparator() const;

    /// Whether element i (0 <= i < size) is in order with its neighbours; TRUE without a
    /// comparator (after a report).
    int ItemInValidPlace(long i) const;

    /// The array's notifier, created on the first call and owned by the array.
    SCC_Notifier* GetNotifier();
    /// Detaches `node` from whatever it observed and attaches it to this array's notifier.
    void AddListener(SCC_EventNode<int>& node);

    /// The typed layer's part: the buffer (null when there is none; SetBuffer takes a reference on
    /// the new one and releases the old one), a new buffer of `capacity` slots, the element size,
    /// element copies from this array's buffer into `dest`, and the exchange of two elements. The
    /// base versions answer null or 0, or report that the typed layer is missing.
    ///@{
    virtual _Buffer* GetBuffer() const { return nullptr; }
    virtual void SetBuffer(_Buffer* buffer) = 0;
    virtual _Buffer* AllocData(long capacity) = 0;
    virtual long GetElementSize() const { return 0; }
    virtual void CopyData(_Buffer* dest, long destIndex, long srcIndex, long count);
    virtual void Swap(long i, long j);
    ///@}
    /// Selection pass over lo..hi: the greatest element (the first of equal maxima) goes to hi,
    /// then hi moves down.
    virtual void ShortSort(long lo, long hi);
    /// Twice the size, at least 1 and at most 10000.
    virtual long GetGrowByAmount();
    /// TRUE when the array has no element.
    virtual int IsEmpty() const { return GetSize() == 0; }
    /// TRUE without a buffer, else the buffer's IsValid.
    virtual int IsValid() const;
    /// Sorts `count` elements from `first`; direction 1 ascending, -1 descending, 0 the
    /// comparator's current direction, which the sort stores in the comparator. Does nothing
    /// when the range leaves the array; needs a comparator. Then Reset (ranges of two or more).
    ///
    /// The sort is the classic non-recursive quicksort: middle element as pivot, scans with <=
    /// and >=, pivot to the meeting point, smaller side kept for later, ranges of at most 8
    /// finished by ShortSort. It is not stable. Because every element equal to the pivot goes
    /// to one side, many equal keys would make it quadratic; a range that has been partitioned
    /// more than 2*log2 of its size times is therefore finished by heapsort, which keeps the
    /// whole sort O(n log n). Only the relative order of equal elements of such ranges can then
    /// differ from the plain quicksort; inputs that never trip the guard are ordered exactly
    /// as by the plain quicksort.
    ///@{
    virtual void Sort(long first, long count, int direction);
    virtual void Sort(int direction) { Sort(0, GetSize(), direction); }
    ///@}

protected:
    /// Shares the comparator; the buffer is the typed layer's and the notifier is not copied.
    _SCC_Array(const _SCC_Array& other);
    /// Shares the other's comparator, then Reset; the buffer is the typed layer's.
    _SCC_Array& operator=(const _SCC_Array& other);

    /// The half-open run [first, last) of elements equal to `item` under `comparator` (null:
    /// the array's own); when there is none, first == last is where `item` keeps the order.
    /// Without any comparator (non-empty array) the result is (size, size) after a report.
    void FindItemPosition(const void* item, long& first, long& last,
                          SCC_ComparatorBase* comparator) const;
    /// Grows the array to i + 1 elements when i >= size (Block and Inserted), else separates a
    /// shared buffer.
    void CheckArray(long i);
    /// Gives a shared buffer a private copy.
    void SeparateBuffers();
    /// Every size change: mode 1 insert `count` at `index`, 2 delete `count` at `index`, 3 set
    /// the size to `count`, 4 copy into a private buffer of capacity `count`.
    void CreateBuffer(int mode, long index, long count);

    /// Insert and Delete without notifications, for the typed layer that fills in values first.
    /// Both answer false after a failed check.
    bool OpenSlots(long index, long count);
    /// Announces the insertion of `count` elements at `index` (Block, then Inserted for each),
    /// when the array has a notifier.
    void NotifyInserted(long index, long count) {
        if (m_notifier != nullptr) SendInserted(index, count);
    }
    /// Announces Changed for element `index`.
    void NotifyChanged(long index);
    /// Announces `code` with `value` in the data pointer, when the array has a notifier.
    void Notify(int code, SYS_Handle value);
    /// Size of a buffer the typed layer filled in place (one more element at the end).
    static void GrowByOneInPlace(_Buffer& buffer) { ++buffer.m_size; }
    /// The comparator, not referenced; null when there is none.
    SCC_ComparatorBase* Comparator() const { return m_comparator; }
    /// Sorts lo..hi (hi > lo) with `comparator` by the quicksort described at Sort.
    virtual void SortRange(SCC_ComparatorBase& comparator, long lo, long hi);

private:
    /// Compares elements of the current buffer by index, or an element with an item.
    struct Ordering {
        SCC_ComparatorBase& comparator;
        const char* data;
        long elementSize;
        int operator()(long i, long j) const;
        int WithItem(long i, const void* item) const;
    };

    static long SizeOf(const _Buffer* buffer) { return buffer != nullptr ? buffer->m_size : 0; }
    Ordering OrderingBy(SCC_ComparatorBase& comparator) const;
    void SendInserted(long index, long count);
    struct SortPolicy;
    void ResizeInPlace(int mode, long index, long count, long newSize);
    void ResizeIntoNewBuffer(int mode, long index, long count, long newSize, long capacity);
    void AdoptComparator(SCC_ComparatorBase* comparator);

    SCC_ComparatorBase* m_comparator;
    SCC_Notifier* m_notifier;
};

/// Orders elements for sorting and ordered searches; shared through its reference count. The
/// flag `descending` negates every result.
class TESSAR_EXPORT SCC_ComparatorBase : public SCC_SharedBuffer {
public:
    SCC_ComparatorBase() : m_descending(false) {}
    /// Copies the direction; the copy starts unreferenced.
    ///@{
    SCC_ComparatorBase(const SCC_ComparatorBase& other)
        : SCC_SharedBuffer(other), m_descending(other.m_descending) {}
    ///@}
    /// Comparators are deleted by the last reference.
    ~SCC_ComparatorBase() override = default;

    /// < 0, 0, > 0 as *a orders before, with, after *b. The base reports a failure and answers 0.
    virtual int Compare(const void* a, const void* b);

    /// Whether every result is negated (descending order).
    ///@{
    int IsDescending() const { return m_descending; }
    void SetDescending(int descending) { m_descending = descending != 0; }
    ///@}

private:
    bool m_descending;
};


/// Compares two T with a function, or with SCC_Compare(const T&, const T&) when the function is
/// null. Starts ascending.
template <class T>
class TESSAR_EXPORT SCC_Comparator : public SCC_ComparatorBase {
    template <class U, class = void>
    struct HasCompare : std::false_type {};
    template <class U>
    struct HasCompare<U, decltype(void(SCC_Compare(std::declval<const U&>(),
                                                   std::declval<const U&>())))>
        : std::true_type {};

public:
    /// A comparison of two values: < 0, 0, > 0 as for Compare.
    typedef int (*Function)(const T& a, const T& b);

    /// Whether T has an SCC_Compare, which a comparator without a function uses.
    static constexpr bool kHasDefaultOrder = HasCompare<T>::value;

    /// SCC_Compare in one direction, held by value so that a loop keeps it in registers: what
    /// Compare does without a function.
    struct DefaultOrder {
        /// Negates every result when true.
        bool descending;
        /// SCC_Compare(x, y), negated when descending.
        int operator()(const T& x, const T& y) const {
            int result = SCC_Compare(x, y);
            return descending ? -result : result;
        }
    };

    /// Compares with `function`, or with SCC_Compare when it is null (see kHasDefaultOrder).
    explicit SCC_Comparator(Function function = nullptr) : m_function(function) {}

    /// Without a function, a type that has no SCC_Compare is reported like the base.
    int Compare(const void* a, const void* b) override {
        if (!ComparesValues()) return SCC_ComparatorBase::Compare(a, b);
        return CompareValues(*static_cast<const T*>(a), *static_cast<const T*>(b));
    }

    /// The comparison function; null when SCC_Compare is used.
    Function GetFunction() const { return m_function; }
    /// Whether CompareValues gives Compare's results (a function, or an SCC_Compare for T).
    bool ComparesValues() const { return m_function != nullptr || kHasDefaultOrder; }
    /// Compare without the virtual call; only when ComparesValues().
    int CompareValues(const T& x, const T& y) const {
        if (m_function != nullptr) {
            int result = m_function(x, y);
            return IsDescending() ? -result : result;
        }
        if constexpr (kHasDefaultOrder) return DefaultOrder{IsDescending() != 0}(x, y);
        return 0;
    }

private:
    Function m_function;
};

/// The typed buffer; its elements follow the header. Plain values are zero when constructed.
template <class T>
struct TESSAR_EXPORT _SCC_Buffer : public _SCC_Array::_Buffer {
    static_assert(alignof(T) <= alignof(std::max_align_t), "over-aligned element type");

    /// An empty buffer with room for `capacity` elements of T.
    explicit _SCC_Buffer(long capacity) : _Buffer(capacity) {}
    /// Destroys the elements in use.
    ~_SCC_Buffer() override { DestructElements(0, GetSize()); }

    /// The elements.
    T* Data() { return reinterpret_cast<T*>(Elements()); }
    /// Default-construct or destroy `count` elements of T from `first`.
    ///@{
    void ConstructElements(long first, long count) override {
        T* data = Data();
        for (long i = first; i < first + count; ++i) new (data + i) T();
    }
    void DestructElements(long first, long count) override {
        T* data = Data();
        for (long i = first; i < first + count; ++i) data[i].~T();
    }
    ///@}
    /// True when T is trivial, so slots may be filled by copying bytes.
    bool IsTrivial() const override { return std::is_trivial<T>::value; }
};

template <class T>
class SCC_SortableArray;

/// A typed array. Element access is checked; an index out of range is reported and reads a
/// default value (writes go to a scratch element).
template <class T>
class TESSAR_EXPORT SCC_Array : public _SCC_Array {
public:
    /// An empty array without a buffer.
    SCC_Array() : m_data(nullptr) {}
    /// Shares the other's buffer and comparator.
    SCC_Array(const SCC_Array& other) : _SCC_Array(other), m_data(nullptr) {
        SetBuffer(other.GetBuffer());
    }
    /// Releases the buffer (the last reference destroys the elements).
    ~SCC_Array() override { SetBuffer(nullptr); }
    /// Shares the other's buffer and comparator, then Reset.
    SCC_Array& operator=(const SCC_Array& other) {
        if (this != &other) {
            SetBuffer(other.GetBuffer());
            _SCC_Array::operator=(other);
        }
        return *this;
    }

    /// Typed forms of the base queries, without a virtual call.
    ///@{
    long GetSize() const { return m_data != nullptr ? BufferOf(m_data)->GetSize() : 0; }
    /// TRUE when 0 <= i < size.
    int InBounds(long i) const { return i >= 0 && i < GetSize(); }
    ///@}

    /// The element at i; an index out of range is reported (type 1) and reads a default value.
    ///@{
    const T& GetAt(long i) const {
        if (!CheckIndex(i)) return Scratch();
        return m_data[i];
    }
    /// Same as GetAt(i).
    const T& operator[](long i) const { return GetAt(i); }
    ///@}
    /// Separates a shared buffer first: writes through the reference never reach copies. No
    /// notification is sent.
    T& operator[](long i) {
        if (!CheckIndex(i)) return Scratch();
        if (BufferOf(m_data)->IsShared()) SeparateBuffers();
        return m_data[i];
    }
    /// Writes element i (0 <= i < size), then Changed.
    void SetAt(long i, const T& value) {
        if (!CheckIndex(i)) return;
        SeparateBuffers();
        m_data[i] = value;
        NotifyChanged(i);
    }
    /// Grows the array to i + 1 elements when needed, then writes element i (Changed).
    void SetAtGrow(long i, const T& value) {
        if (!SSM_CHECK_AT(i >= 0 && i < LONG_MAX, "", SCC_ArrayDetail::kInlineUnit,
                          SCC_ArrayDetail::kLineOutOfRange, SSM_FailureError))
            return;
        T keep(value);  // value may live in the buffer that CheckArray replaces
        CheckArray(i);
        // A listener of the growth may have cleared the array meanwhile.
        if (!SSM_CHECK_AT(InBounds(i), "", SCC_ArrayDetail::kInlineUnit,
                          SCC_ArrayDetail::kLineNoBuffer, SSM_FailureError))
            return;
        m_data[i] = keep;
        NotifyChanged(i);
    }
    /// Inserts `count` copies of `value` at `index` (Block and Inserted once the values are in).
    void InsertAt(long index, const T& value, long count = 1) {
        if (!CheckInsertPosition(index)) return;
        if (count == 1 && index == GetSize() && AppendInPlace(value)) return;
        T keep(value);
        if (!OpenSlots(index, count)) return;
        for (long i = index; i < index + count; ++i) m_data[i] = keep;
        NotifyInserted(index, count);
    }
    /// Inserts all elements of `other` (which may be this array) at `index`.
    void InsertAt(long index, const SCC_Array& other) {
        if (!CheckInsertPosition(index)) return;
        SCC_Array source(other);  // shares the buffer, so growing this array cannot change it
        long count = source.GetSize();
        if (count == 0 || !OpenSlots(index, count)) return;
        for (long i = 0; i < count; ++i) m_data[index + i] = source.m_data[i];
        NotifyInserted(index, count);
    }
    /// Appends `other`; an array with a comparator is then sorted again (direction 0).
    void Append(const SCC_Array& other) {
        InsertAt(GetSize(), other);
        if (Comparator() != nullptr) Sort(0);
    }
    /// Appends without a comparator; with one, inserts behind the run of equal elements.
    /// Returns the index.
    long Add(const T& value) {
        if (Comparator() == nullptr) {
            long index = GetSize();
            InsertAt(index, value);
            return index;
        }
        return AddSorted(value);
    }
    /// Inserts at the end of the run of equal elements found by FindItemPosition (at the end
    /// without any comparator, after a report). Returns the index.
    long AddSorted(const T& value) {
        T keep(value);
        long first = 0, last = 0;
        FindRun(keep, first, last, nullptr);
        InsertAt(last, keep);
        return last;
    }
    /// Searches the run of elements equal to `item` under the comparator (given, else the
    /// array's), or the whole array without one, for the first element == item. TRUE with its
    /// index; FALSE with the index at the end of the searched range.
    int Find(const T& item, long& index, SCC_ComparatorBase* comparator = nullptr) const {
        long first = 0, last = GetSize();
        if (comparator != nullptr || Comparator() != nullptr)
            FindRun(item, first, last, comparator);
        for (index = first; index < last; ++index)
            if (m_data[index] == item) return TRUE;
        index = last;
        return FALSE;
    }

    /// The buffer; null when the array has none.
    ///@{
    _Buffer* GetBuffer() const override {
        return m_data != nullptr ? static_cast<_Buffer*>(BufferOf(m_data)) : nullptr;
    }
    ///@}
    /// Takes a reference on `buffer`, then releases the old one (deleting it at 0).
    void SetBuffer(_Buffer* buffer) override {
        _SCC_Buffer<T>* typed = static_cast<_SCC_Buffer<T>*>(buffer);
        if (typed != nullptr) typed->AdoptReference();
        _SCC_Buffer<T>* old = m_data != nullptr ? BufferOf(m_data) : nullptr;
        m_data = typed != nullptr ? typed->Data() : nullptr;
        if (old != nullptr && old->Deref() == 0) delete old;
    }
    /// A buffer of `capacity` slots, null for capacity < 1.
    _Buffer* AllocData(long capacity) override {
        if (capacity < 1) return nullptr;
        return new (capacity, static_cast<long>(sizeof(T))) _SCC_Buffer<T>(capacity);
    }
    /// sizeof(T).
    long GetElementSize() const override { return sizeof(T); }
    /// Element copies from this array's buffer into `dest`; a negative count copies backwards.
    void CopyData(_Buffer* dest, long destIndex, long srcIndex, long count) override {
        if (dest == nullptr || m_data == nullptr || count == 0) return;
        T* to = static_cast<_SCC_Buffer<T>*>(dest)->Data();
        if (count < 0) {  // indexes decrease from the given ones
            count = -count;
            destIndex -= count - 1;
            srcIndex -= count - 1;
        }
        CopyElements(to + destIndex, m_data + srcIndex, count);
    }
    /// Exchanges elements i and j; an index out of range is reported (type 1) and nothing changes.
    ///@{
    void Swap(long i, long j) override {
        if (!CheckIndex(i) || !CheckIndex(j)) return;
        SwapElements(m_data[i], m_data[j]);
    }
    ///@}

protected:
    /// The library's own typed arrays override neither Swap nor ShortSort; given a plain
    /// SCC_Comparator<T> they sort with inline compares and swaps, making the same compares and
    /// swaps in the same order as the virtual path.
    void SortRange(SCC_ComparatorBase& comparator, long lo, long hi) override {
        const SCC_Comparator<T>* typed = PlainComparator(&comparator);
        if (typed == nullptr || !SortsWithOwnSwap()) {
            _SCC_Array::SortRange(comparator, lo, hi);
            return;
        }
        WithInlineOrder(*typed, [&](auto order) {
            TypedSortPolicy<decltype(order)> policy{m_data, order};
            SCC_ArraySortDetail::QuickSort(policy, lo, hi);
        });
    }

private:
    template <class Order>
    struct TypedSortPolicy {
        T* data;
        Order order;
        int Compare(long i, long j) const { return order(data[i], data[j]); }
        void Swap(long i, long j) { SwapElements(data[i], data[j]); }
        void ShortSort(long lo, long hi) { SCC_ArraySortDetail::SelectionSort(*this, lo, hi); }
    };
    template <class Order>
    struct TypedSearchPolicy {
        const T* data;
        Order order;
        const T& item;
        int WithItem(long i) const { return order(data[i], item); }
    };

    /// The comparator as a plain SCC_Comparator<T> whose compares can be inlined, else null.
    static const SCC_Comparator<T>* PlainComparator(const SCC_ComparatorBase* comparator) {
        if (comparator == nullptr || typeid(*comparator) != typeid(SCC_Comparator<T>))
            return nullptr;
        const auto* typed = static_cast<const SCC_Comparator<T>*>(comparator);
        return typed->ComparesValues() ? typed : nullptr;
    }
    /// Calls run(order) with an inline order that answers as typed.Compare: SCC_Compare in the
    /// comparator's direction without a function, else the comparator's CompareValues.
    template <class Run>
    static void WithInlineOrder(const SCC_Comparator<T>& typed, Run run) {
        if constexpr (SCC_Comparator<T>::kHasDefaultOrder) {
            if (typed.GetFunction() == nullptr) {
                run(typename SCC_Comparator<T>::DefaultOrder{typed.IsDescending() != 0});
                return;
            }
        }
        run([&typed](const T& x, const T& y) { return typed.CompareValues(x, y); });
    }
    /// FindItemPosition, with inline compares under a plain typed comparator.
    void FindRun(const T& item, long& first, long& last, SCC_ComparatorBase* comparator) const {
        long size = GetSize();
        const SCC_Comparator<T>* typed =
            PlainComparator(comparator != nullptr ? comparator : Comparator());
        if (typed == nullptr || size == 0) {
            FindItemPosition(&item, first, last, comparator);
            return;
        }
        WithInlineOrder(*typed, [&](auto order) {
            SCC_ArraySortDetail::FindRun(TypedSearchPolicy<decltype(order)>{m_data, order, item},
                                         size, first, last);
        });
    }
    bool SortsWithOwnSwap() const {
        return typeid(*this) == typeid(SCC_Array) || typeid(*this) == typeid(SCC_SortableArray<T>);
    }
    static void SwapElements(T& a, T& b) {
        T temporary(a);
        a = b;
        b = temporary;
    }
    static _SCC_Buffer<T>* BufferOf(T* data) {
        return reinterpret_cast<_SCC_Buffer<T>*>(reinterpret_cast<char*>(data) -
                                                 sizeof(_SCC_Array::_Buffer));
    }
    /// Copies `count` elements between possibly overlapping ranges, as element assignment would.
    static void CopyElements(T* to, const T* from, long count) {
        if (std::is_trivially_copyable<T>::value) {
            std::memmove(static_cast<void*>(to), static_cast<const void*>(from),
                         sizeof(T) * static_cast<std::size_t>(count));
        } else if (to < from) {
            for (long i = 0; i < count; ++i) to[i] = from[i];
        } else {
            for (long i = count - 1; i >= 0; --i) to[i] = from[i];
        }
    }
    /// The common append: room in a private buffer. The value may be an element of this array;
    /// nothing moves, so copying it in place is safe.
    bool AppendInPlace(const T& value) {
        if (m_data == nullptr) return false;
        _SCC_Buffer<T>* buffer = BufferOf(m_data);
        long size = buffer->GetSize();
        if (size >= buffer->GetCapacity() || buffer->IsShared()) return false;
        new (m_data + size) T(value);
        GrowByOneInPlace(*buffer);
        NotifyInserted(size, 1);
        return true;
    }
    // Element indexes and insert positions are checked where the typed operations report.
    int CheckIndex(long i) const {
        return SSM_CHECK_AT(InBounds(i), "", SCC_ArrayDetail::kInlineUnit,
                            SCC_ArrayDetail::kLineOutOfRange, SSM_FailureError);
    }
    static int CheckInsertPosition(long index) {
        return SSM_CHECK_AT(index >= 0, "", SCC_ArrayDetail::kInlineUnit,
                            SCC_ArrayDetail::kLineNegativeInsert, SSM_FailureAssert);
    }
    static T& Scratch() {
        static T scratch;
        scratch = T();
        return scratch;
    }

    T* m_data;
};

/// An array that is normally given a comparator; adds nothing else.
template <class T>
class TESSAR_EXPORT SCC_SortableArray : public SCC_Array<T> {
public:
    SCC_SortableArray() = default;
    /// Takes a reference on `comparator` and sorts ascending.
    explicit SCC_SortableArray(SCC_ComparatorBase* comparator) { this->SetComparator(comparator); }
};

/// An iterator over an array: a listener of the array's notifier that keeps its focus on the
/// same element while elements are inserted or deleted (Block), follows its focus-delete policy
/// (Deleting) and loses its focus when the array is cleared (Cleared) or destroyed.
class TESSAR_EXPORT SCC_ArrayIteratorBase : public SCC_Iterator {
public:
    /// Detached with focus -1, or attached to `array` with `focus` (see Restart).
    ///@{
    SCC_ArrayIteratorBase() : m_focus(-1), m_array(nullptr) {}
    SCC_ArrayIteratorBase(_SCC_Array& array, long focus) : SCC_ArrayIteratorBase() {
        Restart(array, focus);
    }
    ///@}

    /// Attaches to `array` with `focus` (a negative focus becomes -1).
    void Restart(_SCC_Array& array, long focus);
    /// Attaches to `array` with the focus on its last element (-1 when empty).
    void RestartFromEnd(_SCC_Array& array);
    /// Restarts at element 0 of `array` (null: the current array); TRUE when the focus is valid.
    int GetFirst(void* array);

    /// The focus plus one; 0 when the focus is not valid.
    SYS_Handle GetHandle() override { return IsValid() ? m_focus + 1 : 0; }
    /// Focus -1 (the array was cleared).
    int Clear() override { return Invalidate(); }
    /// Moves the focus up by one; TRUE while it is valid.
    int GetNext() override;
    /// Moves the focus down by one (never below -1); TRUE while it is valid.
    int GetPrev() override;
    /// Focus -1; the iterator stays attached.
    ///@{
    int Invalidate() override {
        m_focus = -1;
        return 0;
    }
    ///@}
    /// Attached and 0 <= focus < size.
    int IsValid() override;
    /// TRUE when the focus is not valid.
    int IsEmpty() override { return !IsValid(); }
    /// Block, Deleting and Cleared as the class comment says; always 0.
    int OnNotification(int code, int* param) override;
    /// Follows a Block record (see the class comment).
    virtual void OnUpdatePointers(void* info);

    /// Same as GetNext and GetPrev.
    ///@{
    SCC_ArrayIteratorBase& operator++() {
        GetNext();
        return *this;
    }
    SCC_ArrayIteratorBase& operator--() {
        GetPrev();
        return *this;
    }
    void operator++(int) { GetNext(); }
    void operator--(int) { GetPrev(); }
    ///@}

    /// Whether the focus is >= 0 (it may still lie beyond the array).
    int HasValidFocus() const { return m_focus >= 0; }
    /// The focus; a negative focus is reported (type 0).
    long GetFocus() const {
        SSM_CHECK(m_focus >= 0, "", SCC_ArrayDetail::kUnit, SSM_FailureAssert);
        return m_focus;
    }
    /// Sets the focus (>= 0, else reported and refused).
    void SetFocus(long focus) {
        if (SSM_CHECK(focus >= 0, "", SCC_ArrayDetail::kUnit, SSM_FailureAssert)) m_focus = focus;
    }
    /// Focus = handle - 1 on `array` (null: the current array).
    void SetHandle(SYS_Handle handle, void* array);
    /// The array listened to; null when detached (also after the array was destroyed).
    _SCC_Array* GetArray() const { return GetOwner() != nullptr ? m_array : nullptr; }

    /// The notifier of `array`, created on demand; null for a null array.
    ///@{
    static SCC_Notifier* GetChangeEvent(_SCC_Array* array) {
        return array != nullptr ? array->GetNotifier() : nullptr;
    }
    ///@}
    /// Ascending order of ints: -1, 0 or 1.
    static int DefaultSort(const int& a, const int& b) { return a < b ? -1 : (a > b ? 1 : 0); }

private:
    long m_focus;
    _SCC_Array* m_array;
};

/// The typed form: reads the element under the focus.
template <class T>
class TESSAR_EXPORT SCC_ArrayIterator : public SCC_ArrayIteratorBase {
public:
    /// Detached, focus -1.
    SCC_ArrayIterator() = default;
    /// Attached to `array` with `focus` (see Restart).
    SCC_ArrayIterator(SCC_Array<T>& array, long focus) : SCC_ArrayIteratorBase(array, focus) {}

    /// The typed array listened to; null when detached.
    ///@{
    SCC_Array<T>* GetArray() const {
        return static_cast<SCC_Array<T>*>(SCC_ArrayIteratorBase::GetArray());
    }
    /// The element under the focus. On no element (detached, or the focus outside the array)
    /// "SCC_Array::Iterator failed" is reported and a default value is read.
    const T& GetItem() const {
        static const T none{};
        const SCC_Array<T>* array = GetArray();
        const bool onElement = array != nullptr && HasValidFocus() && array->InBounds(GetFocus());
        if (!SSM_CHECK_AT(onElement, SCC_ArrayDetail::kIteratorFailed,
                          SCC_ArrayDetail::kInlineUnit, SCC_ArrayDetail::kLineIteratorFailed,
                          SSM_FailureError))
            return none;
        return array->GetAt(GetFocus());
    }
    /// Same as GetItem().
    const T& operator*() const { return GetItem(); }
};
