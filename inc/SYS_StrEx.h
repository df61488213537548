#pragma once

#include "SYS_String.h"
#include "TessarExport.h"

/// @file
/// String utilities on plain C strings: fields of a separated list, a numeric-aware
/// comparison, and validators of decimal, octal and hexadecimal integers and floating-point
/// numbers. None of them reads past the terminator, whatever the input; a null text is
/// treated like an empty one.

/// Field `index` (from 0) of text split at `separator` (a byte), copied into field: TRUE.
/// FALSE when text is null (field unchanged) or has fewer fields (field emptied). An empty
/// field (adjacent separators, or a separator at the end) gives an empty field and TRUE.
/// A negative index counts as 0; a NUL separator makes the whole text one field.
TESSAR_EXPORT int SysExtractSubString(SYS_String& field, const char* text, int index,
                                      char separator);

/// Compares with embedded decimal numbers ordered by value (item9 < item10; file007 equals
/// file7 up to the end of the numbers). Other characters compare as whole multibyte
/// characters, byte by byte unsigned; "$" sorts after every other character and after the end
/// of the text (item10 < item10$). Numbers of any length compare by value without overflow.
/// Negative, 0 or positive.
TESSAR_EXPORT int _tcsnumcmp(const char* a, const char* b);

/// The first character behind a floating-point number at the start of text, or null when
/// there is none. "+" and "-" are skipped wherever they stand; one "." before any exponent;
/// "e"/"E" starts an exponent that needs a digit. With decimalOnly non-zero the number ends at
/// an exponent letter. At least one mantissa digit is needed.
TESSAR_EXPORT char* getdouble(const char* text, int decimalOnly);
/// TRUE when getdouble succeeds and stops at the terminator.
TESSAR_EXPORT int isdouble(const char* text, int decimalOnly);
TESSAR_EXPORT int isdecdouble(const char* text);  ///< isdouble(text, 1)

/// The first character behind an integer at the start of text, or null when it has no digit.
/// base: 1 decimal, 2 octal, 3 hexadecimal, anything else automatic. "+" and "-" are skipped
/// wherever they stand. Prefixes: in hexadecimal and automatic mode, an "x" or "X" right after
/// a first digit "0" (signs may come before that "0") switches to hexadecimal and restarts
/// the digit count, so "0x1F" is an integer and "0x" alone is not. In automatic mode a first
/// digit "0" not followed by such an "x" selects octal ("017" is octal, "019" stops at "9");
/// any other first digit selects decimal.
TESSAR_EXPORT char* getinteger(const char* text, int base);
/// TRUE when getinteger succeeds and stops at the terminator.
TESSAR_EXPORT int isinteger(const char* text, int base);
TESSAR_EXPORT int isdecinteger(const char* text);  ///< isinteger(text, 1)
TESSAR_EXPORT int isoctinteger(const char* text);  ///< isinteger(text, 2)
TESSAR_EXPORT int ishexinteger(const char* text);  ///< isinteger(text, 3)

/// Memory statistics: none are kept; both sizes are 0 and the calls have no effect.
class TESSAR_EXPORT SYS_Memory {
public:
    /// Both answer 0: no statistics are kept.
    ///@{
    static long GetCurrentMemorySize();
    static long GetPeakMemorySize();
    ///@}
};
