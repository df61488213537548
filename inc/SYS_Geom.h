#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "SSM_Assert.h"
#include "TessarExport.h"

/// @file
/// Integer plane geometry in board units: points, placements, segments, circles, arcs and
/// axis-aligned boxes. All are plain values without virtual functions, copied freely and
/// compared field by field.
///
/// Units. Coordinates, lengths and radii are signed 32-bit base units (1/1,500 micron); a
/// coordinate is usable when it lies strictly between -SYS_COORD_LIMIT and +SYS_COORD_LIMIT,
/// which keeps the sum or difference of two coordinates inside 32 bits. Angles are signed 32-bit
/// with SYS_FULL_TURN units per turn, counter-clockwise from the positive x axis.
///
/// Arithmetic. Integer arithmetic on points is unchecked and wraps modulo 2^32 (it is carried
/// out in unsigned arithmetic, so it is never undefined); callers keep coordinates inside the
/// range. Floating results stored as integers are rounded half away from zero (SYS_Round) or,
/// where an operation says so, truncated (SYS_Trunc).
///
/// Checks. Broken rules are reported through SSM_AssertFailed (failure type 0) with the unit
/// "sys/SYS_Geom_Inline" or "sys/locgeom" that hosts know; the operation then completes with
/// the values as computed. Nothing here throws.

class SYS_Transform;
class SYS_DoublePoint;
class SYS_Box;

constexpr int32_t SYS_COORD_LIMIT = 1066800000;  ///< exclusive bound of a usable coordinate
constexpr int32_t SYS_FULL_TURN = 648000000;     ///< angle units per turn (1,800,000 per degree)
/// Angle units per half turn.
constexpr int32_t SYS_HALF_TURN = 324000000;

namespace SYS_GeomDetail {
/// The units of the geometry checks: those of the inline members, and those of the out-of-line
/// members (the box checks of the inline box operations report there too).
constexpr const char kInlineUnit[] = "sys/SYS_Geom_Inline";
constexpr const char kLocgeomUnit[] = "sys/locgeom";
}  // namespace SYS_GeomDetail

/// Truncates toward zero. Values beyond the 32-bit range saturate and NaN gives INT32_MIN, so
/// that no input is undefined; inside the coordinate range this is plain truncation.
inline int32_t SYS_Trunc(double v) noexcept {
    v = v > -2147483648.0 ? v : -2147483648.0;  // also maps NaN to the lower bound
    v = v < 2147483647.0 ? v : 2147483647.0;
    return static_cast<int32_t>(v);
}

/// An atan2 result in angle units, truncated, in [0, SYS_FULL_TURN). A negative angle gets a
/// full turn added without a branch: the sign of atan2 is a coin toss on most data.
inline int32_t SYS_AngleOfRadians(double radians) noexcept {
    int32_t angle = SYS_Trunc(radians * 324000000.0 * 0.3183098861837907);
    return angle + ((angle >> 31) & SYS_FULL_TURN);
}

/// The library's rounding: add 0.5 when v > 0, else subtract 0.5, then truncate toward zero.
/// copysign gives the same sum for every v (zero included) without a branch.
inline int32_t SYS_Round(double v) noexcept { return SYS_Trunc(v + std::copysign(0.5, v)); }

// ---------------------------------------------------------------------------------------------
/// An integer point. Always valid; arithmetic wraps (see the file comment).
class TESSAR_EXPORT SYS_Point {
public:
    /// The origin (0, 0).
    constexpr SYS_Point() noexcept : m_x(0), m_y(0) {}
    /// The point (x, y).
    constexpr SYS_Point(int32_t x, int32_t y) noexcept : m_x(x), m_y(y) {}

    /// Initiate resets to (0, 0); the others read and write the coordinates.
    ///@{
    constexpr void Initiate() noexcept { m_x = m_y = 0; }
    constexpr void Set(int32_t x, int32_t y) noexcept { m_x = x, m_y = y; }
    constexpr void SetX(int32_t x) noexcept { m_x = x; }
    constexpr void SetY(int32_t y) noexcept { m_y = y; }
    constexpr int32_t GetX() const noexcept { return m_x; }
    constexpr int32_t GetY() const noexcept { return m_y; }
    ///@}
    /// x for i == 0, y for any other i.
    ///@{
    constexpr int32_t& operator[](int i) noexcept { return i == 0 ? m_x : m_y; }
    constexpr int32_t operator[](int i) const noexcept { return i == 0 ? m_x : m_y; }
    ///@}

    /// Always TRUE: every pair of coordinates is a point.
    constexpr int IsValid() const noexcept { return TRUE; }
    /// Draws nothing: points have no drawing of their own.
    void Draw() const noexcept {}
    /// Reverses the byte order of each coordinate in place.
    void SwapBytes() noexcept;

    /// Both coordinates as doubles; reports "Invalid point" when outside the coordinate range.
    operator SYS_DoublePoint() const;
    /// Reports "Invalid point" for an invalid p, then stores both coordinates rounded.
    SYS_Point& operator=(const SYS_DoublePoint& p);

    /// Euclidean length; exact for axis-parallel and diagonal points.
    double Length() const noexcept;
    /// Length() of the difference.
    double Distance(const SYS_Point& p) const noexcept { return (*this - p).Length(); }
    /// Manhattan length, computed in 64 bits so that it never overflows.
    long MLength() const noexcept { return std::labs(long(m_x)) + std::labs(long(m_y)); }
    /// MLength() of the difference.
    long MDistance(const SYS_Point& p) const noexcept { return (*this - p).MLength(); }
    /// Midpoint: the 32-bit sum, halved and rounded.
    SYS_Point Median(const SYS_Point& p) const noexcept;
    /// Products are exact (128-bit), rounded once to double, so a zero result is exact.
    ///@{
    double ScalarProduct(const SYS_Point& p) const noexcept;
    double VectorProduct(const SYS_Point& p) const noexcept;
    ///@}
    /// Angle of the vector in [0, SYS_FULL_TURN), truncated; 0 for the origin.
    int32_t GetPolarAngle() const noexcept;
    /// Length through SYS_DoublePoint (reports "Invalid point" outside the coordinate range).
    double GetPolarRadius() const;

    /// Coordinate-wise sums, differences and products, wrapping modulo 2^32 (see the file comment);
    /// an int32_t n acts on both coordinates, a long factor is first cut to 32 bits.
    ///@{
    constexpr SYS_Point operator+(const SYS_Point& p) const noexcept {
        return SYS_Point(Add(m_x, p.m_x), Add(m_y, p.m_y));
    }
    constexpr SYS_Point operator-(const SYS_Point& p) const noexcept {
        return SYS_Point(Sub(m_x, p.m_x), Sub(m_y, p.m_y));
    }
    constexpr SYS_Point& operator+=(const SYS_Point& p) noexcept { return *this = *this + p; }
    constexpr SYS_Point& operator-=(const SYS_Point& p) noexcept { return *this = *this - p; }
    constexpr SYS_Point operator+(int32_t n) const noexcept { return *this + SYS_Point(n, n); }
    constexpr SYS_Point operator-(int32_t n) const noexcept { return *this - SYS_Point(n, n); }
    constexpr SYS_Point& operator+=(int32_t n) noexcept { return *this = *this + n; }
    constexpr SYS_Point& operator-=(int32_t n) noexcept { return *this = *this - n; }
    constexpr SYS_Point operator*(int32_t n) const noexcept {
        return SYS_Point(Mul(m_x, n), Mul(m_y, n));
    }
    constexpr SYS_Point operator*(long n) const noexcept { return *this * int32_t(n); }
    ///@}
    /// Each coordinate times d, truncated (not rounded).
    SYS_Point operator*(double d) const noexcept {
        return SYS_Point(SYS_Trunc(m_x * d), SYS_Trunc(m_y * d));
    }
    /// Each coordinate divided by n in doubles and rounded. n must not be 0 (the result then
    /// saturates instead of trapping).
    SYS_Point operator/(long n) const noexcept {
        return SYS_Point(SYS_Round(double(m_x) / double(n)), SYS_Round(double(m_y) / double(n)));
    }
    /// Each coordinate times d (or dx, dy), rounded.
    ///@{
    void Scale(double d) noexcept { Scale(d, d); }
    void Scale(double dx, double dy) noexcept {
        m_x = SYS_Round(m_x * dx), m_y = SYS_Round(m_y * dy);
    }
    ///@}
    /// Applies t, rounding the result (defined with SYS_Transform).
    inline void Transform(const SYS_Transform& t) noexcept;

    /// Equal when both coordinates are.
    ///@{
    constexpr bool operator==(const SYS_Point& p) const noexcept {
        return m_x == p.m_x && m_y == p.m_y;
    }
    constexpr bool operator!=(const SYS_Point& p) const noexcept { return !(*this == p); }
    ///@}
    /// Lexicographic: x decides, y only between equal x.
    constexpr bool operator<(const SYS_Point& p) const noexcept {
        return m_x < p.m_x || (m_x == p.m_x && m_y < p.m_y);
    }
    /// The reverse of operator<.
    constexpr bool operator>(const SYS_Point& p) const noexcept { return p < *this; }

private:
    /// 32-bit wrapping arithmetic without undefined behaviour.
    static constexpr int32_t Add(int32_t a, int32_t b) noexcept {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
    }
    static constexpr int32_t Sub(int32_t a, int32_t b) noexcept {
        return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
    }
    static constexpr int32_t Mul(int32_t a, int32_t b) noexcept {
        return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
    }

    int32_t m_x;
    int32_t m_y;
};

// ---------------------------------------------------------------------------------------------
/// A floating-point point, valid when both coordinates lie strictly inside the coordinate range
/// (NaN is invalid). Constructors from values, setters, getters, operator[], assignments,
/// comparisons and arithmetic report "Invalid point" for each point they read or produce that
/// is not valid, then go on; measures do not check. Comparisons are exact.
class TESSAR_EXPORT SYS_DoublePoint {
public:
    /// The origin; valid.
    constexpr SYS_DoublePoint() noexcept : m_x(0.0), m_y(0.0) {}
    /// Copies the coordinates without a check.
    SYS_DoublePoint(const SYS_DoublePoint& p) = default;
    /// The point (x, y); reported when not valid.
    SYS_DoublePoint(double x, double y) : m_x(x), m_y(y) { Check(); }

    /// Initiate resets to (0, 0) without a check; the setters and getters report an invalid point
    /// (see the class comment); operator[] gives x for i == 0, y for any other i.
    ///@{
    void Initiate() noexcept { m_x = m_y = 0.0; }
    void Set(double x, double y) { m_x = x, m_y = y, Check(); }
    void SetX(double x) { m_x = x, Check(); }
    void SetY(double y) { m_y = y, Check(); }
    double GetX() const { return Check(), m_x; }
    double GetY() const { return Check(), m_y; }
    double operator[](int i) const { return Check(), (i == 0 ? m_x : m_y); }
    ///@}
    /// Copy the coordinates, reporting an invalid source (a SYS_Point) or result.
    ///@{
    SYS_DoublePoint& operator=(const SYS_DoublePoint& p) {
        p.Check();
        m_x = p.m_x, m_y = p.m_y;
        return *this;
    }
    SYS_DoublePoint& operator=(const SYS_Point& p) {
        return m_x = p.GetX(), m_y = p.GetY(), Check(), *this;
    }
    ///@}

    /// Both coordinates lie strictly inside the coordinate range (NaN does not).
    ///@{
    bool IsValid() const noexcept {
        return m_x > -SYS_COORD_LIMIT && m_x < SYS_COORD_LIMIT && m_y > -SYS_COORD_LIMIT &&
               m_y < SYS_COORD_LIMIT;
    }
    ///@}
    /// Both coordinates rounded.
    operator SYS_Point() const { return Check(), SYS_Point(SYS_Round(m_x), SYS_Round(m_y)); }

    /// Coordinate-wise sums and differences; a double d acts on both coordinates. The operands and
    /// the result are checked.
    ///@{
    SYS_DoublePoint operator+(const SYS_DoublePoint& p) const {
        return Make(m_x + p.Read().m_x, m_y + p.m_y);
    }
    SYS_DoublePoint operator-(const SYS_DoublePoint& p) const {
        return Make(m_x - p.Read().m_x, m_y - p.m_y);
    }
    SYS_DoublePoint operator+(double d) const { return Make(m_x + d, m_y + d); }
    SYS_DoublePoint operator-(double d) const { return Make(m_x - d, m_y - d); }
    SYS_DoublePoint& operator+=(const SYS_DoublePoint& p) { return Assign(*this + p); }
    SYS_DoublePoint& operator-=(const SYS_DoublePoint& p) { return Assign(*this - p); }
    SYS_DoublePoint& operator+=(double d) { return Assign(*this + d); }
    SYS_DoublePoint& operator-=(double d) { return Assign(*this - d); }
    ///@}
    /// Plain multiplication; checks with the unit "sys/locgeom".
    ///@{
    void Scale(double d);
    void Scale(double dx, double dy);
    ///@}
    /// Applies t exactly; checks with the unit "sys/locgeom".
    void Transform(const SYS_Transform& t);

    /// x*x' + y*y' and x*y' - y*x', without checks.
    ///@{
    double ScalarProduct(const SYS_DoublePoint& p) const noexcept {
        return m_x * p.m_x + m_y * p.m_y;
    }
    double VectorProduct(const SYS_DoublePoint& p) const noexcept {
        return m_x * p.m_y - m_y * p.m_x;
    }
    ///@}
    /// atan2 scaled to angle units, truncated, in [0, SYS_FULL_TURN).
    int32_t GetPolarAngle() const noexcept { return SYS_AngleOfRadians(std::atan2(m_y, m_x)); }
    /// sqrt(x*x + y*y) refined by one Newton step.
    double GetPolarRadius() const noexcept {
        double s = m_x * m_x + m_y * m_y;
        double r = std::sqrt(s);
        return r != 0.0 ? (r * r + s) * 0.5 / r : r;
    }

    /// Exact comparisons (operator< is lexicographic: x decides, y only between equal x); both
    /// points are checked.
    ///@{
    bool operator==(const SYS_DoublePoint& p) const {
        return Read().m_x == p.Read().m_x && m_y == p.m_y;
    }
    bool operator!=(const SYS_DoublePoint& p) const { return !(*this == p); }
    bool operator<(const SYS_DoublePoint& p) const {
        return Read().m_x < p.Read().m_x || (m_x == p.m_x && m_y < p.m_y);
    }
    bool operator>(const SYS_DoublePoint& p) const { return p < *this; }
    ///@}

private:
    friend class SYS_Transform;  ///< applies itself to the raw coordinates, without checks

    void Check(const char* unit = SYS_GeomDetail::kInlineUnit) const {
        (void)SSM_CHECK(IsValid(), "Invalid point", unit, SSM_FailureAssert);
    }
    const SYS_DoublePoint& Read() const { return Check(), *this; }
    /// Checks this point (the left operand) and the result.
    SYS_DoublePoint Make(double x, double y) const { return Check(), SYS_DoublePoint(x, y); }
    SYS_DoublePoint& Assign(const SYS_DoublePoint& p) { return m_x = p.m_x, m_y = p.m_y, *this; }

    double m_x;
    double m_y;
};

// ---------------------------------------------------------------------------------------------
/// A placement: an origin and an orientation. Every stored angle is reduced to the remainder of
/// its division by SYS_FULL_TURN with the sign of the dividend (-700,000,000 becomes
/// -52,000,000), so it is valid: -SYS_FULL_TURN < orientation < SYS_FULL_TURN.
class TESSAR_EXPORT SYS_Location {
public:
    /// The origin with orientation 0.
    constexpr SYS_Location() noexcept : m_origin(), m_orientation(0) {}
    /// The given origin and orientation, the angle reduced (see the class comment).
    ///@{
    constexpr SYS_Location(const SYS_Point& origin, int32_t angle) noexcept
        : m_origin(origin), m_orientation(Reduce(angle)) {}
    constexpr SYS_Location(int32_t x, int32_t y, int32_t angle) noexcept
        : m_origin(x, y), m_orientation(Reduce(angle)) {}
    ///@}

    /// Origin (0, 0), orientation 0.
    constexpr void Initiate() noexcept { m_origin.Initiate(), m_orientation = 0; }
    /// The origin.
    ///@{
    constexpr SYS_Point& GetOrigin() noexcept { return m_origin; }
    constexpr const SYS_Point& GetOrigin() const noexcept { return m_origin; }
    ///@}
    /// The orientation, in (-SYS_FULL_TURN, SYS_FULL_TURN).
    constexpr int32_t GetOrientation() const noexcept { return m_orientation; }
    /// Stores the angle reduced.
    constexpr void SetOrientation(int32_t angle) noexcept { m_orientation = Reduce(angle); }
    /// Stores the origin and the angle, reduced.
    ///@{
    constexpr void Set(const SYS_Point& origin, int32_t angle) noexcept {
        m_origin = origin, m_orientation = Reduce(angle);
    }
    constexpr void Set(int32_t x, int32_t y, int32_t angle) noexcept {
        Set(SYS_Point(x, y), angle);
    }
    ///@}
    /// Stores the origin, then reports "Invalid Location" when the orientation is not valid.
    void SetOrigin(const SYS_Point& origin) {
        m_origin = origin;
        (void)SSM_CHECK(IsValid(), "Invalid Location", SYS_GeomDetail::kInlineUnit,
                        SSM_FailureAssert);
    }
    /// Same as SetOrigin(SYS_Point(x, y)).
    void SetOrigin(int32_t x, int32_t y) { SetOrigin(SYS_Point(x, y)); }
    /// Reverses the byte order of the three fields in place.
    void SwapBytes() noexcept;

    /// TRUE when -SYS_FULL_TURN < orientation < SYS_FULL_TURN (always, for values stored through
    /// this class).
    ///@{
    constexpr int IsValid() const noexcept {
        return m_orientation > -SYS_FULL_TURN && m_orientation < SYS_FULL_TURN;
    }
    ///@}

    /// Origins add; orientations add and are reduced.
    constexpr SYS_Location& operator+=(const SYS_Location& l) noexcept {
        m_origin += l.m_origin;
        m_orientation = Reduce(int64_t(m_orientation) + l.m_orientation);
        return *this;
    }
    /// Same as operator+= on a copy.
    ///@{
    constexpr SYS_Location operator+(const SYS_Location& l) const noexcept {
        return SYS_Location(*this) += l;
    }
    ///@}
    /// Equal when origin and orientation are.
    ///@{
    constexpr bool operator==(const SYS_Location& l) const noexcept {
        return m_origin == l.m_origin && m_orientation == l.m_orientation;
    }
    constexpr bool operator!=(const SYS_Location& l) const noexcept { return !(*this == l); }
    ///@}

    /// Transforms the origin; the orientation gains t's orientation and, when t mirrors, becomes
    /// SYS_HALF_TURN - orientation (plus a full turn when negative). Reports "Invalid
    /// SYS_Location" (sys/locgeom) when the result is not valid.
    void Transform(const SYS_Transform& t);

    /// Remainder of a division by a full turn, with the sign of the dividend (64-bit, so the
    /// sum of two angles never overflows on the way).
    static constexpr int32_t Reduce(int64_t angle) noexcept {
        return static_cast<int32_t>(angle % SYS_FULL_TURN);
    }

protected:
    /// The origin.
    SYS_Point m_origin;
    /// The orientation, reduced.
    int32_t m_orientation;
};

// ---------------------------------------------------------------------------------------------
/// A placement with a mirror flag, always stored as 0 or 1.
class TESSAR_EXPORT SYS_Position : public SYS_Location {
public:
    /// A placement with the mirror flag set to 1 for any non-zero `mirror`.
    ///@{
    constexpr SYS_Position() noexcept : SYS_Location(), m_mirror(0) {}
    constexpr SYS_Position(const SYS_Location& l, int mirror) noexcept
        : SYS_Location(l), m_mirror(mirror != 0) {}
    constexpr SYS_Position(const SYS_Point& p, int32_t angle, int mirror) noexcept
        : SYS_Location(p, angle), m_mirror(mirror != 0) {}
    constexpr SYS_Position(int32_t x, int32_t y, int32_t angle, int mirror) noexcept
        : SYS_Location(x, y, angle), m_mirror(mirror != 0) {}
    ///@}

    /// Origin (0, 0), orientation 0, not mirrored.
    constexpr void Initiate() noexcept { SYS_Location::Initiate(), m_mirror = 0; }
    /// The mirror flag, 0 or 1.
    constexpr int GetMirror() const noexcept { return m_mirror; }
    /// Stores 1 for any non-zero `mirror`.
    constexpr void SetMirror(int mirror) noexcept { m_mirror = mirror != 0; }
    /// Store, then report "Invalid a Position" when the position is not valid.
    void Set(const SYS_Point& p, int32_t angle, int mirror) {
        SYS_Location::Set(p, angle);
        m_mirror = mirror != 0;
        (void)SSM_CHECK(IsValid(), "Invalid a Position", SYS_GeomDetail::kInlineUnit,
                        SSM_FailureAssert);
    }
    /// Same as Set(SYS_Point(x, y), angle, mirror).
    void Set(int32_t x, int32_t y, int32_t angle, int mirror) {
        Set(SYS_Point(x, y), angle, mirror);
    }

    /// A valid location with a mirror flag of 0 or 1.
    ///@{
    constexpr int IsValid() const noexcept {
        return SYS_Location::IsValid() && (m_mirror == 0 || m_mirror == 1);
    }
    ///@}

    /// The locations add; p's mirror flag toggles this one.
    constexpr SYS_Position& operator+=(const SYS_Position& p) noexcept {
        SYS_Location::operator+=(p);
        m_mirror ^= p.m_mirror != 0;
        return *this;
    }
    /// Same as operator+= on a copy.
    ///@{
    constexpr SYS_Position operator+(const SYS_Position& p) const noexcept {
        return SYS_Position(*this) += p;
    }
    ///@}
    /// Equal when location and mirror flag are.
    ///@{
    constexpr bool operator==(const SYS_Position& p) const noexcept {
        return SYS_Location::operator==(p) && m_mirror == p.m_mirror;
    }
    constexpr bool operator!=(const SYS_Position& p) const noexcept { return !(*this == p); }
    ///@}

    /// The location transform; then the mirror flag toggles when t mirrors. Reports "Invalid
    /// SYS_Position" (sys/locgeom) when the result is not valid.
    void Transform(const SYS_Transform& t);

private:
    int m_mirror;
};

// ---------------------------------------------------------------------------------------------
/// A segment from start to end. Always valid.
class TESSAR_EXPORT SYS_Segment {
public:
    /// A segment from start to end (both (0, 0) by default).
    ///@{
    constexpr SYS_Segment() noexcept : m_start(), m_end() {}
    constexpr SYS_Segment(const SYS_Point& start, const SYS_Point& end) noexcept
        : m_start(start), m_end(end) {}
    constexpr SYS_Segment(int32_t x1, int32_t y1, int32_t x2, int32_t y2) noexcept
        : m_start(x1, y1), m_end(x2, y2) {}
    ///@}

    /// Both end points become (0, 0).
    constexpr void Initiate() noexcept { m_start.Initiate(), m_end.Initiate(); }
    /// Always TRUE.
    constexpr int IsValid() const noexcept { return TRUE; }
    /// The end points.
    ///@{
    constexpr SYS_Point& GetStart() noexcept { return m_start; }
    constexpr const SYS_Point& GetStart() const noexcept { return m_start; }
    constexpr SYS_Point& GetEnd() noexcept { return m_end; }
    constexpr const SYS_Point& GetEnd() const noexcept { return m_end; }
    ///@}
    /// Start for i == 0, end for any other i.
    ///@{
    constexpr SYS_Point& operator[](int i) noexcept { return i == 0 ? m_start : m_end; }
    constexpr const SYS_Point& operator[](int i) const noexcept { return i == 0 ? m_start : m_end; }
    ///@}
    /// Store the end points.
    ///@{
    constexpr void SetStart(const SYS_Point& p) noexcept { m_start = p; }
    constexpr void SetStart(int32_t x, int32_t y) noexcept { m_start.Set(x, y); }
    constexpr void SetEnd(const SYS_Point& p) noexcept { m_end = p; }
    constexpr void SetEnd(int32_t x, int32_t y) noexcept { m_end.Set(x, y); }
    constexpr void Set(const SYS_Point& start, const SYS_Point& end) noexcept {
        m_start = start, m_end = end;
    }
    constexpr void Set(int32_t x1, int32_t y1, int32_t x2, int32_t y2) noexcept {
        m_start.Set(x1, y1), m_end.Set(x2, y2);
    }
    ///@}

    /// end - start along x and y (32-bit, wrapping).
    ///@{
    constexpr int32_t GetDX() const noexcept { return (m_end - m_start).GetX(); }
    constexpr int32_t GetDY() const noexcept { return (m_end - m_start).GetY(); }
    ///@}
    /// Polar radius of end - start ("Invalid point" when that difference leaves the range).
    double GetLength() const { return (m_end - m_start).GetPolarRadius(); }
    /// The box of the two end points.
    inline SYS_Box GetBox() const noexcept;

    /// Move both end points by p, or by n along both axes (wrapping like point arithmetic).
    ///@{
    constexpr SYS_Segment operator+(const SYS_Point& p) const noexcept {
        return SYS_Segment(m_start + p, m_end + p);
    }
    constexpr SYS_Segment operator-(const SYS_Point& p) const noexcept {
        return SYS_Segment(m_start - p, m_end - p);
    }
    constexpr SYS_Segment operator+(int32_t n) const noexcept {
        return SYS_Segment(m_start + n, m_end + n);
    }
    constexpr SYS_Segment operator-(int32_t n) const noexcept {
        return SYS_Segment(m_start - n, m_end - n);
    }
    constexpr SYS_Segment& operator+=(const SYS_Point& p) noexcept {
        return m_start += p, m_end += p, *this;
    }
    constexpr SYS_Segment& operator-=(const SYS_Point& p) noexcept {
        return m_start -= p, m_end -= p, *this;
    }
    constexpr SYS_Segment& operator+=(int32_t n) noexcept {
        return m_start += n, m_end += n, *this;
    }
    constexpr SYS_Segment& operator-=(int32_t n) noexcept {
        return m_start -= n, m_end -= n, *this;
    }
    ///@}
    /// Equal when both end points are.
    ///@{
    constexpr bool operator==(const SYS_Segment& s) const noexcept {
        return m_start == s.m_start && m_end == s.m_end;
    }
    constexpr bool operator!=(const SYS_Segment& s) const noexcept { return !(*this == s); }
    ///@}

    /// Both end points transformed (rounded).
    void Transform(const SYS_Transform& t);

protected:
    /// The start point.
    SYS_Point m_start;
    /// The end point.
    SYS_Point m_end;
};

// ---------------------------------------------------------------------------------------------
/// A circle; valid when -SYS_COORD_LIMIT < radius < SYS_COORD_LIMIT.
class TESSAR_EXPORT SYS_Circle {
public:
    /// A circle around center (default (0, 0)) with the radius as given (default 0).
    ///@{
    constexpr SYS_Circle() noexcept : m_center(), m_radius(0) {}
    constexpr SYS_Circle(const SYS_Point& center, int32_t radius) noexcept
        : m_center(center), m_radius(radius) {}
    constexpr SYS_Circle(int32_t x, int32_t y, int32_t radius) noexcept
        : m_center(x, y), m_radius(radius) {}
    ///@}

    /// Center (0, 0), radius 0.
    constexpr void Initiate() noexcept { m_center.Initiate(), m_radius = 0; }
    /// TRUE when -SYS_COORD_LIMIT < radius < SYS_COORD_LIMIT.
    ///@{
    constexpr int IsValid() const noexcept {
        return m_radius > -SYS_COORD_LIMIT && m_radius < SYS_COORD_LIMIT;
    }
    ///@}
    /// The center and the radius as stored.
    ///@{
    constexpr SYS_Point& GetCenter() noexcept { return m_center; }
    constexpr const SYS_Point& GetCenter() const noexcept { return m_center; }
    constexpr int32_t GetRadius() const noexcept { return m_radius; }
    ///@}
    /// Store the center and the radius, without checks.
    ///@{
    constexpr void SetCenter(const SYS_Point& c) noexcept { m_center = c; }
    constexpr void SetCenter(int32_t x, int32_t y) noexcept { m_center.Set(x, y); }
    constexpr void SetRadius(int32_t r) noexcept { m_radius = r; }
    constexpr void Set(const SYS_Point& c, int32_t r) noexcept { m_center = c, m_radius = r; }
    constexpr void Set(int32_t x, int32_t y, int32_t r) noexcept {
        m_center.Set(x, y), m_radius = r;
    }
    ///@}

    /// (center - radius, center + radius) on both axes, with the radius as stored (a negative
    /// radius gives a box with swapped edges).
    inline SYS_Box GetBox() const noexcept;

    /// Equal when center and radius are.
    ///@{
    constexpr bool operator==(const SYS_Circle& c) const noexcept {
        return m_center == c.m_center && m_radius == c.m_radius;
    }
    constexpr bool operator!=(const SYS_Circle& c) const noexcept { return !(*this == c); }
    ///@}

    /// Transforms the center only; the radius is unchanged.
    void Transform(const SYS_Transform& t);

protected:
    /// The center.
    SYS_Point m_center;
    /// The radius; its sign is a direction for arcs.
    int32_t m_radius;
};

// ---------------------------------------------------------------------------------------------
/// A circular arc from start to end around center. The sign of the radius is the direction:
/// positive runs from start to end by increasing angle, negative by decreasing angle. Start and
/// end are expected on the circle (IsValidArc tests it); start == end is an arc of size 0 whose
/// box is the whole circle.
class TESSAR_EXPORT SYS_Arc : public SYS_Segment, public SYS_Circle {
public:
    /// All points (0, 0), radius 0.
    constexpr SYS_Arc() noexcept : SYS_Segment(), SYS_Circle() {}
    /// Stores without checking.
    constexpr SYS_Arc(const SYS_Point& start, const SYS_Point& end, const SYS_Point& center,
                      int32_t radius) noexcept
        : SYS_Segment(start, end), SYS_Circle(center, radius) {}

    /// All points (0, 0), radius 0.
    constexpr void Initiate() noexcept { SYS_Segment::Initiate(), SYS_Circle::Initiate(); }
    /// The circle's validity: the radius is in range.
    constexpr int IsValid() const noexcept { return SYS_Circle::IsValid(); }
    /// Stores, then reports " Invalid arc data" when the radius is out of range.
    void Set(const SYS_Point& start, const SYS_Point& end, const SYS_Point& center,
             int32_t radius) {
        SYS_Segment::Set(start, end);
        SYS_Circle::Set(center, radius);
        (void)SSM_CHECK(IsValid(), " Invalid arc data", SYS_GeomDetail::kInlineUnit,
                        SSM_FailureAssert);
    }

    /// TRUE when start and end both lie on the circle: |p - center|^2 - radius^2, computed in
    /// doubles and rounded, is within 1.
    int IsValidArc() const noexcept;
    /// Polar angles of start - center and end - center in [0, SYS_FULL_TURN); "Invalid point"
    /// when the center or the point is outside the coordinate range.
    ///@{
    int32_t GetStartAngle() const;
    int32_t GetEndAngle() const;
    ///@}
    /// End angle minus start angle, brought to the arc's direction: in (0, SYS_FULL_TURN) for a
    /// positive radius, in (-SYS_FULL_TURN, 0) for a negative one; 0 when the angles coincide.
    int32_t GetSizeAngle() const;
    /// Size angle in radians times the radius: non-negative for a consistent arc.
    double GetLength() const;
    /// Which horizontal extreme of the circle (center.x -/+ |radius|) the arc reaches first when
    /// followed from p (a point on it) towards its end: -1 left, 1 right, 0 none before the end.
    /// out is set to the center, and its x to the extreme when there is one.
    int GetXNearestExtrem(const SYS_Point& p, SYS_Point& out) const noexcept;
    /// The same for the vertical extremes (center.y -/+ |radius|), setting out's y.
    int GetYNearestExtrem(const SYS_Point& p, SYS_Point& out) const noexcept;
    /// Bounding box: the end points widened by the circle's extremes met along the arc.
    SYS_Box GetBox() const noexcept;

    /// Equal when the segments and the circles are.
    ///@{
    constexpr bool operator==(const SYS_Arc& a) const noexcept {
        return SYS_Segment::operator==(a) && SYS_Circle::operator==(a);
    }
    constexpr bool operator!=(const SYS_Arc& a) const noexcept { return !(*this == a); }
    ///@}

    /// Start, end and center transformed; the radius (so the direction) is kept. Reports
    /// "Invalid SYS_Arc" (sys/locgeom) when the radius is out of range.
    void Transform(const SYS_Transform& t);
};

// ---------------------------------------------------------------------------------------------
/// An axis-aligned box, stored as given (not normalised); valid when left <= right and
/// lower <= upper. The unset box (SYS_Box::Unset(): lower-left at +SYS_COORD_LIMIT, upper-right
/// at -SYS_COORD_LIMIT) stands for "no box yet": Combine takes the other side in its place.
class TESSAR_EXPORT SYS_Box {
public:
    /// The all-zero box (valid and empty).
    constexpr SYS_Box() noexcept : m_ll(), m_ur() {}
    /// The box with these corners, stored as given.
    ///@{
    constexpr SYS_Box(const SYS_Point& ll, const SYS_Point& ur) noexcept : m_ll(ll), m_ur(ur) {}
    constexpr SYS_Box(int32_t left, int32_t lower, int32_t right, int32_t upper) noexcept
        : m_ll(left, lower), m_ur(right, upper) {}
    ///@}
    /// See Set(p, size).
    SYS_Box(const SYS_Point& p, int32_t size) : m_ll(), m_ur() { Set(p, size); }

    /// The unset box (see the class comment).
    ///@{
    static constexpr SYS_Box Unset() noexcept {
        return SYS_Box(SYS_COORD_LIMIT, SYS_COORD_LIMIT, -SYS_COORD_LIMIT, -SYS_COORD_LIMIT);
    }
    ///@}
    /// TRUE when the box equals Unset().
    constexpr bool IsUnset() const noexcept { return *this == Unset(); }

    /// TRUE when left <= right and lower <= upper.
    ///@{
    constexpr int IsValid() const noexcept {
        return m_ll.GetX() <= m_ur.GetX() && m_ll.GetY() <= m_ur.GetY();
    }
    ///@}
    /// TRUE when the width or the height is zero.
    constexpr int IsEmpty() const noexcept {
        return m_ll.GetX() == m_ur.GetX() || m_ll.GetY() == m_ur.GetY();
    }
    /// The all-zero box.
    constexpr void SetEmpty() noexcept { m_ll.Initiate(), m_ur.Initiate(); }

    /// The edges and corners as stored (the box is not normalised).
    ///@{
    constexpr int32_t GetLeft() const noexcept { return m_ll.GetX(); }
    constexpr int32_t GetRight() const noexcept { return m_ur.GetX(); }
    constexpr int32_t GetLower() const noexcept { return m_ll.GetY(); }
    constexpr int32_t GetUpper() const noexcept { return m_ur.GetY(); }
    constexpr void SetLeft(int32_t v) noexcept { m_ll.SetX(v); }
    constexpr void SetRight(int32_t v) noexcept { m_ur.SetX(v); }
    constexpr void SetLower(int32_t v) noexcept { m_ll.SetY(v); }
    constexpr void SetUpper(int32_t v) noexcept { m_ur.SetY(v); }
    constexpr SYS_Point& GetLowerLeft() noexcept { return m_ll; }
    constexpr const SYS_Point& GetLowerLeft() const noexcept { return m_ll; }
    constexpr SYS_Point& GetUpperRight() noexcept { return m_ur; }
    constexpr const SYS_Point& GetUpperRight() const noexcept { return m_ur; }
    constexpr SYS_Point GetUpperLeft() const noexcept {
        return SYS_Point(m_ll.GetX(), m_ur.GetY());
    }
    constexpr SYS_Point GetLowerRight() const noexcept {
        return SYS_Point(m_ur.GetX(), m_ll.GetY());
    }
    ///@}
    /// right - left and upper - lower (32-bit, wrapping like all point arithmetic).
    ///@{
    constexpr int32_t GetWidth() const noexcept { return (m_ur - m_ll).GetX(); }
    constexpr int32_t GetHeight() const noexcept { return (m_ur - m_ll).GetY(); }
    constexpr int32_t GetDX() const noexcept { return GetWidth(); }
    constexpr int32_t GetDY() const noexcept { return GetHeight(); }
    ///@}

    /// Stores, then reports "Invalid box" when the box is not valid.
    void SetLowerLeft(const SYS_Point& p) {
        m_ll = p;
        (void)SSM_CHECK(IsValid(), "Invalid box", SYS_GeomDetail::kInlineUnit, SSM_FailureAssert);
    }
    /// Store corners or edges without a check.
    ///@{
    constexpr void SetLowerLeft(int32_t x, int32_t y) noexcept { m_ll.Set(x, y); }
    constexpr void SetUpperRight(const SYS_Point& p) noexcept { m_ur = p; }
    constexpr void SetUpperRight(int32_t x, int32_t y) noexcept { m_ur.Set(x, y); }
    constexpr void Set(const SYS_Point& ll, const SYS_Point& ur) noexcept { m_ll = ll, m_ur = ur; }
    constexpr void Set(int32_t left, int32_t lower, int32_t right, int32_t upper) noexcept {
        m_ll.Set(left, lower), m_ur.Set(right, upper);
    }
    ///@}
    /// The box between p and p + size (size added to both coordinates; a negative size puts p
    /// at the upper right). Reports "SYS_Box is not valid" (sys/locgeom) when not valid.
    void Set(const SYS_Point& p, int32_t size);

    /// Midpoint, each coordinate's sum (64-bit) divided by 2 truncating toward zero.
    constexpr SYS_Point GetCenter() const noexcept {
        return SYS_Point(int32_t((int64_t(m_ll.GetX()) + m_ur.GetX()) / 2),
                         int32_t((int64_t(m_ll.GetY()) + m_ur.GetY()) / 2));
    }
    /// Moves the box, keeping its width and height, so that its lower-left is c - size / 2
    /// (integer division truncating toward zero).
    constexpr void SetCenter(const SYS_Point& c) noexcept {
        SYS_Point size = m_ur - m_ll;
        m_ll = c - SYS_Point(size.GetX() / 2, size.GetY() / 2);
        m_ur = m_ll + size;
    }
    /// Edges included.
    constexpr int IsInclude(const SYS_Point& p) const noexcept {
        return m_ll.GetX() <= p.GetX() && p.GetX() <= m_ur.GetX() && m_ll.GetY() <= p.GetY() &&
               p.GetY() <= m_ur.GetY();
    }
    /// Moves both corners by p.
    constexpr void Move(const SYS_Point& p) noexcept { m_ll += p, m_ur += p; }
    /// Widens the box to contain (x, y); reports "SYS_Box is not valid" (sys/locgeom) when the
    /// result is not valid.
    inline void Increase(int32_t x, int32_t y);
    /// Left and lower move out by d, right and upper by d, then Normalize.
    constexpr void Expand(int32_t d) noexcept { m_ll -= d, m_ur += d, Normalize(); }
    /// Swaps left and right when left > right, lower and upper when lower > upper.
    constexpr void Normalize() noexcept {
        if (m_ll.GetX() > m_ur.GetX()) Swap(m_ll[0], m_ur[0]);
        if (m_ll.GetY() > m_ur.GetY()) Swap(m_ll[1], m_ur[1]);
    }

    /// Union. An unset box on either side takes the other side's value; otherwise edges grow,
    /// and "SYS_Box is not valid" (sys/locgeom) is reported when the result is not valid.
    inline void Combine(const SYS_Box& box);
    /// This becomes the overlap of a and b. Returns 1 when it has positive width and height;
    /// otherwise 0, with left = right (no width) or lower = upper (no height).
    inline int SetAsIntersection(SYS_Box a, SYS_Box b) noexcept;
    /// Writes to out[0..3] the parts of box outside this box and returns their count: 0 when box
    /// lies inside this box, 1 (box itself, normalised) when they share no area, at most 4.
    /// Otherwise the edges of both boxes cut each axis into intervals; each x interval covered
    /// by box alone gives one part spanning box's height, and the x interval covered by both
    /// gives one part for each y interval covered by box alone, ordered by x then y. The parts
    /// are disjoint and with the overlap they tile box exactly. Edges given high-to-low are
    /// taken as the same interval. A box of zero width or height has no parts. out may be null
    /// (only the count is returned).
    int Clip(SYS_Box box, SYS_Box out[4]) const noexcept;

    /// The bounding box of the four transformed corners, accumulated from the unset box.
    void Transform(const SYS_Transform& t);

    /// Equal when both corners are.
    ///@{
    constexpr bool operator==(const SYS_Box& b) const noexcept {
        return m_ll == b.m_ll && m_ur == b.m_ur;
    }
    constexpr bool operator!=(const SYS_Box& b) const noexcept { return !(*this == b); }
    ///@}

private:
    static constexpr void Swap(int32_t& a, int32_t& b) noexcept {
        int32_t t = a;
        a = b, b = t;
    }
    int ClipParts(SYS_Box box, SYS_Box out[4]) const noexcept;
    static constexpr int32_t Min(int32_t a, int32_t b) noexcept { return a < b ? a : b; }
    static constexpr int32_t Max(int32_t a, int32_t b) noexcept { return a > b ? a : b; }

    SYS_Point m_ll;  ///< (left, lower)
    SYS_Point m_ur;  ///< (right, upper)
};

// The longer inline members, then the transform and the Transform members of the classes above.
#include "SYS_Geom_Inline.h"
#include "SYS_LinConv.h"
