#pragma once

#include <cstdint>

#include "SYS_String.h"
#include "TessarExport.h"

class SCC_Convertor;

/// The value that properties and convertors exchange: an integer, a double, a text or nothing.
/// Only the field of the current type is meaningful; the others hold 0, 0.0 and "". Conversions
/// between the forms happen on demand and throw SYS_Exception (with the library's translated
/// texts) where a text is not a number or a value does not fit.
///
/// Where this library's behaviour is its own choice:
///  - The integer is 32-bit, as on the product's original platform. SCC_Variant(long) of a value
///    outside the 32-bit range holds it as a VT_DOUBLE (the nearest double), so the value is
///    never wrapped silently: its text shows it, and converting it back to long or int throws
///    "Value out of range.".
///  - Assigning a variant to itself leaves it unchanged (clearing before reading the source would
///    empty it).
///  - Validate may replace the variant by its message although it is const; the fields are
///    mutable so that this is defined even for a variant declared const.
class TESSAR_EXPORT SCC_Variant {
public:
    /// Ordered so that the larger code is the superior type of a mixed comparison.
    enum ValueType { VT_INT = 1, VT_DOUBLE = 2, VT_STRING = 3, VT_EMPTY = 4 };

    SCC_Variant();  ///< empty
    /// VT_INT.
    SCC_Variant(int value);
    SCC_Variant(long value);  ///< VT_INT within 32 bits, else VT_DOUBLE (see above)
    /// VT_DOUBLE.
    SCC_Variant(double value);
    /// VT_STRING holding a copy of `text`.
    SCC_Variant(CString text);
    SCC_Variant(const char* text);  ///< a null text gives the empty text
    /// The same type and value as `other`.
    SCC_Variant(const SCC_Variant& other);

    /// Type VT_EMPTY, integer 0, double 0.0, text "".
    void Clear();
    /// The type of the value held.
    ValueType GetType() const { return m_type; }
    /// True for VT_EMPTY.
    bool IsEmpty() const { return m_type == VT_EMPTY; }

    /// Clears, takes over the type of `other`, then sets the field of that type from `other`
    /// through the conversion of that type. Returns nothing.
    void operator=(const SCC_Variant& other);

    /// VT_INT: the integer. VT_DOUBLE, and VT_STRING read with SimpleScanf "%f": the double
    /// truncated toward zero, when it lies in [-2147483648.0, 2147483647.0]; otherwise (NaN
    /// included) throws "Value out of range.". A text that is not a number throws the reader's
    /// exception. VT_EMPTY: 0.
    operator long() const;
    operator int() const;  ///< as operator long()
    /// VT_INT converted; VT_DOUBLE itself; VT_STRING read with SimpleScanf "%f" (its exceptions
    /// pass); VT_EMPTY 0.0.
    operator double() const;
    /// VT_INT with "%d"; VT_DOUBLE with "%f", then, when the result holds a '.', stripped of its
    /// trailing '0' characters: the point stays (3.0 gives "3.", 2.5 gives "2.5"); VT_STRING the
    /// text; VT_EMPTY "".
    operator SYS_String() const;

    /// Two empty variants are equal; an empty and a non-empty one are not. Otherwise both sides
    /// are compared in the superior type of the two: as ints, as doubles (equal unless one is
    /// less or greater than the other, so NaN equals every number) or as texts (exact bytes up
    /// to the first NUL). So the integer 5 equals the text "5" and the double 3.0 equals "3.".
    /// Never throws: a text side is only ever compared as a text.
    int operator==(const SCC_Variant& other) const;
    /// The negation of operator==.
    int operator!=(const SCC_Variant& other) const { return !(*this == other); }

    /// 1 when the variant satisfies `validation`, 0 when not. An empty variant and an empty
    /// validation accept. A leading '#' means the range is written in converted units: the value
    /// checked is then convertor->Convert(*this, 1) when a convertor is given.
    ///  - Range form "[low,high]" (read with "%c %lf , %lf %c"): '[' and ']' include the bound,
    ///    '(' and ')' exclude it. Other brackets are reported as "Invalid validation string" and
    ///    the check goes on with the characters read (a bracket that is neither bound nothing).
    ///    When the value is out of range, this variant becomes the text "Please enter a value
    ///    within the ... range." with the bounds printed with "%lf" (converted back with
    ///    direction 0 under '#' and a convertor), and 0 is returned. A text value that is not a
    ///    number throws the reader's exception.
    ///  - Length form: a decimal maximum length, for a VT_STRING value. A validation string that
    ///    does not read as an integer, or a value that is not a text, is reported as "Invalid
    ///    validation string"; the check goes on, with a maximum of 0 when none could be read and
    ///    the empty text field of a non-text value.
    int Validate(SYS_String validation, SCC_Convertor* convertor) const;

protected:
    /// The larger of `type` and this variant's type.
    ValueType GetSuperiorType(ValueType type) const { return type > m_type ? type : m_type; }

private:
    int CompareAs(ValueType type, const SCC_Variant& other) const;
    void BecomeText(const SYS_String& text) const;

    mutable ValueType m_type;
    mutable int32_t m_int;
    mutable double m_double;
    mutable SYS_String m_text;
};

/// Reads one number from `text` into the single output pointer that follows `format`, strictly:
/// unlike the C library, anything but spaces and tabs after the number is refused. Returns 1
/// when it stored a value, 0 otherwise; throws SYS_Exception with a translated text on bad
/// input ("Invalid integer", "Value should be unsigned integer.", "Invalid floating point
/// format.", "Value out of range.").
///
/// Format: '%', an optional size letter, then 'd' (decimal integer), 'u' (unsigned decimal) or
/// 'f' (floating point). A null text or format, a format without a leading '%', another letter,
/// or anything after the letter is a failed check (unit scc/SCC_Variant); the call then stores
/// nothing and returns 0. With a null output pointer the text is still checked (and may throw),
/// nothing is stored and 0 is returned.
///
/// Leading spaces and tabs are skipped; an empty (or blank) text reads as 0 for 'd' and 'u' and
/// 0.0 for 'f'. Decimal texts follow strtol base 10 and, beyond it, the 32-bit platform the
/// library comes from: a value outside the 32-bit range is saturated to 2147483647 or
/// -2147483648 (4294967295 for 'u') before it is stored. A result of 0 from a text that neither
/// starts with '0' nor is empty is refused (so "-0" and "+0" are invalid). Output types:
///   "%d" int*, "%ld" long* (the full 8 bytes are written), "%sd" short* (a value outside
///        -32768..32767 throws "Value out of range.");
///   "%u" unsigned int*, "%lu" unsigned long*, "%su" unsigned short* (above 65535 throws "Value
///        out of range."). Any text starting with '-' (also "-0"), a text that is not an
///        unsigned number and trailing characters all throw "Value should be unsigned integer.";
///   "%f", "%lf", "%sf" double* (8 bytes, unlike the C library's float for "%f"); the text is
///        read with strtod, so "inf", "nan" and hexadecimal forms are numbers.
TESSAR_EXPORT int SimpleScanf(const char* text, const char* format, ...);
