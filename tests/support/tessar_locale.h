#pragma once

#include <clocale>
#include <string>

#include "tessar_breaks.h"

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
