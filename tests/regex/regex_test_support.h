#pragma once

// Helpers shared by the pattern tests.
#include "TessarPlatform.h"

// Counts debugger breaks while it lives. Without an assertion manager every failed check
// breaks, so the count is the number of reports made.
class BreakCounter {
public:
    BreakCounter() : m_previous(PLT_SetDebugBreakHandler(&BreakCounter::OnBreak)) { s_count = 0; }
    ~BreakCounter() { PLT_SetDebugBreakHandler(m_previous); }
    BreakCounter(const BreakCounter&) = delete;
    BreakCounter& operator=(const BreakCounter&) = delete;

    int Count() const { return s_count; }

private:
    static void OnBreak() { ++s_count; }

    static inline int s_count = 0;
    PLT_DebugBreakHandler m_previous;
};
