#pragma once

#include "SCC_Event.h"
#include "TessarExport.h"
#include "TessarTypes.h"

/// Base of every container iterator: a listener node that its container's notifier calls, and
/// that follows one of three policies when the element under it is deleted (SCC_NotifyDeleting
/// with the iterator's handle): 0 invalidate (the default), 1 go forward, -1 go back. When the
/// container is cleared (SCC_NotifyCleared) it calls Clear(). Destroying either side first is
/// safe (see SCC_Event).
class TESSAR_EXPORT SCC_Iterator : public SCC_EventNode<int> {
public:
    /// A detached iterator whose element deletion policy is invalidate.
    SCC_Iterator() : m_onFocusDelete(0) {}

    /// Chooses what the iterator does when the element under it is deleted: invalidate, step to the
    /// next element, or step to the previous one.
    ///@{
    void OnFocusDeleteInvalidate() { m_onFocusDelete = 0; }
    void OnFocusDeleteGoForward() { m_onFocusDelete = 1; }
    void OnFocusDeleteGoBack() { m_onFocusDelete = -1; }
    ///@}
    /// The deletion policy: 0 invalidate, 1 go forward, -1 go back.
    int GetFocusDeletePolicy() const { return m_onFocusDelete; }

    /// Containers override these; the base versions report "SCC_Iterator::...() is called"
    /// (type 0) and answer 0, IsEmpty 1; IsValid answers 1.
    ///@{
    virtual SYS_Handle GetHandle();
    virtual int Clear();
    virtual int GetNext();
    virtual int GetPrev();
    virtual int Invalidate();
    virtual int IsValid();
    virtual int IsEmpty();
    ///@}
    /// Cleared calls Clear(); Deleting whose parameter equals GetHandle() applies the policy.
    /// Other codes are ignored. Returns 0.
    int OnNotification(int code, int* param) override;

private:
    int m_onFocusDelete;
};
