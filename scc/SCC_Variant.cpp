#include "SCC_Variant.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SCC_Convertor.h"
#include "SFM_TR.h"
#include "SSM_Assert.h"
#include "SYS_Exception.h"

namespace {

const char kUnit[] = "scc/SCC_Variant";
const char kInvalidValidation[] = "Invalid validation string";

// Hosts know these report sites by "unit(line)".
const int kLineTextNull = 93;
const int kLineFormatNull = 94;
const int kLineFormatPercent = 96;
const int kLineFormatLetter = 109;
const int kLineFormatEnd = 110;
const int kLineRangeBrackets = 289;
const int kLineLengthForm = 303;

const int kInvalidInteger = 45060;
const int kNotUnsigned = 45061;
const int kInvalidFloat = 45062;
const int kOutOfRange = 45063;
const int kEnterWithinRange = 45064;

[[noreturn]] void ThrowText(int id) {
    // The text is passed as an argument: a translated text may contain '%'.
    throw SYS_Exception("%s", static_cast<const char*>(TR(id)));
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

enum class SizeLetter { None, Long, Short };

struct ScanFormat {
    SizeLetter size = SizeLetter::None;
    char conversion = 0;
};

bool ParseFormat(const char* format, ScanFormat& parsed) {
    if (!SSM_CHECK_AT(format[0] == '%', "", kUnit, kLineFormatPercent, SSM_FailureAssert))
        return false;
    const char* p = format + 1;
    if (*p == 'l' || *p == 's') {
        parsed.size = *p == 'l' ? SizeLetter::Long : SizeLetter::Short;
        ++p;
    }
    if (!SSM_CHECK_AT(*p == 'd' || *p == 'u' || *p == 'f', "", kUnit, kLineFormatLetter,
                      SSM_FailureAssert))
        return false;
    parsed.conversion = *p;
    return SSM_CHECK_AT(p[1] == '\0', "", kUnit, kLineFormatEnd, SSM_FailureAssert);
}

// The text after a number must be blank to its end.
void RequireBlankRest(const char* rest, int textId) {
    if (*SkipBlanks(rest) != '\0') ThrowText(textId);
}

// A result of 0 counts only from a text that is empty or starts with '0' (so "-0" is refused).
void RequireRealZero(bool isZero, const char* text, int textId) {
    if (isZero && text[0] != '0' && text[0] != '\0') ThrowText(textId);
}

long ClampToInt32(long value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return value;
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// strtol base 10 for the common text: an optional sign and at most 18 digits (which cannot
// overflow), not followed by another digit. Anything else (white space that strtol would skip,
// longer numbers) is left to strtol, so the result is always strtol's.
bool ReadShortDecimal(const char* text, long& value, const char*& end) {
    const char* p = text;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (!IsDigit(*p)) return false;
    long magnitude = 0;
    for (int digits = 0; digits < 18 && IsDigit(*p); ++digits, ++p)
        magnitude = magnitude * 10 + (*p - '0');
    if (IsDigit(*p)) return false;
    value = negative ? -magnitude : magnitude;
    end = p;
    return true;
}

// Reads a signed decimal as the original 32-bit strtol did: saturated to 32 bits.
long ReadSigned(const char* text) {
    long value = 0;
    const char* end = nullptr;
    if (!ReadShortDecimal(text, value, end)) {
        const int savedErrno = errno;
        char* strtolEnd = nullptr;
        value = std::strtol(text, &strtolEnd, 10);
        end = strtolEnd;
        errno = savedErrno;
    }
    RequireRealZero(value == 0, text, kInvalidInteger);
    RequireBlankRest(end, kInvalidInteger);
    return ClampToInt32(value);
}

// Reads an unsigned decimal as the original 32-bit strtoul did, refusing every text whose number
// carries a minus sign (strtoul itself would negate "-5" into a huge value); a '-' that strtoul
// does not take is a trailing character, refused as well.
unsigned long ReadUnsigned(const char* text) {
    const int savedErrno = errno;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    errno = savedErrno;
    if (std::memchr(text, '-', static_cast<size_t>(end - text)) != nullptr) ThrowText(kNotUnsigned);
    RequireRealZero(value == 0, text, kNotUnsigned);
    RequireBlankRest(end, kNotUnsigned);
    return value > UINT32_MAX ? UINT32_MAX : value;
}

double ReadDouble(const char* text) {
    const int savedErrno = errno;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    errno = savedErrno;
    RequireBlankRest(end, kInvalidFloat);
    return value;
}

int StoreSigned(long value, SizeLetter size, void* out) {
    if (size == SizeLetter::Short && (value < SHRT_MIN || value > SHRT_MAX)) ThrowText(kOutOfRange);
    if (out == nullptr) return 0;
    if (size == SizeLetter::Short)
        *static_cast<short*>(out) = static_cast<short>(value);
    else if (size == SizeLetter::Long)
        *static_cast<long*>(out) = value;
    else
        *static_cast<int*>(out) = static_cast<int>(value);
    return 1;
}

int StoreUnsigned(unsigned long value, SizeLetter size, void* out) {
    if (size == SizeLetter::Short && value > USHRT_MAX) ThrowText(kOutOfRange);
    if (out == nullptr) return 0;
    if (size == SizeLetter::Short)
        *static_cast<unsigned short*>(out) = static_cast<unsigned short>(value);
    else if (size == SizeLetter::Long)
        *static_cast<unsigned long*>(out) = value;
    else
        *static_cast<unsigned int*>(out) = static_cast<unsigned int>(value);
    return 1;
}

int StoreDouble(double value, void* out) {
    if (out == nullptr) return 0;
    *static_cast<double*>(out) = value;
    return 1;
}

int ScanValue(const char* text, const ScanFormat& format, void* out) {
    const char* start = SkipBlanks(text);
    switch (format.conversion) {
        case 'd': return StoreSigned(ReadSigned(start), format.size, out);
        case 'u': return StoreUnsigned(ReadUnsigned(start), format.size, out);
        default: return StoreDouble(ReadDouble(start), out);
    }
}

double ReadTextAsDouble(const SYS_String& text) {
    double value = 0.0;
    SimpleScanf(text, "%f", &value);
    return value;
}

bool IsBracket(char ch, const char* brackets) { return ch != '\0' && std::strchr(brackets, ch); }

// The range part of a validation string: "[low,high]" with either kind of bracket.
struct Range {
    char open = 0;
    double low = 0.0;
    double high = 0.0;
    char close = 0;

    bool Read(const char* text) {
        return std::sscanf(text, "%c %lf , %lf %c", &open, &low, &high, &close) == 4;
    }
    bool Excludes(double v) const {
        return (open == '[' && v < low) || (open == '(' && v <= low) ||
               (close == ']' && v > high) || (close == ')' && v >= high);
    }
};

double ConvertBack(SCC_Convertor* convertor, double bound) {
    return double(convertor->Convert(SCC_Variant(bound), 0));
}

}  // namespace

// --- construction ------------------------------------------------------------------------------

SCC_Variant::SCC_Variant() : m_type(VT_EMPTY), m_int(0), m_double(0.0) {}

SCC_Variant::SCC_Variant(int value) : m_type(VT_INT), m_int(value), m_double(0.0) {}

SCC_Variant::SCC_Variant(long value) : m_type(VT_INT), m_int(0), m_double(0.0) {
    if (value == ClampToInt32(value)) {
        m_int = static_cast<int32_t>(value);
    } else {
        m_type = VT_DOUBLE;
        m_double = static_cast<double>(value);
    }
}

SCC_Variant::SCC_Variant(double value) : m_type(VT_DOUBLE), m_int(0), m_double(value) {}

SCC_Variant::SCC_Variant(CString text)
    : m_type(VT_STRING), m_int(0), m_double(0.0), m_text(text) {}

SCC_Variant::SCC_Variant(const char* text)
    : m_type(VT_STRING), m_int(0), m_double(0.0), m_text(text) {}

SCC_Variant::SCC_Variant(const SCC_Variant& other)
    : m_type(other.m_type), m_int(other.m_int), m_double(other.m_double), m_text(other.m_text) {}

void SCC_Variant::Clear() {
    m_type = VT_EMPTY;
    m_int = 0;
    m_double = 0.0;
    m_text = "";
}

void SCC_Variant::operator=(const SCC_Variant& other) {
    if (this == &other) return;
    Clear();
    m_type = other.m_type;
    switch (m_type) {
        case VT_INT: m_int = int(other); break;
        case VT_DOUBLE: m_double = double(other); break;
        case VT_STRING: m_text = SYS_String(other); break;
        default: break;
    }
}

// --- conversions -------------------------------------------------------------------------------

SCC_Variant::operator long() const {
    if (m_type == VT_INT) return m_int;
    if (m_type == VT_EMPTY) return 0;
    const double value = m_type == VT_DOUBLE ? m_double : ReadTextAsDouble(m_text);
    if (!(value >= -2147483648.0 && value <= 2147483647.0)) ThrowText(kOutOfRange);
    return static_cast<long>(value);
}

SCC_Variant::operator int() const { return static_cast<int>(long(*this)); }

SCC_Variant::operator double() const {
    switch (m_type) {
        case VT_INT: return m_int;
        case VT_DOUBLE: return m_double;
        case VT_STRING: return ReadTextAsDouble(m_text);
        default: return 0.0;
    }
}

SCC_Variant::operator SYS_String() const {
    switch (m_type) {
        case VT_INT: return FormattedString("%d", m_int);
        case VT_STRING: return m_text;
        case VT_EMPTY: return SYS_String();
        default: break;
    }
    SYS_String text = FormattedString("%f", m_double);
    if (text.Find('.') >= 0) text.TrimRight("0");
    return text;
}

// --- comparison --------------------------------------------------------------------------------

int SCC_Variant::CompareAs(ValueType type, const SCC_Variant& other) const {
    switch (type) {
        case VT_INT: return int(*this) == int(other);
        case VT_DOUBLE: {
            const double a = double(*this), b = double(other);
            return !(a < b || a > b);
        }
        case VT_STRING:
            return std::strcmp(SYS_String(*this), SYS_String(other)) == 0;
        default: return FALSE;  // exactly one side is empty
    }
}

int SCC_Variant::operator==(const SCC_Variant& other) const {
    if (IsEmpty() && other.IsEmpty()) return TRUE;
    return CompareAs(GetSuperiorType(other.m_type), other);
}

// --- validation --------------------------------------------------------------------------------

void SCC_Variant::BecomeText(const SYS_String& text) const {
    m_type = VT_STRING;
    m_int = 0;
    m_double = 0.0;
    m_text = text;
}

int SCC_Variant::Validate(SYS_String validation, SCC_Convertor* convertor) const {
    if (IsEmpty()) return 1;
    SCC_Variant converted;
    if (convertor != nullptr) converted = convertor->Convert(*this, 1);
    if (validation.IsEmpty()) return 1;
    const bool inConvertedUnits = validation.GetAt(0) == '#';
    const char* rule = static_cast<const char*>(validation) + (inConvertedUnits ? 1 : 0);
    const bool useConverted = inConvertedUnits && convertor != nullptr;
    const SCC_Variant& value = useConverted ? converted : *this;

    Range range;
    if (range.Read(rule)) {
        (void)SSM_CHECK_AT(IsBracket(range.open, "[(") && IsBracket(range.close, "])"),
                           kInvalidValidation, kUnit, kLineRangeBrackets, SSM_FailureAssert);
        if (!range.Excludes(double(value))) return 1;
        if (useConverted) {
            range.low = ConvertBack(convertor, range.low);
            range.high = ConvertBack(convertor, range.high);
        }
        BecomeText(FormattedString(TR(kEnterWithinRange), range.open, range.low, range.high,
                                   range.close));
        return 0;
    }

    long maxLength = 0;
    const bool readLength = std::sscanf(rule, "%ld", &maxLength) == 1;
    (void)SSM_CHECK_AT(readLength && value.m_type == VT_STRING, kInvalidValidation, kUnit,
                       kLineLengthForm, SSM_FailureAssert);
    return value.m_text.GetLength() <= maxLength ? 1 : 0;
}

// --- the strict reader -------------------------------------------------------------------------

int SimpleScanf(const char* text, const char* format, ...) {
    if (!SSM_CHECK_AT(text != nullptr, "", kUnit, kLineTextNull, SSM_FailureAssert)) return 0;
    if (!SSM_CHECK_AT(format != nullptr, "", kUnit, kLineFormatNull, SSM_FailureAssert)) return 0;
    ScanFormat parsed;
    if (!ParseFormat(format, parsed)) return 0;
    va_list args;
    va_start(args, format);
    void* out = va_arg(args, void*);
    va_end(args);
    return ScanValue(text, parsed, out);
}
