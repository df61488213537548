#pragma once

#include "TessarExport.h"

/// Small C run-time string functions the library keeps for itself.
namespace plt {

/// Case-insensitive comparison: ASCII letters are folded to lower case, bytes compare
/// unsigned. Negative, 0 or positive.
TESSAR_EXPORT int _stricmp(const char* a, const char* b);

/// Writes value in the radix (2..36) into buffer, which must hold 66 bytes; returns buffer.
/// _ltoa writes a leading "-" for a negative value in radix 10; in any other radix the bits
/// are written as unsigned, as the C run-time does.
///@{
TESSAR_EXPORT char* _ltoa(long value, char* buffer, int radix);
TESSAR_EXPORT char* _ultoa(unsigned long value, char* buffer, int radix);
///@}

}  // namespace plt
