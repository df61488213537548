#pragma once

#include "TessarPlatform.h"

// Counts the debugger breaks of failed checks while an instance lives (without an assertion
// manager every failed check breaks), and restores the previous break handler afterwards.
class ScopedBreakCounter {
public:
    ScopedBreakCounter() : m_previous(PLT_SetDebugBreakHandler(&Count)) { s_breaks = 0; }
    ~ScopedBreakCounter() { PLT_SetDebugBreakHandler(m_previous); }
    ScopedBreakCounter(const ScopedBreakCounter&) = delete;
    ScopedBreakCounter& operator=(const ScopedBreakCounter&) = delete;

    // Breaks since construction or the last Take().
    int Breaks() const { return s_breaks; }
    // Breaks since construction or the last Take(); starts counting again from 0.
    int Take() {
        int breaks = s_breaks;
        s_breaks = 0;
        return breaks;
    }

private:
    static void Count() { ++s_breaks; }
    static inline int s_breaks = 0;
    PLT_DebugBreakHandler m_previous;
};
