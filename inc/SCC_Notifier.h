#pragma once

#include "SCC_Event.h"
#include "TessarTypes.h"

/// The notification protocol: one vocabulary for everything in the library that announces a
/// change of its content (arrays, maps and the lists of their buckets, safe and reference lists,
/// collections, properties, the palette), described here once. A notification is a code and a
/// data pointer. Where the data is a position or a handle, the integer travels in the pointer
/// itself at full width (ValueAsData / DataAsValue below), so a handle is never cut to 32 bits.
///
/// Inserted (1), after an element came in.
///   Arrays: once per element, after the block record; data the 1-based position
///   (index + 1, index + 2, ...). Maps: data the address of the new value. Lists: the node,
///   after it was linked. Collections: the handle, once it is in the content.
/// Deleting (2), before an element goes.
///   Arrays: once per element, before the block record; data index + 1 each time. Maps: the
///   address of the value. Lists: the node, before it is unlinked. Collections: the handle,
///   while it is still in the content and in the focus list. An iterator whose handle the data
///   is applies its focus-delete policy (SCC_Iterator).
/// Changed (3).
///   Arrays: after SetAt or SetAtGrow wrote an element (a stack's Push too); data index + 1.
///   Collections: the handle changed; with 0, the availability of content changed while reload
///   is not allowed.
/// FocusAdded (4).
///   Collections: the handle entered the focus list. The palette: the palette changed; data 0.
/// Reset (5), the content was replaced as a whole; data 0.
///   Arrays: after SetSize, a sort or an assignment. Maps: after construction and assignment,
///   and to every new bucket after a rebuild filled it. Collections: reloaded as a whole. A map
///   iterator loses its place.
/// Cleared (6), the content goes as a whole; data 0, or passed on by a collection.
///   Arrays: before Clear drops the buffer. Maps: before RemoveAll and at destruction, and to
///   every old bucket before a rebuild empties it. Lists: before they are emptied or destroyed.
///   Every iterator clears.
/// Block (7).
///   Arrays: after the buffer of an insertion changed, before the buffer of a deletion changes;
///   data a _SCC_Array::Change (operation, first index, count), which array iterators follow.
///   Collections: handles were relocated; data passed on.
/// PropertyChanged (8): data the property. Collections ignore it.
/// BeginBulk (9), EndBulk (10): a receiving collection suspends, then resumes; data passed on.
enum SCC_NotifyCode : int {
    SCC_NotifyInserted = 1,
    SCC_NotifyDeleting = 2,
    SCC_NotifyChanged = 3,
    SCC_NotifyFocusAdded = 4,
    SCC_NotifyReset = 5,
    SCC_NotifyCleared = 6,
    SCC_NotifyBlock = 7,
    SCC_NotifyPropertyChanged = 8,
    SCC_NotifyBeginBulk = 9,
    SCC_NotifyEndBulk = 10
};

/// The event used almost everywhere: notifications carry an int code (SCC_NotifyCode) and an
/// untyped pointer. Senders write Notify(code, SCC_Notifier::ValueAsData(value)); listeners read
/// SCC_Notifier::DataAsValue(data).
class TESSAR_EXPORT SCC_Notifier : public SCC_Event<int> {
public:
    SCC_Notifier() = default;
    /// The argument is accepted and not used: an empty, enabled notifier.
    explicit SCC_Notifier(int /*unused*/) {}
    /// Transfer, not copy: this notifier takes over the listeners of `source` (see SCC_Event).
    SCC_Notifier(SCC_Notifier& source) : SCC_Event<int>(source) {}
    /// Transfer, as the copy constructor; returns this notifier.
    SCC_Notifier& operator=(SCC_Notifier& source) {
        SCC_Event<int>::operator=(source);
        return *this;
    }

    /// Dispatches (code, data) to the listeners, with `data` passed on as int*.
    void Notify(int code, void* data) { SCC_Event<int>::Notify(code, static_cast<int*>(data)); }

    /// This notifier; lets classes that derive from it expose their event uniformly.
    SCC_Notifier* GetNotifier() const { return const_cast<SCC_Notifier*>(this); }

    /// 10: the size from which users may prefer one mass notification to many single ones.
    /// Nothing in the library consults it.
    static long GetMassNotificationTreshold();

    /// The one way to carry a position or a handle in the data pointer, at full pointer width;
    /// the result fits both Notify and a listener's OnNotification.
    static int* ValueAsData(SYS_Handle value) { return reinterpret_cast<int*>(value); }
    /// The value ValueAsData carried, back from the data pointer.
    static SYS_Handle DataAsValue(const void* data) { return reinterpret_cast<SYS_Handle>(data); }
};
