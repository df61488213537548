#pragma once

#include "SYS_Geom.h"

/// A plane affine transform in floating point, applied to integer geometry with rounding half
/// away from zero (SYS_Round).
///
/// Next to its matrix (x, y) -> (a·x + b·y + c, d·x + e·y + f) it keeps a decomposition used to
/// carry angles, orientations, arc sweeps and lengths without reading the matrix back:
/// - the angle map  angle -> g·angle + h  (g = 1, or -1 for mirrored transforms; h the angle
///   offset), used by Convert(angle, sweep) for mirrored transforms;
/// - the orientation (integer angle units), used for orientations and for the angles of
///   transforms that keep the sense of rotation;
/// - the sweep map  sweep -> m·sweep + n  and the mirror term (normally 0);
/// - the scale, the factor applied to lengths.
/// Composition and inversion update the decomposition alongside the matrix.
///
/// The angle offset h is held in angle units (SYS_FULL_TURN per turn), like the angles
/// Convert(angle, sweep) adds it to. Setters given a direction compute it from the direction's
/// angle in radians as radians·324,000,000/pi, the same product whose truncation is their
/// orientation; SetScale stores 0 or SYS_HALF_TURN. SetRotate and SetMirror given an integer
/// angle leave h as it was (so a transform built only from them keeps h = 0); for transforms
/// that keep the sense of rotation Convert uses the orientation and h only travels through
/// composition and inversion.
///
/// Checks report "Quel LinCov: wrong box" (sys/SYS_LinConv) and "Invalid point" through
/// SSM_AssertFailed and then go on with the values computed. Nothing throws.
class TESSAR_EXPORT SYS_Transform {
public:
    /// The identity.
    SYS_Transform() noexcept { Reset(); }
    /// Copies every field.
    SYS_Transform(const SYS_Transform& t) = default;
    /// Rotates and mirrors about p: the composition, in this order, of a move by -p (left out
    /// when keepOrigin), a reflection in the y axis (x -> -x) when mirror && mirrorFirst, a
    /// rotation by angle about (0, 0) when angle != 0, the same reflection when mirror &&
    /// !mirrorFirst, and a move by +p (left out when keepPlace). The reflection is
    /// SetMirror((0, 0), SYS_HALF_TURN / 2): its orientation is a half turn, so the transform
    /// built from a position with mirrorFirst = 0 and keepOrigin set carries the zero position
    /// onto that position.
    ///@{
    SYS_Transform(const SYS_Point& p, int32_t angle, int mirror, int mirrorFirst, int keepOrigin,
                  int keepPlace);
    SYS_Transform(int32_t x, int32_t y, int32_t angle, int mirror, int mirrorFirst, int keepOrigin,
                  int keepPlace);
    ///@}
    /// The same with the position's origin, orientation and mirror flag.
    SYS_Transform(const SYS_Position& pos, int mirrorFirst, int keepOrigin, int keepPlace);

    /// Setters: each replaces the whole transform (SetRotate and SetMirror given an integer
    /// angle keep the angle offset, see the class comment).
    ///@{
    void SetMove(int32_t dx, int32_t dy) noexcept { SetMove(double(dx), double(dy)); }
    void SetMove(long dx, long dy) noexcept { SetMove(double(dx), double(dy)); }
    void SetMove(double dx, double dy) noexcept;
    ///@}
    /// Counter-clockwise rotation by angle about center; orientation = angle.
    void SetRotate(const SYS_Point& center, int32_t angle) noexcept;
    /// Rotation to the direction (cosv, sinv), normalised first (a squared length below 1e-9
    /// becomes (1, 0)); the orientation is the direction's angle, truncated.
    void SetRotate(const SYS_Point& center, double cosv, double sinv) noexcept;
    /// Reflection in the line through center at angle; orientation = 2·angle (32-bit).
    void SetMirror(const SYS_Point& center, int32_t angle) noexcept;
    /// Reflection in the line through center with direction (u, v). A direction whose squared
    /// length is not exactly 1 is divided by its length when that square is at least 4.0 and
    /// replaced by (1, 0) otherwise, so (1, 1) acts as (1, 0).
    void SetMirror(const SYS_Point& center, double u, double v) noexcept;
    /// Uniform scale by s about center; a negative s is a half-turn rotation as well.
    void SetScale(const SYS_Point& center, double s) noexcept;
    /// World coordinates into the system with this origin and axis angle: SetRotate(origin,
    /// -angle), then a move by -origin.
    void SetCoordSys(const SYS_Point& origin, int32_t angle) noexcept;
    /// The same with SetRotate(origin, -v, -u) as the first step.
    void SetCoordSys(const SYS_Point& origin, double u, double v) noexcept;
    /// Scales the rectangle spanned by p1 and p2 uniformly about its middle to fit box, and
    /// carries its middle to the box's center. Reports "Quel LinCov: wrong box" when p1 and p2
    /// share an x or a y, and when the box is narrower or lower than 4.
    void SetBoxConv(const SYS_Point& p1, const SYS_Point& p2, const SYS_Box& box);

    /// 1 when g is not 1 or the orientation is not 0.
    short IsRotate() const noexcept { return m_g != 1.0 || m_orientation != 0; }
    /// 1 when the sweep factor is not 1 or the mirror term is not 0.
    short GetMirror() const noexcept { return m_m != 1.0 || m_mirrorTerm != 0; }
    /// 1 when the length scale is not 1.
    short IsScale() const noexcept { return m_scale != 1.0; }
    /// The angle, in the library's angle units, by which the transform turns directions (see the
    /// class comment).
    int32_t GetOrientation() const noexcept { return m_orientation; }

    /// Points: in place or into a new point, rounded.
    /// A null p is ignored.
    void Transform(SYS_Point* p) const noexcept {
        if (p != nullptr) *p = Transform(*p);
    }
    /// The point carried by the transform, rounded, in place.
    void Convert(SYS_Point& p) const noexcept { p = Transform(p); }
    /// The point carried by the transform, rounded.
    SYS_Point Transform(const SYS_Point& p) const noexcept {
        double x = p.GetX(), y = p.GetY();
        return SYS_Point(SYS_Round(m_a * x + m_b * y + m_c), SYS_Round(m_d * x + m_e * y + m_f));
    }
    /// Same as Transform(p).
    SYS_Point operator+(const SYS_Point& p) const noexcept { return Transform(p); }
    /// The points in[0, count) transformed into out[0, count), each exactly as Transform(in[i]):
    /// the same rounding, the same results. out may be in itself (in place); other overlaps of
    /// the two ranges are not allowed. A count below 1 or a null range does nothing. Points go
    /// two at a time through packed arithmetic: use it for batches of points.
    void Transform(const SYS_Point* in, SYS_Point* out, long count) const noexcept;
    /// Exact, in place, without checks; a null p is ignored.
    void Transform(SYS_DoublePoint* p) const noexcept {
        if (p == nullptr) return;
        double x = p->m_x, y = p->m_y;
        p->m_x = m_a * x + m_b * y + m_c;
        p->m_y = m_d * x + m_e * y + m_f;
    }
    /// Exact; reports "Invalid point" when the result leaves the coordinate range.
    SYS_DoublePoint Transform(const SYS_DoublePoint& p) const {
        return SYS_DoublePoint(m_a * p.m_x + m_b * p.m_y + m_c, m_d * p.m_x + m_e * p.m_y + m_f);
    }
    /// The point carried back by the inverse transform (SetRConv), rounded. A matrix that cannot
    /// be inverted leaves the point unchanged.
    SYS_Point operator-(const SYS_Point& p) const;

    /// Lengths: times the scale, or divided by it, rounded.
    ///@{
    void Convert(int32_t& length) const noexcept { length = *this + length; }
    void Convert(long& length) const noexcept;  ///< the same in 64 bits
    int32_t operator+(int32_t length) const noexcept { return SYS_Round(length * m_scale); }
    int32_t operator-(int32_t length) const noexcept { return SYS_Round(length / m_scale); }
    ///@}
    /// Arc angles: angle into [0, SYS_FULL_TURN], then g·angle + h (rounded) when the transform
    /// mirrors angles (|g - 1| >= 1e-9), else angle + orientation, then into [0, SYS_FULL_TURN]
    /// again. sweep becomes m·sweep + n truncated; beyond a full turn either way it becomes
    /// SYS_FULL_TURN.
    ///@{
    void Convert(int32_t& angle, int32_t& sweep) const noexcept;
    void Convert(long& angle, long& sweep) const noexcept;
    ///@}

    /// This becomes "this, then t".
    ///@{
    void AddConv(const SYS_Transform& t) noexcept;
    SYS_Transform operator+(const SYS_Transform& t) const noexcept;
    ///@}
    /// Writes the inverse into inverse (which starts as the identity) and returns 1; returns 0
    /// when this cannot be inverted (|det|, |g| or |m| below 1e-12, or |scale| below 1e-12, in
    /// which case this transform's own scale is reset to 1), leaving inverse partly filled.
    /// The inverse's angle map is g' = 1/g, h' = -h, orientation' = -orientation.
    short SetRConv(SYS_Transform& inverse) const noexcept;
    /// Replaces this by its inverse and returns 1; returns 0 and leaves this unchanged (apart
    /// from the scale reset above) when it cannot be inverted.
    short RConv() noexcept;
    /// This becomes "this, then the inverse of t" (for a t that cannot be inverted, the partly
    /// filled inverse of SetRConv).
    ///@{
    void SubConv(const SYS_Transform& t) noexcept;
    SYS_Transform operator-(const SYS_Transform& t) const noexcept;
    ///@}

    /// Copy every field; both return a copy of this. A null pointer leaves this unchanged.
    ///@{
    SYS_Transform operator=(const SYS_Transform& t) noexcept;
    SYS_Transform operator=(const SYS_Transform* t) noexcept;
    ///@}
    /// Exact comparison of every field.
    short operator==(const SYS_Transform& t) const noexcept;
    /// The negation of operator==.
    short operator!=(const SYS_Transform& t) const noexcept { return !(*this == t); }

private:
    void Reset() noexcept;
    /// SetRConv's work into a fresh identity inv (never this transform).
    short InvertInto(SYS_Transform& inv) const noexcept;
    void Compose(const SYS_Point& p, int32_t angle, int mirror, int mirrorFirst, int keepOrigin,
                 int keepPlace) noexcept;
    void SetRotationMatrix(const SYS_Point& center, double cosv, double sinv) noexcept;
    void SetMirrorMatrix(const SYS_Point& center, double cost, double sint) noexcept;
    int64_t ConvertAngle(int64_t angle) const noexcept;
    int64_t ConvertSweep(int64_t sweep) const noexcept;
    void SetDecomposition(double g, double h, int32_t orientation, double m) noexcept;

    double m_a, m_b, m_c, m_d, m_e, m_f;  ///< the matrix
    double m_g;                           ///< angle factor
    double m_h;                           ///< angle offset, in angle units
    int32_t m_orientation;                ///< rotation part, angle units
    double m_m;                           ///< sweep factor
    double m_n;                           ///< sweep offset
    int32_t m_mirrorTerm;                 ///< normally 0
    mutable double m_scale;               ///< length factor; SetRConv resets a vanishing one to 1
};

inline void SYS_Point::Transform(const SYS_Transform& t) noexcept { *this = t.Transform(*this); }
