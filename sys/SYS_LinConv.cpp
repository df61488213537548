// SYS_Transform: setters, the placement constructors, composition, inversion, the angle and
// sweep conversion, the box fit and the batch of points. Applying a transform to one point is
// inline in the header.
#include "SYS_LinConv.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const char kUnit[] = "sys/SYS_LinConv";
constexpr double kPi = 3.141592653589793;
constexpr double kRadiansPerAngleUnit = 3.08641975308642e-9;  // 1/324,000,000, times pi
constexpr double kInvPi = 0.3183098861837907;

// An angle in radians as angle units, in the order the orientation is derived from it.
double RadiansToAngleUnits(double radians) { return radians * 324000000.0 * kInvPi; }

double AngleUnitsToRadians(int32_t angle) { return angle * kPi * kRadiansPerAngleUnit; }

// Negation and doubling of an angle with 32-bit wrap instead of overflow.
int32_t Negate(int32_t v) { return static_cast<int32_t>(0u - static_cast<uint32_t>(v)); }
int32_t Twice(int32_t v) { return static_cast<int32_t>(2u * static_cast<uint32_t>(v)); }
int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// Polar angle of (x, y) in radians, in [0, 2·pi), exact on the axes and the diagonals.
double DirectionAngle(double x, double y) {
    if (y == 0.0) return x >= 0.0 ? 0.0 : kPi;
    if (x == 0.0) return y > 0.0 ? kPi / 2 : 3 * kPi / 2;
    const double ax = std::fabs(x), ay = std::fabs(y);
    const double base = ax == ay  ? kPi / 4
                        : ax < ay ? kPi / 2 - std::atan2(ax, ay)
                                  : std::atan2(ay, ax);
    if (x > 0.0) return y > 0.0 ? base : 2 * kPi - base;
    return y > 0.0 ? kPi - base : kPi + base;
}

// 64-bit truncation and rounding that saturate far outside any angle instead of overflowing.
int64_t Trunc64(double v) {
    constexpr double kLimit = 4.0e18;
    v = v > -kLimit ? v : -kLimit;  // also maps NaN to the lower bound
    v = v < kLimit ? v : kLimit;
    return static_cast<int64_t>(v);
}
int64_t Round64(double v) { return Trunc64(v + std::copysign(0.5, v)); }

// Adds or subtracts whole turns until the angle lies in [0, SYS_FULL_TURN]; a positive
// multiple of a turn therefore stays a full turn and a negative one becomes 0.
int64_t IntoTurn(int64_t angle) {
    if (angle < 0) {
        angle %= SYS_FULL_TURN;
        if (angle < 0) angle += SYS_FULL_TURN;
    } else if (angle > SYS_FULL_TURN) {
        angle %= SYS_FULL_TURN;
        if (angle == 0) angle = SYS_FULL_TURN;
    }
    return angle;
}

#if defined(__SSE2__)
// SYS_Round of two values: the sum with 0.5 carrying the value's sign, clamped to the int32
// range (NaN to its lower bound), truncated; the two results in the low lanes.
__m128i RoundPacked(__m128d v) {
    const __m128d signBit = _mm_set1_pd(-0.0);
    const __m128d half = _mm_or_pd(_mm_and_pd(v, signBit), _mm_set1_pd(0.5));  // copysign(0.5, v)
    __m128d sum = _mm_add_pd(v, half);
    sum = _mm_max_pd(sum, _mm_set1_pd(-2147483648.0));  // sum > bound ? sum : bound
    sum = _mm_min_pd(sum, _mm_set1_pd(2147483647.0));   // sum < bound ? sum : bound
    return _mm_cvttpd_epi32(sum);
}

// p·x + q·y + r for two points, added in the order of the scalar transform.
__m128d AffineRow(__m128d p, __m128d q, __m128d r, __m128d x, __m128d y) {
    return _mm_add_pd(_mm_add_pd(_mm_mul_pd(p, x), _mm_mul_pd(q, y)), r);
}
#endif

}  // namespace

// ---------------------------------------------------------------------------------------------
// Setters

void SYS_Transform::Reset() noexcept {
    m_a = 1.0, m_b = 0.0, m_c = 0.0, m_d = 0.0, m_e = 1.0, m_f = 0.0;
    m_g = 1.0, m_h = 0.0, m_orientation = 0;
    m_m = 1.0, m_n = 0.0, m_mirrorTerm = 0;
    m_scale = 1.0;
}

void SYS_Transform::SetDecomposition(double g, double h, int32_t orientation, double m) noexcept {
    m_g = g, m_h = h, m_orientation = orientation;
    m_m = m, m_n = 0.0, m_mirrorTerm = 0;
    m_scale = 1.0;
}

void SYS_Transform::SetMove(double dx, double dy) noexcept {
    Reset();
    m_c = dx, m_f = dy;
}

void SYS_Transform::SetRotationMatrix(const SYS_Point& center, double cosv, double sinv) noexcept {
    const double cx = center.GetX(), cy = center.GetY();
    m_a = cosv, m_b = -sinv, m_c = cx - cosv * cx + sinv * cy;
    m_d = sinv, m_e = cosv, m_f = cy - sinv * cx - cosv * cy;
}

void SYS_Transform::SetMirrorMatrix(const SYS_Point& center, double cost, double sint) noexcept {
    const double cx = center.GetX(), cy = center.GetY();
    m_a = cost, m_b = sint, m_c = cx - cost * cx - sint * cy;
    m_d = sint, m_e = -cost, m_f = cy - sint * cx + cost * cy;
}

void SYS_Transform::SetRotate(const SYS_Point& center, int32_t angle) noexcept {
    const double t = AngleUnitsToRadians(angle);
    SetRotationMatrix(center, std::cos(t), std::sin(t));
    SetDecomposition(1.0, m_h, angle, 1.0);
}

void SYS_Transform::SetRotate(const SYS_Point& center, double cosv, double sinv) noexcept {
    const double square = cosv * cosv + sinv * sinv;
    if (square != 1.0) {
        if (square >= 1e-9) {
            const double length = std::sqrt(square);
            cosv /= length, sinv /= length;
        } else {
            cosv = 1.0, sinv = 0.0;  // no usable direction (NaN lands here too)
        }
    }
    SetRotationMatrix(center, cosv, sinv);
    const double h = RadiansToAngleUnits(DirectionAngle(cosv, sinv));
    SetDecomposition(1.0, h, SYS_Trunc(h), 1.0);
}

void SYS_Transform::SetMirror(const SYS_Point& center, int32_t angle) noexcept {
    const double t = 2.0 * AngleUnitsToRadians(angle);
    SetMirrorMatrix(center, std::cos(t), std::sin(t));
    SetDecomposition(-1.0, m_h, Twice(angle), -1.0);
}

void SYS_Transform::SetMirror(const SYS_Point& center, double u, double v) noexcept {
    const double square = u * u + v * v;
    if (square != 1.0) {
        if (square >= 4.0) {
            const double length = std::sqrt(square);
            u /= length, v /= length;
        } else {
            u = 1.0, v = 0.0;
        }
    }
    const double cost = u * u - v * v, sint = 2.0 * u * v;
    SetMirrorMatrix(center, cost, sint);
    const double h = RadiansToAngleUnits(DirectionAngle(cost, sint));
    SetDecomposition(-1.0, h, SYS_Trunc(h), -1.0);
}

void SYS_Transform::SetScale(const SYS_Point& center, double s) noexcept {
    const double cx = center.GetX(), cy = center.GetY();
    m_a = s, m_b = 0.0, m_c = cx - cx * s;
    m_d = 0.0, m_e = s, m_f = cy - cy * s;
    const bool turned = !(s >= 0.0);
    SetDecomposition(1.0, turned ? double(SYS_HALF_TURN) : 0.0, turned ? SYS_HALF_TURN : 0, 1.0);
    m_scale = s;
}

void SYS_Transform::SetCoordSys(const SYS_Point& origin, int32_t angle) noexcept {
    SetRotate(origin, Negate(angle));
    SYS_Transform move;
    move.SetMove(Negate(origin.GetX()), Negate(origin.GetY()));
    AddConv(move);
}

void SYS_Transform::SetCoordSys(const SYS_Point& origin, double u, double v) noexcept {
    SetRotate(origin, -v, -u);
    SYS_Transform move;
    move.SetMove(Negate(origin.GetX()), Negate(origin.GetY()));
    AddConv(move);
}

void SYS_Transform::SetBoxConv(const SYS_Point& p1, const SYS_Point& p2, const SYS_Box& box) {
    (void)SSM_CHECK(p1.GetX() != p2.GetX() && p1.GetY() != p2.GetY(), "Quel LinCov: wrong box",
                    kUnit, SSM_FailureAssert);
    const int32_t width = box.GetWidth(), height = box.GetHeight();
    (void)SSM_CHECK(width >= 4 && height >= 4, "Quel LinCov: wrong box", kUnit, SSM_FailureAssert);
    // Sums and spans in 64 bits: the middle and the span of two coordinates never overflow.
    const SYS_Point mid(int32_t((int64_t(p1.GetX()) + p2.GetX()) / 2),
                        int32_t((int64_t(p1.GetY()) + p2.GetY()) / 2));
    const SYS_Point offset = box.GetCenter() - mid;
    const double sx = double(width) / double(int64_t(p2.GetX()) - p1.GetX());
    const double sy = double(height) / double(int64_t(p2.GetY()) - p1.GetY());
    SetScale(mid, sx < sy ? sx : sy);
    m_c += offset.GetX();
    m_f += offset.GetY();
}

// ---------------------------------------------------------------------------------------------
// Placement constructors

SYS_Transform::SYS_Transform(const SYS_Point& p, int32_t angle, int mirror, int mirrorFirst,
                             int keepOrigin, int keepPlace) {
    Compose(p, angle, mirror, mirrorFirst, keepOrigin, keepPlace);
}

SYS_Transform::SYS_Transform(int32_t x, int32_t y, int32_t angle, int mirror, int mirrorFirst,
                             int keepOrigin, int keepPlace) {
    Compose(SYS_Point(x, y), angle, mirror, mirrorFirst, keepOrigin, keepPlace);
}

SYS_Transform::SYS_Transform(const SYS_Position& pos, int mirrorFirst, int keepOrigin,
                             int keepPlace) {
    Compose(pos.GetOrigin(), pos.GetOrientation(), pos.GetMirror(), mirrorFirst, keepOrigin,
            keepPlace);
}

void SYS_Transform::Compose(const SYS_Point& p, int32_t angle, int mirror, int mirrorFirst,
                            int keepOrigin, int keepPlace) noexcept {
    Reset();
    SYS_Transform step;
    const SYS_Point zero;
    if (!keepOrigin) {
        step.SetMove(Negate(p.GetX()), Negate(p.GetY()));
        AddConv(step);
    }
    SYS_Transform reflection;  // x -> -x: the mirror line is the y axis
    if (mirror) reflection.SetMirror(zero, SYS_HALF_TURN / 2);
    if (mirror && mirrorFirst) AddConv(reflection);
    if (angle != 0) {
        step.Reset();
        step.SetRotate(zero, angle);
        AddConv(step);
    }
    if (mirror && !mirrorFirst) AddConv(reflection);
    if (!keepPlace) {
        step.SetMove(p.GetX(), p.GetY());
        AddConv(step);
    }
}

// ---------------------------------------------------------------------------------------------
// Application, composition and inversion

SYS_Point SYS_Transform::operator-(const SYS_Point& p) const {
    SYS_Transform inverse;
    SetRConv(inverse);
    return inverse.Transform(p);
}

void SYS_Transform::Convert(long& length) const noexcept { length = Round64(length * m_scale); }

void SYS_Transform::Convert(int32_t& angle, int32_t& sweep) const noexcept {
    angle = static_cast<int32_t>(ConvertAngle(angle));  // both results fit in 32 bits
    sweep = static_cast<int32_t>(ConvertSweep(sweep));
}

void SYS_Transform::Convert(long& angle, long& sweep) const noexcept {
    angle = ConvertAngle(angle);
    sweep = ConvertSweep(sweep);
}

int64_t SYS_Transform::ConvertAngle(int64_t angle) const noexcept {
    angle = IntoTurn(angle);
    if (std::fabs(m_g - 1.0) >= 1e-9) {
        angle = Round64(double(angle) * m_g + m_h);
    } else {
        angle += m_orientation;
    }
    return IntoTurn(angle);
}

int64_t SYS_Transform::ConvertSweep(int64_t sweep) const noexcept {
    sweep = Trunc64(double(sweep) * m_m + m_n);
    return sweep > SYS_FULL_TURN || sweep < -SYS_FULL_TURN ? SYS_FULL_TURN : sweep;
}

void SYS_Transform::AddConv(const SYS_Transform& t) noexcept {
    const SYS_Transform T = t;  // t may be this transform
    const double a = m_a, b = m_b, c = m_c, d = m_d, e = m_e, f = m_f;
    m_a = a * T.m_a + d * T.m_b;
    m_b = b * T.m_a + e * T.m_b;
    m_c = c * T.m_a + f * T.m_b + T.m_c;
    m_d = a * T.m_d + d * T.m_e;
    m_e = b * T.m_d + e * T.m_e;
    m_f = c * T.m_d + f * T.m_e + T.m_f;
    m_g = m_g * T.m_g;
    m_h = m_h * T.m_g + T.m_h;
    m_orientation = WrapAdd(SYS_Trunc(m_orientation * T.m_g), T.m_orientation);
    m_n = m_n * T.m_m + T.m_n;
    m_mirrorTerm = WrapAdd(SYS_Trunc(m_mirrorTerm * T.m_m), T.m_mirrorTerm);
    m_m = m_m * T.m_m;
    m_scale = m_scale * T.m_scale;
}

SYS_Transform SYS_Transform::operator+(const SYS_Transform& t) const noexcept {
    SYS_Transform result(*this);
    result.AddConv(t);
    return result;
}

short SYS_Transform::SetRConv(SYS_Transform& inverse) const noexcept {
    SYS_Transform inv;  // built aside: inverse may be this transform
    const short result = InvertInto(inv);
    inverse = inv;
    return result;
}

short SYS_Transform::InvertInto(SYS_Transform& inv) const noexcept {
    const double det = m_a * m_e - m_b * m_d;
    if (std::fabs(det) < 1e-12) return 0;
    inv.m_a = m_e / det, inv.m_b = -m_b / det, inv.m_c = (m_f * m_b - m_c * m_e) / det;
    inv.m_d = -m_d / det, inv.m_e = m_a / det, inv.m_f = (m_c * m_d - m_f * m_a) / det;
    if (std::fabs(m_g) < 1e-12) return 0;
    inv.m_g = std::fabs(m_g - 1.0) >= 1e-12 ? 1.0 / m_g : m_g;
    inv.m_h = -m_h, inv.m_orientation = Negate(m_orientation);
    if (std::fabs(m_m) < 1e-12) return 0;
    inv.m_m = 1.0 / m_m, inv.m_n = -m_n, inv.m_mirrorTerm = Negate(m_mirrorTerm);
    if (std::fabs(m_scale) < 1e-12) {
        m_scale = 1.0;  // inv's own scale is 1 as well, so this holds even when inv is copied here
        return 0;
    }
    inv.m_scale = 1.0 / m_scale;
    return 1;
}

short SYS_Transform::RConv() noexcept {
    SYS_Transform inverse;
    const short result = SetRConv(inverse);
    if (result) *this = inverse;
    return result;
}

void SYS_Transform::SubConv(const SYS_Transform& t) noexcept {
    SYS_Transform inverse;
    t.SetRConv(inverse);
    AddConv(inverse);
}

SYS_Transform SYS_Transform::operator-(const SYS_Transform& t) const noexcept {
    SYS_Transform result(*this);
    result.SubConv(t);
    return result;
}

SYS_Transform SYS_Transform::operator=(const SYS_Transform& t) noexcept {
    m_a = t.m_a, m_b = t.m_b, m_c = t.m_c, m_d = t.m_d, m_e = t.m_e, m_f = t.m_f;
    m_g = t.m_g, m_h = t.m_h, m_orientation = t.m_orientation;
    m_m = t.m_m, m_n = t.m_n, m_mirrorTerm = t.m_mirrorTerm;
    m_scale = t.m_scale;
    return *this;
}

SYS_Transform SYS_Transform::operator=(const SYS_Transform* t) noexcept {
    if (t != nullptr) *this = *t;
    return *this;
}

short SYS_Transform::operator==(const SYS_Transform& t) const noexcept {
    return m_a == t.m_a && m_b == t.m_b && m_c == t.m_c && m_d == t.m_d && m_e == t.m_e &&
           m_f == t.m_f && m_g == t.m_g && m_orientation == t.m_orientation && m_h == t.m_h &&
           m_m == t.m_m && m_n == t.m_n && m_mirrorTerm == t.m_mirrorTerm && m_scale == t.m_scale;
}

void SYS_Transform::Transform(const SYS_Point* in, SYS_Point* out, long count) const noexcept {
    if (in == nullptr || out == nullptr) return;
    long i = 0;
#if defined(__SSE2__)
    // Two points at a time, each step the packed form of the scalar one in the same order:
    // (a·x + b·y) + c, plus 0.5 with the sign of the sum, the clamp of SYS_Trunc (max then min,
    // which map NaN to the lower bound exactly as its comparisons do), then truncation. So the
    // results are those of Transform(SYS_Point), bit for bit. Each pair is read before it is
    // written, so the batch may run in place.
    const __m128d a = _mm_set1_pd(m_a), b = _mm_set1_pd(m_b), c = _mm_set1_pd(m_c);
    const __m128d d = _mm_set1_pd(m_d), e = _mm_set1_pd(m_e), f = _mm_set1_pd(m_f);
    for (; i + 2 <= count; i += 2) {
        // x0 y0 x1 y1 -> (x0, x1) and (y0, y1) as doubles
        const __m128i xy = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128d x = _mm_cvtepi32_pd(_mm_shuffle_epi32(xy, _MM_SHUFFLE(3, 1, 2, 0)));
        const __m128d y = _mm_cvtepi32_pd(_mm_shuffle_epi32(xy, _MM_SHUFFLE(2, 0, 3, 1)));
        const __m128i rx = RoundPacked(AffineRow(a, b, c, x, y));
        const __m128i ry = RoundPacked(AffineRow(d, e, f, x, y));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi32(rx, ry));
    }
#endif
    for (; i < count; ++i) out[i] = Transform(in[i]);
}
