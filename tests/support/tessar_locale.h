#pragma once

#include <clocale>
#include <string>

#include "TessarPlatform.h"

// Switches the C locale for the lifetime of a test and restores the previous one.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) {
        const char* current = std::setlocale(LC_ALL, nullptr);
        m_previous = current != nullptr ? current : "C";
        m_active = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool IsActive() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

// Counts debugger breaks (failed checks without an assertion manager) during a scope.
class ScopedBreakCounter {
public:
    ScopedBreakCounter() : m_previous(PLT_SetDebugBreakHandler(&Count)) { s_breaks = 0; }
    ~ScopedBreakCounter() { PLT_SetDebugBreakHandler(m_previous); }
    ScopedBreakCounter(const ScopedBreakCounter&) = delete;
    ScopedBreakCounter& operator=(const ScopedBreakCounter&) = delete;

    int Breaks() const { return s_breaks; }

private:
    static void Count() { ++s_breaks; }
    static inline int s_breaks = 0;
    PLT_DebugBreakHandler m_previous;
};
