#pragma once

// The inline members of the geometry values that do not fit in their class bodies; checks made
// here report with the unit "sys/SYS_Geom_Inline" (or "sys/locgeom" for the box checks that
// hosts know under that unit). Included by SYS_Geom.h.
#include "SYS_Geom.h"

inline SYS_Point::operator SYS_DoublePoint() const { return SYS_DoublePoint(m_x, m_y); }

inline SYS_Point& SYS_Point::operator=(const SYS_DoublePoint& p) { return *this = SYS_Point(p); }

inline double SYS_Point::Length() const noexcept {
    double ax = std::fabs(double(m_x)), ay = std::fabs(double(m_y));
    if (m_x == 0) return ay;
    if (m_y == 0) return ax;
    if (ax == ay) return ax * 1.4142135623730951;
    return std::sqrt(ax * ax + ay * ay);
}

inline SYS_Point SYS_Point::Median(const SYS_Point& p) const noexcept {
    SYS_Point sum = *this + p;
    return SYS_Point(SYS_Round(sum.m_x * 0.5), SYS_Round(sum.m_y * 0.5));
}

inline double SYS_Point::ScalarProduct(const SYS_Point& p) const noexcept {
    return double(__int128(m_x) * p.m_x + __int128(m_y) * p.m_y);
}

inline double SYS_Point::VectorProduct(const SYS_Point& p) const noexcept {
    return double(__int128(m_x) * p.m_y - __int128(m_y) * p.m_x);
}

inline int32_t SYS_Point::GetPolarAngle() const noexcept {
    return SYS_AngleOfRadians(std::atan2(double(m_y), double(m_x)));
}

inline double SYS_Point::GetPolarRadius() const { return SYS_DoublePoint(*this).GetPolarRadius(); }

inline SYS_Box SYS_Segment::GetBox() const noexcept {
    const SYS_Point& s = m_start;
    const SYS_Point& e = m_end;
    return SYS_Box(
        s.GetX() < e.GetX() ? s.GetX() : e.GetX(), s.GetY() < e.GetY() ? s.GetY() : e.GetY(),
        s.GetX() > e.GetX() ? s.GetX() : e.GetX(), s.GetY() > e.GetY() ? s.GetY() : e.GetY());
}

inline SYS_Box SYS_Circle::GetBox() const noexcept {
    return SYS_Box(m_center - m_radius, m_center + m_radius);
}

inline void SYS_Box::Increase(int32_t x, int32_t y) {
    m_ll.Set(Min(m_ll.GetX(), x), Min(m_ll.GetY(), y));
    m_ur.Set(Max(m_ur.GetX(), x), Max(m_ur.GetY(), y));
    (void)SSM_CHECK(IsValid(), "SYS_Box is not valid", SYS_GeomDetail::kLocgeomUnit,
                    SSM_FailureAssert);
}

inline void SYS_Box::Combine(const SYS_Box& box) {
    if (IsUnset()) {
        *this = box;
    } else if (!box.IsUnset()) {
        m_ll.Set(Min(m_ll.GetX(), box.m_ll.GetX()), Min(m_ll.GetY(), box.m_ll.GetY()));
        m_ur.Set(Max(m_ur.GetX(), box.m_ur.GetX()), Max(m_ur.GetY(), box.m_ur.GetY()));
        (void)SSM_CHECK(IsValid(), "SYS_Box is not valid", SYS_GeomDetail::kLocgeomUnit,
                        SSM_FailureAssert);
    }
}

inline int SYS_Box::SetAsIntersection(SYS_Box a, SYS_Box b) noexcept {
    m_ll.Set(Max(a.m_ll.GetX(), b.m_ll.GetX()), Max(a.m_ll.GetY(), b.m_ll.GetY()));
    m_ur.Set(Min(a.m_ur.GetX(), b.m_ur.GetX()), Min(a.m_ur.GetY(), b.m_ur.GetY()));
    if (m_ll.GetX() >= m_ur.GetX()) {
        m_ll.SetX(m_ur.GetX());
        return 0;
    }
    if (m_ll.GetY() < m_ur.GetY()) return 1;
    m_ll.SetY(m_ur.GetY());
    return 0;
}
