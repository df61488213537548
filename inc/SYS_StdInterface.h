#pragma once

#include "TessarExport.h"
#include "TessarTypes.h"

class SCC_Notifier;

/// The minimal enumerator over the handles 1 to n from which the library's enumerating classes
/// (and the product's own) derive. Handle 0 means "no current handle", so a loop reads
///     for (e.GetFirst(context); e.IsValid(); e.GetNext()) use(e.GetHandle());
/// The base enumerates 1 .. maximum handle; derived enumerators override the operations below
/// (kept in this order) and append their own virtual operations after them.
class TESSAR_EXPORT SYS_StdInterface {
public:
    /// No current handle; handles run from 1 to maxHandle (none when maxHandle <= 0).
    explicit SYS_StdInterface(int maxHandle) noexcept : m_handle(0), m_maxHandle(maxHandle) {}
    SYS_StdInterface() noexcept : SYS_StdInterface(0) {}
    /// Copies the current handle and the maximum handle.
    ///@{
    SYS_StdInterface(const SYS_StdInterface& other) noexcept = default;
    SYS_StdInterface& operator=(const SYS_StdInterface& other) noexcept = default;
    ///@}

    /// The event through which the enumerated objects announce changes; the base has none.
    virtual SCC_Notifier* GetChangeEvent(void* context);
    /// Sets the largest handle the enumeration hands out.
    virtual void SetMaxHandle(int maxHandle);
    /// 1 while there is a current handle (the handle is not 0).
    virtual int IsValid() const;
    /// Makes `handle` current; the base does not use `context`.
    virtual void SetHandle(SYS_Handle handle, void* context);
    /// The current handle.
    virtual SYS_Handle GetHandle() const;
    /// Handle 1 when the maximum handle is above 0, else 0 (nothing to enumerate).
    virtual void GetFirst(void* context);
    /// The next handle, or 0 after the maximum handle.
    virtual void GetNext();
    /// Called when the objects behind the handles moved; the base has nothing to update.
    virtual void OnUpdatePointers(void* context);
    /// Deleting an enumerator through a base pointer destroys the derived object too.
    virtual ~SYS_StdInterface();

    /// The default ascending order of handles: a - b where that fits in an int, otherwise
    /// -1 or 1 with the sign of a - b (handles are pointer-sized, so the plain difference of
    /// two addresses could wrap and invert the order).
    static int DefaultSort(const SYS_Handle& a, const SYS_Handle& b) noexcept;

protected:
    /// The current handle, for derived enumerations.
    SYS_Handle m_handle;
    /// The largest handle, for derived enumerations.
    int m_maxHandle;
};
