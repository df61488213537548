// Out-of-line members of the geometry values: byte swapping, the transforms of placements,
// segments, circles, arcs and boxes, the arc measures and the arc bounding box, and box
// subtraction (Clip).
#include "SYS_Geom.h"

#include <algorithm>
#include <utility>

namespace {

using SYS_GeomDetail::kLocgeomUnit;

uint32_t Swap32(int32_t v) { return __builtin_bswap32(static_cast<uint32_t>(v)); }

// Keeps the low 32 bits, as 32-bit arithmetic would.
int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

// One axis of Clip: the distinct edge values of two intervals in ascending order, and for each
// interval between consecutive values its coverage (1 only this, 2 only the other, 3 both).
// Returns the number of distinct values.
struct AxisSplit {
    int32_t value[4];
    int coverage[3];
    int count;
};

void AddEdgePair(int32_t lo, int32_t hi, int weight, int32_t* values, int* weights, int& n) {
    if (lo >= hi) weight = -weight;  // an interval given high-to-low is the same interval
    values[n] = lo, weights[n++] = weight;
    values[n] = hi, weights[n++] = -weight;
}

AxisSplit SplitAxis(int32_t thisLo, int32_t thisHi, int32_t boxLo, int32_t boxHi) {
    int32_t values[4];
    int weights[4];
    int n = 0;
    AddEdgePair(thisLo, thisHi, 1, values, weights, n);
    AddEdgePair(boxLo, boxHi, 2, values, weights, n);
    for (int i = 1; i < 4; ++i) {  // insertion sort of four pairs
        for (int j = i; j > 0 && values[j - 1] > values[j]; --j) {
            std::swap(values[j - 1], values[j]);
            std::swap(weights[j - 1], weights[j]);
        }
    }
    AxisSplit split{};
    int running = 0;
    for (int i = 0; i < 4; ++i) {
        if (split.count > 0 && split.value[split.count - 1] == values[i]) {
            running += weights[i];  // equal values merge into one edge
        } else {
            split.value[split.count++] = values[i];
            running += weights[i];
        }
        if (split.count <= 3) split.coverage[split.count - 1] = running;
    }
    return split;
}

// The nearest extreme of an arc along one axis (x when alongX, else y), reached from p in the
// arc's direction of travel; written once for both axes. The quantities are differences of
// coordinates, taken in 64 bits so that negation and comparison never overflow: travel and
// toward give the direction of travel at p (across the axis and along it, signed with the
// arc's direction), endSide the side of the center's line on which the end lies. The y case is
// the x case with the axes exchanged and the sense across them reversed. `out` becomes the
// center with the extreme's coordinate on the axis (the center's own when there is none).
// Returns -1 (low extreme), 1 (high) or 0.
int NearestExtreme(const SYS_Point& center, const SYS_Point& end, int32_t radius,
                   const SYS_Point& p, SYS_Point& out, bool alongX) {
    const auto along = [alongX](const SYS_Point& q) { return alongX ? q.GetX() : q.GetY(); };
    const auto across = [alongX](const SYS_Point& q) { return alongX ? q.GetY() : q.GetX(); };
    const int64_t r = radius;
    const int64_t sense = (r < 0 ? -1 : 1) * (alongX ? 1 : -1);
    const int64_t travel = sense * (int64_t(across(center)) - across(p));
    const int64_t toward = (r < 0 ? -1 : 1) * (int64_t(along(p)) - along(center));
    const int64_t endSide = sense * (int64_t(across(center)) - across(end));
    const int64_t absR = r < 0 ? -r : r;
    // `out` may be `p`: the point is read along the axis only after `out` took the center.
    out = center;
    int side = 1;
    if ((travel < 0 || toward == r) && (endSide > 0 || along(p) <= along(end)))
        side = -1;
    else if (travel <= 0 && toward != -r)
        return 0;
    else if (endSide >= 0 && along(p) < along(end))
        return 0;
    const int32_t extreme = Wrap32(along(center) + side * absR);
    if (alongX)
        out.SetX(extreme);
    else
        out.SetY(extreme);
    return side;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
void SYS_Point::SwapBytes() noexcept {
    m_x = static_cast<int32_t>(Swap32(m_x));
    m_y = static_cast<int32_t>(Swap32(m_y));
}

void SYS_Location::SwapBytes() noexcept {
    m_origin.SwapBytes();
    m_orientation = static_cast<int32_t>(Swap32(m_orientation));
}

void SYS_DoublePoint::Scale(double d) { Scale(d, d); }

void SYS_DoublePoint::Scale(double dx, double dy) {
    Check(kLocgeomUnit);
    m_x *= dx, m_y *= dy;
    Check(kLocgeomUnit);
}

void SYS_DoublePoint::Transform(const SYS_Transform& t) {
    Check(kLocgeomUnit);
    t.Transform(this);
    Check(kLocgeomUnit);
}

void SYS_Location::Transform(const SYS_Transform& t) {
    m_origin.Transform(t);
    int32_t angle = Reduce(int64_t(t.GetOrientation()) + Reduce(m_orientation));
    if (t.GetMirror()) {
        angle = SYS_HALF_TURN - angle;
        if (angle < 0) angle += SYS_FULL_TURN;
    }
    m_orientation = angle;
    (void)SSM_CHECK(SYS_Location::IsValid(), "Invalid SYS_Location", kLocgeomUnit,
                    SSM_FailureAssert);
}

void SYS_Position::Transform(const SYS_Transform& t) {
    SYS_Location::Transform(t);
    if (t.GetMirror()) m_mirror ^= 1;
    (void)SSM_CHECK(IsValid(), "Invalid SYS_Position", kLocgeomUnit, SSM_FailureAssert);
}

void SYS_Segment::Transform(const SYS_Transform& t) {
    m_start.Transform(t);
    m_end.Transform(t);
}

void SYS_Circle::Transform(const SYS_Transform& t) { m_center.Transform(t); }

void SYS_Arc::Transform(const SYS_Transform& t) {
    SYS_Segment::Transform(t);
    SYS_Circle::Transform(t);
    (void)SSM_CHECK(IsValid(), "Invalid SYS_Arc", kLocgeomUnit, SSM_FailureAssert);
}

// ---------------------------------------------------------------------------------------------
// Arc measures

int SYS_Arc::IsValidArc() const noexcept {
    auto onCircle = [this](const SYS_Point& p) {
        double dx = double(p.GetX()) - m_center.GetX();
        double dy = double(p.GetY()) - m_center.GetY();
        double r = m_radius;
        double e = dx * dx + dy * dy - r * r;
        return std::fabs(std::trunc(e + std::copysign(0.5, e))) <= 1.0;
    };
    return onCircle(m_start) && onCircle(m_end);
}

namespace {

// p seen from center, in double coordinates (each point and the difference checked).
inline SYS_DoublePoint OffsetFrom(const SYS_Point& center, const SYS_Point& p) {
    SYS_DoublePoint c = center;
    SYS_DoublePoint q = p;
    return q - c;
}

}  // namespace

int32_t SYS_Arc::GetStartAngle() const { return OffsetFrom(m_center, m_start).GetPolarAngle(); }

int32_t SYS_Arc::GetEndAngle() const { return OffsetFrom(m_center, m_end).GetPolarAngle(); }

int32_t SYS_Arc::GetSizeAngle() const {
    // The checks of GetEndAngle then GetStartAngle, in that order; then both atan2 calls side
    // by side. Both angles lie in [0, full turn): the difference cannot overflow.
    SYS_DoublePoint toEnd = OffsetFrom(m_center, m_end);
    SYS_DoublePoint toStart = OffsetFrom(m_center, m_start);
    int32_t size = toEnd.GetPolarAngle() - toStart.GetPolarAngle();
    // Clockwise arcs (negative radius) sweep a negative angle, counter-clockwise ones a positive
    // one; the turn is added or taken away without a branch, the signs being random on most data.
    int32_t addTurn = (size < 0) & (m_radius > 0);
    int32_t takeTurn = (size > 0) & (m_radius < 0);
    return size + (addTurn - takeTurn) * SYS_FULL_TURN;
}

double SYS_Arc::GetLength() const {
    return GetSizeAngle() * 3.141592653589793 * 3.08641975308642e-9 * m_radius;
}


SYS_Box SYS_Arc::GetBox() const noexcept {
    SYS_Box box = SYS_Segment::GetBox();
    SYS_Point extreme, next;
    // At most two extremes per axis: the first met from the start, and the one met after it.
    if (int k = GetXNearestExtrem(m_start, extreme)) {
        (k < 0 ? box.GetLowerLeft() : box.GetUpperRight()).SetX(extreme.GetX());
        if (int k2 = GetXNearestExtrem(extreme, next))
            (k2 < 0 ? box.GetLowerLeft() : box.GetUpperRight()).SetX(next.GetX());
    }
    if (int k = GetYNearestExtrem(m_start, extreme)) {
        (k < 0 ? box.GetLowerLeft() : box.GetUpperRight()).SetY(extreme.GetY());
        if (int k2 = GetYNearestExtrem(extreme, next))
            (k2 < 0 ? box.GetLowerLeft() : box.GetUpperRight()).SetY(next.GetY());
    }
    return box;
}

// ---------------------------------------------------------------------------------------------
// Boxes

void SYS_Box::Set(const SYS_Point& p, int32_t size) {
    if (size >= 0) {
        m_ll = p, m_ur = p + size;
    } else {
        m_ll = p + size, m_ur = p;
    }
    (void)SSM_CHECK(IsValid(), "SYS_Box is not valid", kLocgeomUnit, SSM_FailureAssert);
}

void SYS_Box::Transform(const SYS_Transform& t) {
    const SYS_Point corners[4] = {m_ll, GetLowerRight(), m_ur, GetUpperLeft()};
    SYS_Box result = Unset();
    for (const SYS_Point& corner : corners) {
        SYS_Point p = corner;
        p.Transform(t);
        result.m_ll.Set(Min(result.GetLeft(), p.GetX()), Min(result.GetLower(), p.GetY()));
        result.m_ur.Set(Max(result.GetRight(), p.GetX()), Max(result.GetUpper(), p.GetY()));
    }
    *this = result;
    (void)SSM_CHECK(IsValid(), "SYS_Box is not valid", kLocgeomUnit, SSM_FailureAssert);
}

int SYS_Box::Clip(SYS_Box box, SYS_Box out[4]) const noexcept {
    SYS_Box parts[4];  // written here first, so that a null out only loses the parts
    const int n = ClipParts(box, parts);
    if (out != nullptr) std::copy(parts, parts + n, out);
    return n;
}

int SYS_Box::ClipParts(SYS_Box box, SYS_Box out[4]) const noexcept {
    SYS_Box self = *this, overlap;
    self.Normalize();
    box.Normalize();
    if (!box.IsEmpty() && !overlap.SetAsIntersection(self, box)) {
        out[0] = box;  // no common area: box stays whole instead of being cut along this box
        return 1;
    }
    const AxisSplit xs = SplitAxis(GetLeft(), GetRight(), box.GetLeft(), box.GetRight());
    const AxisSplit ys = SplitAxis(GetLower(), GetUpper(), box.GetLower(), box.GetUpper());
    int first = -1, last = -1;  // the y intervals that box covers
    for (int j = 0; j + 1 < ys.count; ++j) {
        if (ys.coverage[j] & 2) {
            if (first < 0) first = j;
            last = j;
        }
    }
    int n = 0;
    for (int i = 0; i + 1 < xs.count; ++i) {
        if (xs.coverage[i] == 2 && first >= 0 && n < 4) {
            out[n++] = SYS_Box(xs.value[i], ys.value[first], xs.value[i + 1], ys.value[last + 1]);
        } else if (xs.coverage[i] == 3) {
            for (int j = 0; j + 1 < ys.count; ++j) {
                if (ys.coverage[j] == 2 && n < 4)
                    out[n++] = SYS_Box(xs.value[i], ys.value[j], xs.value[i + 1], ys.value[j + 1]);
            }
        }
    }
    return n;
}

int SYS_Arc::GetXNearestExtrem(const SYS_Point& p, SYS_Point& out) const noexcept {
    return NearestExtreme(m_center, m_end, m_radius, p, out, true);
}

int SYS_Arc::GetYNearestExtrem(const SYS_Point& p, SYS_Point& out) const noexcept {
    return NearestExtreme(m_center, m_end, m_radius, p, out, false);
}
