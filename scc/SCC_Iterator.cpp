#include "SCC_Iterator.h"

#include "SCC_Notifier.h"
#include "SSM_Assert.h"

namespace {
const char kUnit[] = "scc/SCC_Iterator";
}  // namespace

SYS_Handle SCC_Iterator::GetHandle() {
    SSM_CHECK_THROW(false, "SCC_Iterator::GetHandle() is called", kUnit, SSM_FailureAssert);
    return 0;
}

int SCC_Iterator::Clear() {
    SSM_CHECK_THROW(false, "SCC_Iterator::Clear() is called", kUnit, SSM_FailureAssert);
    return 0;
}

int SCC_Iterator::GetNext() {
    SSM_CHECK_THROW(false, "SCC_Iterator::GetNext() is called", kUnit, SSM_FailureAssert);
    return 0;
}

int SCC_Iterator::GetPrev() {
    SSM_CHECK_THROW(false, "SCC_Iterator::GetPrev() is called", kUnit, SSM_FailureAssert);
    return 0;
}

int SCC_Iterator::Invalidate() {
    SSM_CHECK_THROW(false, "SCC_Iterator::Invalidate() is called", kUnit, SSM_FailureAssert);
    return 0;
}

int SCC_Iterator::IsValid() { return 1; }

int SCC_Iterator::IsEmpty() {
    SSM_CHECK_THROW(false, "SCC_Iterator::IsEmpty() is called", kUnit, SSM_FailureAssert);
    return 1;
}

int SCC_Iterator::OnNotification(int code, int* param) {
    if (code == SCC_NotifyCleared) {
        Clear();
    } else if (code == SCC_NotifyDeleting && SCC_Notifier::DataAsValue(param) == GetHandle()) {
        if (m_onFocusDelete == 0) Invalidate();
        else if (m_onFocusDelete == 1) GetNext();
        else if (m_onFocusDelete == -1) GetPrev();
    }
    return 0;
}
