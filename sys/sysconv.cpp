// Unit conversion, formatting and parsing of user values.
//
// Formatting must give byte for byte what "%.*f" gives. std::to_chars with a fixed precision
// produces the correctly rounded decimal expansion of the exact binary value, as glibc's printf
// does in the default rounding mode (ties of the exact value go to even in both), and is several
// times faster; it is used whenever the locale's decimal point is '.', snprintf otherwise. Texts
// are built in a 64-byte stack buffer, which holds every long at the usual precisions; longer
// texts take a buffer of their exact bound.
//
// The unit table holds the records users see (type, name, default precision, factor). The
// conversions read the factors from the constant definitions the records are filled from, so
// they stay right even after the table is destroyed at unload.
#include "SYS_Convert.h"

#include <langinfo.h>

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "SFM_TR.h"
#include "SSM_Assert.h"
#include "sys/sysconv_grid.h"

namespace {

const char kUnit[] = "sys/sysconv";

constexpr int kUnitCount = 4;

// The definition of each unit type, in the order of SYS_UnitType.
struct UnitDefinition {
    int textId;      // its name in the string tables
    int precision;   // default digits after the point
    double factor;   // base units per user unit
};
constexpr UnitDefinition kDefinitions[kUnitCount] = {
    {45104, 2, 38100.0},
    {45105, 5, 1500000.0},
    {45106, 5, 38100000.0},
    {45107, 2, 1500.0},
};
constexpr double kDegreesPerAngleUnit = 5.555555555555555e-7;
constexpr double kAngleUnitsPerDegree = 1800000.0;
constexpr long kMinRoutingGrid = 1;

// One record of the process-wide table; a type outside 0 to 3 reads the fallback record
// (type 0, empty name, precision 0, factor 0).
struct UnitRecord {
    SYS_UnitType type;
    SYS_String name;
    int precision;
    double factor;
};

struct UnitTable {
    UnitRecord records[kUnitCount];
    bool filled = false;
};

// The table is built in static storage by the library's state object (or by the first use, if
// that comes first), so that its construction and destruction follow the library's load order
// rather than the order of static objects.
alignas(UnitTable) unsigned char s_tableStorage[sizeof(UnitTable)];
UnitTable* s_table = nullptr;

// The buffer of Angle2Str(long); large enough for every angle at precisions up to 40.
char s_angleText[64];

bool IsUnitType(int type) { return static_cast<unsigned>(type) < kUnitCount; }

UnitTable& FilledTable() {
    SYS_CreateUnitTable();
    if (!s_table->filled) {
        for (int i = 0; i < kUnitCount; ++i) {
            const UnitDefinition& unit = kDefinitions[i];
            s_table->records[i] = {static_cast<SYS_UnitType>(i), TR(unit.textId), unit.precision,
                                   unit.factor};
        }
        s_table->filled = true;
    }
    return *s_table;
}

SYS_String NameOf(int type) {
    return IsUnitType(type) ? FilledTable().records[type].name : SYS_String();
}

// errno as the caller had it, whatever strtod and strtol set on the way.
class ErrnoKeeper {
public:
    ErrnoKeeper() : m_saved(errno) { errno = 0; }
    ~ErrnoKeeper() { errno = m_saved; }
    ErrnoKeeper(const ErrnoKeeper&) = delete;
    ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;

private:
    int m_saved;
};

// Every double is a multiple of 2^-1074, so its exact decimal expansion ends within this many
// digits after the point; further digits of "%.*f" are zeros.
constexpr int kLastFractionDigit = 1074;

// The precision "%.*f" uses: 6 for a negative one. In zero-trim mode the zeros beyond the last
// digit a double can have are removed anyway, so they are not written in the first place.
int EffectivePrecision(int precision, int trim) {
    if (precision < 0) return 6;
    return trim && precision > kLastFractionDigit ? kLastFractionDigit : precision;
}

// Room for any "%.*f" text of a double and its terminator: sign, 309 integer digits, point.
size_t TextBound(int precision, int trim) {
    return 313 + static_cast<size_t>(EffectivePrecision(precision, trim));
}

bool RadixIsPoint() {
    const char* radix = nl_langinfo(RADIXCHAR);
    return radix[0] == '.' && radix[1] == '\0';
}

// Drops the zeros behind the point of [text, end), then the point when it is last.
char* TrimNumber(char* text, char* end) {
    if (std::memchr(text, '.', static_cast<size_t>(end - text)) == nullptr) return end;
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
    return end;
}

// Writes "%.*f" of value, trimmed when asked, and a terminator into [out, limit); returns the
// end of the text, or null when it does not fit.
char* WriteFixed(char* out, char* limit, double value, int precision, int trim) {
    precision = EffectivePrecision(precision, trim);
    char* end;
    if (RadixIsPoint()) {
        const std::to_chars_result written =
            std::to_chars(out, limit - 1, value, std::chars_format::fixed, precision);
        if (written.ec != std::errc()) return nullptr;
        end = written.ptr;
    } else {
        const int n = std::snprintf(out, static_cast<size_t>(limit - out), "%.*f", precision, value);
        if (n < 0 || n >= limit - out) return nullptr;
        end = out + n;
    }
    if (trim) end = TrimNumber(out, end);
    *end = '\0';
    return end;
}

SYS_String FixedString(double value, int precision, int trim) {
    char local[64];
    if (char* end = WriteFixed(local, local + sizeof local, value, precision, trim))
        return SYS_String(local, static_cast<int>(end - local));
    // A string holds less than INT_MAX bytes; a longer text fails as any string growth does.
    const size_t bound = TextBound(precision, trim);
    if (bound > INT_MAX - 64) throw std::bad_alloc();
    SYS_String text;
    char* buffer = text.GetBuffer(static_cast<int>(bound));
    char* end = WriteFixed(buffer, buffer + bound, value, precision, trim);
    text.ReleaseBuffer(static_cast<int>(end - buffer));
    return text;
}

// A coordinate typed by the user: a measure, plus the origin's coordinate.
template <class T>
int MeasurePlus(const SYS_Convert& convert, const char* text, long origin, T* coordinate) {
    T measure;
    if (coordinate == nullptr || !convert.Str2Measure(text, &measure)) return 0;
    *coordinate = measure + origin;
    return 1;
}

SYS_String Concat(const SYS_String& prefix, const SYS_String& text) {
    SYS_String result(prefix);
    result += text;
    return result;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The unit table

void SYS_CreateUnitTable() {
    if (s_table == nullptr) s_table = new (s_tableStorage) UnitTable();
}

void SYS_DestroyUnitTable() {
    if (s_table == nullptr) return;
    s_table->~UnitTable();
    s_table = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Unit type enumerator

SYS_Convert::UnitTypeObj::UnitTypeObj() : SYS_StdInterface(kUnitCount) { FilledTable(); }

SYS_UnitType SYS_Convert::UnitTypeObj::GetType() const {
    const SYS_Handle handle = GetHandle();
    return handle >= 1 && handle <= kUnitCount ? FilledTable().records[handle - 1].type
                                               : SYS_UnitMils;
}

SYS_String SYS_Convert::UnitTypeObj::GetName() const {
    const SYS_Handle handle = GetHandle();
    return handle >= 1 && handle <= kUnitCount ? NameOf(static_cast<int>(handle - 1))
                                               : SYS_String();
}

// ---------------------------------------------------------------------------------------------
// Construction and settings

SYS_Convert::SYS_Convert() { SetData(SYS_UnitMils, SYS_Point()); }

SYS_Convert::SYS_Convert(int) { SetData(SYS_UnitMils, SYS_Point()); }

SYS_Convert::SYS_Convert(SYS_UnitType type) { SetData(type, SYS_Point()); }

SYS_Convert::SYS_Convert(const SYS_Point& origin) { SetData(SYS_UnitMils, origin); }

SYS_Convert::SYS_Convert(SYS_UnitType type, const SYS_Point& origin) { SetData(type, origin); }

void SYS_Convert::SetData(SYS_UnitType type, const SYS_Point& origin) {
    const UnitTable& table = FilledTable();
    m_unitType = type;
    m_origin = origin;
    m_zeroTrim = 1;
    for (int i = 0; i < kUnitCount; ++i) m_precisions[i] = table.records[i].precision;
    m_anglePrecision = 3;
}

void SYS_Convert::SetUnitType(SYS_UnitType type) {
    (void)SSM_CHECK(IsUnitType(type), "Bad unit type value", kUnit, SSM_FailureAssert);
    m_unitType = type;
}

int SYS_Convert::GetUnitPrecision() const {
    return IsUnitType(m_unitType) ? m_precisions[m_unitType] : 0;
}

void SYS_Convert::SetUnitPrecision(int precision) {
    if (IsUnitType(m_unitType)) m_precisions[m_unitType] = precision;
}

SYS_String SYS_Convert::GetUnitName() const { return NameOf(m_unitType); }

SYS_String SYS_Convert::GetUnitName(SYS_UnitType type) const {
    (void)SSM_CHECK(IsUnitType(type), "Bad unit type value", kUnit, SSM_FailureAssert);
    return NameOf(type);
}

// ---------------------------------------------------------------------------------------------
// Conversions

double SYS_Convert::Factor() const {
    return IsUnitType(m_unitType) ? kDefinitions[m_unitType].factor : 0.0;
}

long SYS_Convert::User2Base(double v) const {
    const double f = Factor();
    if (f == 0.0) return 0;
    // Written so that NaN fails the test too: the mark is what a 32-bit conversion of NaN gave.
    if (!(std::fabs(v) <= 2147483647.0 / f)) return kOverflowMark;
    const double product = v * f;
    return static_cast<long>(product > 0 ? product + 0.5 : product - 0.5);
}

double SYS_Convert::User2BaseDouble(double v) const {
    const double f = Factor();
    if (f == 0.0) return 0.0;
    (void)SSM_CHECK(!(std::fabs(v) > DBL_MAX / f), "Overflow in User2BaseDouble()", kUnit,
                    SSM_FailureAssert);
    return v * f;
}

double SYS_Convert::Base2User(double base) const {
    const double f = Factor();
    return f == 0.0 ? 0.0 : base / f;
}

double SYS_Convert::Base2User(long base) const { return Base2User(static_cast<double>(base)); }

// ---------------------------------------------------------------------------------------------
// Formatting

char* SYS_Convert::Format(char* out, double value, int precision) const {
    WriteFixed(out, out + TextBound(precision, m_zeroTrim), value, precision, m_zeroTrim);
    return out;
}

SYS_String SYS_Convert::FormatString(double value, int precision) const {
    return FixedString(value, precision, m_zeroTrim);
}

char* SYS_Convert::Base2Str(const char* buffer, long base) const {
    return Format(const_cast<char*>(buffer), Base2User(base), GetUnitPrecision());
}

char* SYS_Convert::Base2Str(const char* buffer, double base) const {
    return Format(const_cast<char*>(buffer), Base2User(base), GetUnitPrecision());
}

SYS_String SYS_Convert::Base2Str(long base) const {
    return FormatString(Base2User(base), GetUnitPrecision());
}

SYS_String SYS_Convert::Base2Str(double base) const {
    return FormatString(Base2User(base), GetUnitPrecision());
}

SYS_String SYS_Convert::Measure2Str(long base) const { return Base2Str(base); }
SYS_String SYS_Convert::Measure2Str(double base) const { return Base2Str(base); }
SYS_String SYS_Convert::Measure2String(long base) const { return Base2Str(base); }
SYS_String SYS_Convert::Measure2String(const SYS_String& prefix, long base) const {
    return Concat(prefix, Base2Str(base));
}

SYS_String SYS_Convert::CoordX2Str(long x) const { return Base2Str(x - long(m_origin.GetX())); }
SYS_String SYS_Convert::CoordX2Str(double x) const { return Base2Str(x - m_origin.GetX()); }
SYS_String SYS_Convert::CoordX2String(long x) const { return CoordX2Str(x); }
SYS_String SYS_Convert::CoordX2String(const SYS_String& prefix, long x) const {
    return Concat(prefix, CoordX2Str(x));
}

SYS_String SYS_Convert::CoordY2Str(long y) const { return Base2Str(y - long(m_origin.GetY())); }
SYS_String SYS_Convert::CoordY2Str(double y) const { return Base2Str(y - m_origin.GetY()); }
SYS_String SYS_Convert::CoordY2String(long y) const { return CoordY2Str(y); }
SYS_String SYS_Convert::CoordY2String(const SYS_String& prefix, long y) const {
    return Concat(prefix, CoordY2Str(y));
}

SYS_String SYS_Convert::Point2Str(const SYS_Point& p) const {
    SYS_String text("(");
    text += CoordX2Str(long(p.GetX()));
    text += ',';
    text += CoordY2Str(long(p.GetY()));
    text += ')';
    return text;
}

SYS_String SYS_Convert::Point2Str(const SYS_DoublePoint& p) const {
    SYS_String text("(");
    text += CoordX2Str(p.GetX());
    text += ',';
    text += CoordY2Str(p.GetY());
    text += ')';
    return text;
}

SYS_String SYS_Convert::Point2String(const SYS_Point& p) const { return Point2Str(p); }
SYS_String SYS_Convert::Point2String(const SYS_String& prefix, const SYS_Point& p) const {
    return Concat(prefix, Point2Str(p));
}

char* SYS_Convert::Angle2Str(const char* buffer, long angle) const {
    return Format(const_cast<char*>(buffer), angle * kDegreesPerAngleUnit, m_anglePrecision);
}

SYS_String SYS_Convert::Angle2Str(long angle) const {
    const double degrees = angle * kDegreesPerAngleUnit;
    if (char* end = WriteFixed(s_angleText, s_angleText + sizeof s_angleText, degrees,
                               m_anglePrecision, m_zeroTrim))
        return SYS_String(s_angleText, static_cast<int>(end - s_angleText));
    return FormatString(degrees, m_anglePrecision);
}

void SYS_Convert::TrimStrNumber(const char* text) {
    if (text == nullptr) return;
    char* begin = const_cast<char*>(text);
    *TrimNumber(begin, begin + std::strlen(begin)) = '\0';
}

// ---------------------------------------------------------------------------------------------
// Parsing

int SYS_Convert::Str2Double(const char* text, double* value) {
    if (text == nullptr || value == nullptr) return 0;
    ErrnoKeeper keeper;
    char* end;
    const double v = std::strtod(text, &end);
    if (*end != '\0' || errno == ERANGE) return 0;
    *value = v;
    return 1;
}

int SYS_Convert::Str2Long(const char* text, long* value) {
    if (text == nullptr || value == nullptr) return 0;
    ErrnoKeeper keeper;
    char* end;
    const long v = std::strtol(text, &end, 10);
    if (*end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return 0;
    *value = v;
    return 1;
}

int SYS_Convert::Str2Base(const char* text, long* base) const {
    double v;
    if (base == nullptr || !Str2Double(text, &v)) return 0;
    const long b = User2Base(v);
    if (b < -kMaxBase || b > kMaxBase) return 0;
    *base = b;
    return 1;
}

int SYS_Convert::Str2Base(const char* text, double* base) const {
    double v;
    if (base == nullptr || !Str2Double(text, &v)) return 0;
    *base = User2BaseDouble(v);
    return 1;
}

// The number of a length in user units: refused below 0 (and NaN).
int SYS_Convert::Str2MeasureValue(const char* text, double* value) const {
    return Str2Double(text, value) && *value >= 0;
}

int SYS_Convert::Str2Measure(const char* text, long* base) const {
    double v;
    if (base == nullptr || !Str2MeasureValue(text, &v)) return 0;
    const long b = User2Base(v);
    if (b == kOverflowMark) return 0;
    *base = b;
    return 1;
}

int SYS_Convert::Str2Measure(const char* text, double* base) const {
    double v;
    if (base == nullptr || !Str2MeasureValue(text, &v)) return 0;
    *base = User2BaseDouble(v);
    return 1;
}

int SYS_Convert::Str2CoordX(const char* text, long* x) const {
    return MeasurePlus(*this, text, m_origin.GetX(), x);
}

int SYS_Convert::Str2CoordX(const char* text, double* x) const {
    return MeasurePlus(*this, text, m_origin.GetX(), x);
}

int SYS_Convert::Str2CoordY(const char* text, long* y) const {
    return MeasurePlus(*this, text, m_origin.GetY(), y);
}

int SYS_Convert::Str2CoordY(const char* text, double* y) const {
    return MeasurePlus(*this, text, m_origin.GetY(), y);
}

int SYS_Convert::Str2Angle(const char* text, long* angle) {
    double degrees;
    if (angle == nullptr || !Str2Double(text, &degrees)) return 0;
    const double units = std::trunc(degrees * kAngleUnitsPerDegree);
    if (!(units >= INT_MIN && units <= INT_MAX)) return 0;
    *angle = static_cast<long>(units);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Routing grid

long SYS_Convert::GetMinRoutingGrid() { return kMinRoutingGrid; }

long SYS_Convert::AlignToMinRoutingGrid(long v) { return SYS_AlignToGrid(v, kMinRoutingGrid); }

SYS_Point SYS_Convert::AlignToMinRoutingGrid(const SYS_Point& p) {
    return SYS_Point(static_cast<int32_t>(AlignToMinRoutingGrid(long(p.GetX()))),
                     static_cast<int32_t>(AlignToMinRoutingGrid(long(p.GetY()))));
}

int SYS_Convert::IsAlignedToMinRoutingGrid(long v) {
    return SYS_IsAlignedToGrid(v, kMinRoutingGrid);
}

int SYS_Convert::IsAlignedToMinRoutingGrid(const SYS_Point& p) {
    return IsAlignedToMinRoutingGrid(long(p.GetX())) && IsAlignedToMinRoutingGrid(long(p.GetY()));
}
