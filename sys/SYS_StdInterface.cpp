#include "SYS_StdInterface.h"

#include <climits>

SCC_Notifier* SYS_StdInterface::GetChangeEvent(void*) { return nullptr; }

void SYS_StdInterface::SetMaxHandle(int maxHandle) { m_maxHandle = maxHandle; }

int SYS_StdInterface::IsValid() const { return m_handle != 0; }

void SYS_StdInterface::SetHandle(SYS_Handle handle, void*) { m_handle = handle; }

SYS_Handle SYS_StdInterface::GetHandle() const { return m_handle; }

void SYS_StdInterface::GetFirst(void*) { m_handle = m_maxHandle > 0 ? 1 : 0; }

// handle >= maximum is handle + 1 > maximum without the overflow of a handle set near the top
// of its range.
void SYS_StdInterface::GetNext() { m_handle = m_handle >= m_maxHandle ? 0 : m_handle + 1; }

void SYS_StdInterface::OnUpdatePointers(void*) {}

SYS_StdInterface::~SYS_StdInterface() = default;

int SYS_StdInterface::DefaultSort(const SYS_Handle& a, const SYS_Handle& b) noexcept {
    // 128 bits hold the difference of any two pointer-sized handles.
    const __int128 difference = static_cast<__int128>(a) - static_cast<__int128>(b);
    if (difference >= INT_MIN && difference <= INT_MAX) return static_cast<int>(difference);
    return difference < 0 ? -1 : 1;
}
