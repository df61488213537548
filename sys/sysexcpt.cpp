#include "SYS_Exception.h"

#include <cstdarg>

SYS_Exception::SYS_Exception(const char* format, ...) {
    va_list args;
    va_start(args, format);
    m_text.FormatV(format, args);
    va_end(args);
}

SYS_Exception::SYS_Exception(int, ...) {}

SYS_Exception::SYS_Exception(const SYS_Exception& other) : m_text(other.m_text) {}

SYS_Exception& SYS_Exception::operator=(const SYS_Exception& other) {
    m_text = other.m_text;
    return *this;
}

SYS_Exception::~SYS_Exception() = default;

SYS_String SYS_Exception::GetText() const { return m_text; }
