#pragma once

#include "SYS_String.h"
#include "TessarExport.h"

/// The exception the library throws by value where a user-level operation cannot complete
/// (for example a number that cannot be read). It carries one text.
class TESSAR_EXPORT SYS_Exception {
public:
    /// The text formatted printf-style; a null format gives an empty text.
    explicit SYS_Exception(const char* format, ...) __attribute__((format(printf, 2, 3)));
    /// An exception with an empty text; the id and arguments are not used.
    explicit SYS_Exception(int id, ...);
    /// Copies the text.
    SYS_Exception(const SYS_Exception& other);
    /// Copies the text; returns this exception.
    SYS_Exception& operator=(const SYS_Exception& other);
    /// Frees the text.
    ~SYS_Exception();

    SYS_String GetText() const;  ///< a copy of the text

private:
    SYS_String m_text;
};
