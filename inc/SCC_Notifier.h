#pragma once

#include "SCC_Event.h"
#include "TessarTypes.h"

// The notification codes shared by arrays, maps, collections, properties and the palette.
// Where the data is a position or a handle, the integer travels in the data pointer itself
// (SCC_Notifier::ValueAsData / DataAsValue).
enum SCC_NotifyCode : int {
    SCC_NotifyInserted = 1,         // arrays: 1-based position; collections: the handle
    SCC_NotifyDeleting = 2,         // sent before the element goes; same data as inserted
    SCC_NotifyChanged = 3,          // position or handle; (3, 0) when content availability changed
    SCC_NotifyFocusAdded = 4,       // collections: the handle; the palette changed: 0
    SCC_NotifyReset = 5,            // the content was replaced as a whole; 0
    SCC_NotifyCleared = 6,          // cleared or destroyed; 0 or passed on
    SCC_NotifyBlock = 7,            // arrays: {operation, first index, count}; collections: relocate
    SCC_NotifyPropertyChanged = 8,  // the property
    SCC_NotifyBeginBulk = 9,        // a receiving collection suspends; data passed on
    SCC_NotifyEndBulk = 10          // a receiving collection resumes; data passed on
};

// The event used almost everywhere: notifications carry an int code and an untyped pointer.
// Many codes pass a small integer (a 1-based position) or a handle in the pointer itself; such
// a value travels at full pointer width, so a handle is never cut to 32 bits. Senders write
// Notify(code, SCC_Notifier::ValueAsData(value)); listeners read SCC_Notifier::DataAsValue(data).
class TESSAR_EXPORT SCC_Notifier : public SCC_Event<int> {
public:
    SCC_Notifier() = default;
    // The argument is accepted and not used: an empty, enabled notifier.
    explicit SCC_Notifier(int /*unused*/) {}
    // Transfer, not copy: this notifier takes over the listeners of `source` (see SCC_Event).
    SCC_Notifier(SCC_Notifier& source) : SCC_Event<int>(source) {}
    SCC_Notifier& operator=(SCC_Notifier& source) {
        SCC_Event<int>::operator=(source);
        return *this;
    }

    // Dispatches (code, data) to the listeners, with `data` passed on as int*.
    void Notify(int code, void* data) { SCC_Event<int>::Notify(code, static_cast<int*>(data)); }

    // This notifier; lets classes that derive from it expose their event uniformly.
    SCC_Notifier* GetNotifier() const { return const_cast<SCC_Notifier*>(this); }

    // 10: the size from which users may prefer one mass notification to many single ones.
    // Nothing in the library consults it.
    static long GetMassNotificationTreshold();

    // A position or handle carried in the data pointer, at full pointer width.
    static void* ValueAsData(SYS_Handle value) { return reinterpret_cast<void*>(value); }
    static SYS_Handle DataAsValue(const void* data) { return reinterpret_cast<SYS_Handle>(data); }
};
