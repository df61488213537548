#pragma once

#include "SYS_Geom.h"
#include "SYS_StdInterface.h"
#include "SYS_String.h"
#include "TessarExport.h"

/// The units a user sees and types. The underlying type is fixed so that a SYS_Convert can hold
/// (and report) a value outside the four without undefined behaviour.
enum SYS_UnitType : int {
    SYS_UnitMils = 0,         ///< 38,100 base units
    SYS_UnitMillimeters = 1,  ///< 1,500,000 base units
    SYS_UnitInches = 2,       ///< 38,100,000 base units
    SYS_UnitMicrons = 3       ///< 1,500 base units
};

/// Conversion between the library's base units (1/1,500 micron; angles in 1/1,800,000 degree)
/// and user units: mils, millimeters, inches and microns. A SYS_Convert is a small value: a unit
/// type, a user origin for coordinates, a zero-trim switch, a display precision per unit type
/// and an angle precision. The unit definitions (name, default precision, factor) live in one
/// process-wide table shared by every object; its names come from TR (45104 to 45107), so they
/// follow the product's language. The table is filled when the first SYS_Convert (or UnitTypeObj)
/// is built.
///
/// Unit types outside 0 to 3 use a fallback unit with an empty name, precision 0 and factor 0:
/// conversions to base units give 0, conversions to user units give 0 and format as "0".
///
/// Formatting writes exactly what "%.*f" writes for the value in user units (also in a locale
/// whose decimal point is not '.'), then, in zero-trim mode, removes trailing zeros after the
/// point and a point left last (TrimStrNumber). A negative precision means 6, as for "%.*f".
///
/// Parsing functions return 1 and store their result on success, and return 0 and store nothing
/// otherwise; they never report. The whole text must be one number for strtod (strtol for
/// Str2Long) with nothing left over and no range error (an empty text is the number 0; strtod
/// also reads "inf", "nan" and hexadecimal floats, which the checks below then judge). errno is
/// left as the caller had it.
///
/// Reports: "Bad unit type value" and "Overflow in User2BaseDouble()" go to SSM_AssertFailed
/// (unit "sys/sysconv", failure type 0); the operation then continues.
///
/// Not thread safe: the first fill of the unit table and Angle2Str(long) use process-wide
/// storage, like the rest of the library they are called from one thread.
class TESSAR_EXPORT SYS_Convert {
public:
    /// The value User2Base gives for a user value that does not fit in 32 bits of base units.
    static constexpr long kOverflowMark = -2147483647L - 1;
    /// The base range that Str2Base(text, long*) accepts, both bounds included.
    static constexpr long kMaxBase = 1066800000L;

    /// Enumerates the four unit types: handles 1 to 4 stand for mils, millimeters, inches and
    /// microns. Without a current handle (or outside 1 to 4) the fallback unit answers.
    class TESSAR_EXPORT UnitTypeObj : public SYS_StdInterface {
    public:
        /// Handles 1 to 4 (see above), no current handle; fills the unit table on first use.
        UnitTypeObj();
        /// Copy the current handle.
        ///@{
        UnitTypeObj(const UnitTypeObj& other) = default;
        UnitTypeObj& operator=(const UnitTypeObj& other) = default;
        ///@}

        /// The unit type of the current handle; SYS_UnitMils without one.
        SYS_UnitType GetType() const;
        /// The name of the current handle's unit; empty without one.
        SYS_String GetName() const;
    };

    /// Construction: mils and origin (0, 0) where not given; then SetData. The int is not used.
    ///@{
    SYS_Convert();
    explicit SYS_Convert(int unused);
    explicit SYS_Convert(SYS_UnitType type);
    explicit SYS_Convert(const SYS_Point& origin);
    SYS_Convert(SYS_UnitType type, const SYS_Point& origin);
    SYS_Convert(const SYS_Convert& other) = default;
    SYS_Convert& operator=(const SYS_Convert& other) = default;
    ///@}

    /// Fills the unit table on its first call in the process, then sets the unit type and origin,
    /// zero-trim mode on, the unit precisions to the table's defaults and angle precision 3. An
    /// out-of-range type is stored without a report.
    void SetData(SYS_UnitType type, const SYS_Point& origin);

    // Settings
    /// The unit type, as stored (possibly outside 0 to 3, see SetUnitType).
    SYS_UnitType GetUnitType() const { return m_unitType; }
    /// Reports "Bad unit type value" for a type outside 0 to 3 and stores it anyway.
    void SetUnitType(SYS_UnitType type);
    /// The user origin: base coordinates shown as user coordinate 0.
    const SYS_Point& GetOrigin() const { return m_origin; }
    /// Sets the user origin.
    void SetOrigin(const SYS_Point& origin) { m_origin = origin; }
    /// The precision (digits after the point) of the current unit type; 0 for a type outside
    /// 0 to 3, whose precision cannot be set.
    int GetUnitPrecision() const;
    /// Sets the precision of the current unit type; ignored for a type outside 0 to 3.
    void SetUnitPrecision(int precision);
    /// Digits after the point of formatted angles (3 after SetData).
    ///@{
    int GetAnglePrecision() const { return m_anglePrecision; }
    void SetAnglePrecision(int precision) { m_anglePrecision = precision; }
    ///@}
    /// Non-zero: formatted numbers lose their trailing zeros (see TrimStrNumber). On after SetData.
    ///@{
    int IsZeroTrimMode() const { return m_zeroTrim; }
    void SetZeroTrimMode(int mode) { m_zeroTrim = mode; }
    ///@}

    /// The name of the current unit (empty for a type outside 0 to 3, without a report).
    SYS_String GetUnitName() const;
    /// The name of `type`; a type outside 0 to 3 reports "Bad unit type value" and gives "".
    SYS_String GetUnitName(SYS_UnitType type) const;

    /// Conversions. f below is the factor of the current unit (base units per user unit).
    /// v times f rounded half away from zero; kOverflowMark when |v| > 2,147,483,647 / f or v is
    /// NaN (so the result always fits in 32 bits).
    long User2Base(double v) const;
    /// v times f; reports "Overflow in User2BaseDouble()" first when |v| > DBL_MAX / f.
    double User2BaseDouble(double v) const;
    /// base divided by f; 0 for a unit type outside 0 to 3.
    ///@{
    double Base2User(double base) const;
    double Base2User(long base) const;
    ///@}

    /// Formatting into a caller's buffer: the text of Base2User(base), returned as `buffer`
    /// (declared const, but written). The buffer must hold the text and its terminator: at most
    /// 24 + precision bytes for a long, 313 + precision for a double (a negative precision
    /// counts as 6).
    ///@{
    char* Base2Str(const char* buffer, long base) const;
    char* Base2Str(const char* buffer, double base) const;
    SYS_String Base2Str(long base) const;
    SYS_String Base2Str(double base) const;
    ///@}
    /// Lengths: Base2Str of the value.
    /// The forms with a `prefix` put it in front of the text.
    ///@{
    SYS_String Measure2Str(long base) const;
    SYS_String Measure2Str(double base) const;
    SYS_String Measure2String(long base) const;
    SYS_String Measure2String(const SYS_String& prefix, long base) const;
    ///@}
    /// Coordinates: Base2Str of the value minus the origin's x (or y). The difference of two longs
    /// is formed exactly.
    /// The forms with a `prefix` put it in front of the text.
    ///@{
    SYS_String CoordX2Str(long x) const;
    SYS_String CoordX2Str(double x) const;
    SYS_String CoordX2String(long x) const;
    SYS_String CoordX2String(const SYS_String& prefix, long x) const;
    SYS_String CoordY2Str(long y) const;
    SYS_String CoordY2Str(double y) const;
    SYS_String CoordY2String(long y) const;
    SYS_String CoordY2String(const SYS_String& prefix, long y) const;
    ///@}
    /// "(x,y)" with both coordinate texts.
    /// The forms with a `prefix` put it in front of the text.
    ///@{
    SYS_String Point2Str(const SYS_Point& p) const;
    SYS_String Point2Str(const SYS_DoublePoint& p) const;
    SYS_String Point2String(const SYS_Point& p) const;
    SYS_String Point2String(const SYS_String& prefix, const SYS_Point& p) const;
    ///@}
    /// An angle in degrees (angle times 5.555555555555555e-7) with the angle precision; the
    /// buffer must hold 24 + precision bytes. The SYS_String form is formatted in one
    /// process-wide buffer (or, for precisions beyond 40, a buffer of its own).
    char* Angle2Str(const char* buffer, long angle) const;
    /// The same into a process-wide buffer (see above), as a new string.
    SYS_String Angle2Str(long angle) const;
    /// Removes the trailing zeros after the point of a number text, then the point if it is
    /// last ("1.500" gives "1.5", "1.000" gives "1"); a text without '.' is left alone. The
    /// text is edited in place (declared const, but written); null is ignored.
    static void TrimStrNumber(const char* text);

    // Parsing
    /// Any number strtod reads from the whole text (see Parsing functions above).
    static int Str2Double(const char* text, double* value);
    /// A base-10 integer that fits in 32 bits, as longs were on the platform the values come
    /// from; beyond that the text is refused.
    static int Str2Long(const char* text, long* value);
    /// User2Base of the number; refused unless the result lies in [-kMaxBase, kMaxBase].
    int Str2Base(const char* text, long* base) const;
    /// User2BaseDouble of the number (reports an overflow, stores the product anyway).
    int Str2Base(const char* text, double* base) const;
    /// A length: the number must be >= 0. The long form is refused when User2Base gives
    /// kOverflowMark (storing the mark would pass an overflow off as a length of -2^31).
    ///@{
    int Str2Measure(const char* text, long* base) const;
    int Str2Measure(const char* text, double* base) const;
    ///@}
    /// A coordinate: Str2Measure, plus the origin's x (or y). A minus sign is refused.
    ///@{
    int Str2CoordX(const char* text, long* x) const;
    int Str2CoordX(const char* text, double* x) const;
    int Str2CoordY(const char* text, long* y) const;
    int Str2CoordY(const char* text, double* y) const;
    ///@}
    /// Degrees times 1,800,000, truncated toward zero; refused when the result (or NaN) does not
    /// fit in 32 bits, as angles are 32-bit.
    static int Str2Angle(const char* text, long* angle);

    /// The routing grid, in base units: 1, so that alignment never changes a value.
    static long GetMinRoutingGrid();
    /// The nearest multiple of the grid; a remainder of half the grid (integer half) or more
    /// moves away from zero.
    static long AlignToMinRoutingGrid(long v);
    /// Each coordinate aligned as above.
    static SYS_Point AlignToMinRoutingGrid(const SYS_Point& p);
    /// TRUE when the value (each coordinate) is a multiple of the grid.
    ///@{
    static int IsAlignedToMinRoutingGrid(long v);
    static int IsAlignedToMinRoutingGrid(const SYS_Point& p);
    ///@}

private:
    double Factor() const;
    char* Format(char* out, double value, int precision) const;
    SYS_String FormatString(double value, int precision) const;
    int Str2MeasureValue(const char* text, double* value) const;

    SYS_UnitType m_unitType;
    SYS_Point m_origin;
    int m_zeroTrim;
    int m_precisions[4];
    int m_anglePrecision;
};

/// The library's load creates the (not yet filled) unit table, in the order of the library's
/// process-wide objects, and its unload destroys it; the first SYS_Convert fills it, and one
/// used after unload builds it again. Only the library's own entry calls them; not exported.
void SYS_CreateUnitTable();
void SYS_DestroyUnitTable();
