#include <cmath>

#include "geom_test_support.h"

namespace {

TEST(SYS_Arc, AnglesOfStartAndEnd) {
    const SYS_Arc arc(SYS_Point(100, 50), SYS_Point(0, -50), SYS_Point(0, 50), 100);
    EXPECT_EQ(0, arc.GetStartAngle());
    EXPECT_EQ(486000000, arc.GetEndAngle());
    const SYS_Arc closed(SYS_Point(10, 0), SYS_Point(10, 0), SYS_Point(0, 0), -10);
    EXPECT_EQ(0, closed.GetSizeAngle());  // start equal to end: no sweep, the whole circle's box
    EXPECT_EQ(SYS_Box(-10, -10, 10, 10), closed.GetBox());
    GeomReports reports;  // a center that puts the start outside the range
    SYS_Arc(SYS_Point(0, 0), SYS_Point(0, 0), SYS_Point(SYS_COORD_LIMIT, 0), 5).GetStartAngle();
    EXPECT_GE(reports.Count("Invalid point", kGeomInline), 1u);
}

TEST(SYS_Arc, ValidArcAllowsAnErrorOfOneInTheSquares) {
    struct Case { const char* name; SYS_Point start, end; int32_t radius; int valid; };
    const Case cases[] = {
        {"exact", {3, 4}, {-5, 0}, 5, TRUE},
        {"start off by 9", {3, 5}, {-5, 0}, 5, FALSE},
        {"end off by 9", {3, 4}, {-5, 3}, 5, FALSE},
        {"squares differ by 1", {1, 0}, {0, 1}, 0, TRUE},
        {"squares differ by 2", {1, 1}, {1, 1}, 0, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.valid, SYS_Arc(c.start, c.end, SYS_Point(0, 0), c.radius).IsValidArc());
    }
}

TEST(SYS_Arc, SetReportsAnOutOfRangeRadiusAndTransformKeepsIt) {
    GeomReports reports;
    SYS_Arc arc;
    arc.Set(SYS_Point(1, 0), SYS_Point(0, 1), SYS_Point(0, 0), 1);
    EXPECT_EQ(0u, reports.Count());
    arc.Set(SYS_Point(1, 0), SYS_Point(0, 1), SYS_Point(0, 0), -SYS_COORD_LIMIT);
    EXPECT_EQ(1u, reports.Count(" Invalid arc data", kGeomInline));
    SYS_Transform move;
    move.SetMove(5, 6);
    arc.Transform(move);
    EXPECT_EQ(1u, reports.Count("Invalid SYS_Arc", kLocgeom));
    EXPECT_EQ(SYS_Arc(SYS_Point(6, 6), SYS_Point(5, 7), SYS_Point(5, 6), -SYS_COORD_LIMIT), arc);
}

// Random arcs against an oracle built from angles: the box is the end points' box widened by
// every axis extreme of the circle strictly inside the sweep.
struct RandomArc {
    SYS_Arc arc;
    long double start, sweep;  // radians; sweep signed like the radius
};

long double AngleOf(SYS_Point p, SYS_Point c) {
    long double a = std::atan2((long double)p.GetY() - c.GetY(), (long double)p.GetX() - c.GetX());
    return a < 0 ? a + 2 * kTestPi : a;
}

// Rounded points near an axis through the center, or on the line of an extreme, are left out:
// there the direction tests see the grid point rather than the circle.
bool NearAxis(SYS_Point p, SYS_Point c, int32_t r) {
    const long long dx = std::llabs((long long)p.GetX() - c.GetX());
    const long long dy = std::llabs((long long)p.GetY() - c.GetY());
    return dx <= 2 || dy <= 2 || dx >= r - 1 || dy >= r - 1;
}

bool MakeRandomArc(GeomRandom& rnd, RandomArc& out) {
    const int32_t r = int32_t(std::exp(rnd.Real(std::log(10.0), std::log(4e8))));
    const SYS_Point c = rnd.Point(SYS_COORD_LIMIT - 1 - r);
    auto onCircle = [&](double t) {
        return SYS_Point(SYS_Round(c.GetX() + r * std::cos(t)),
                         SYS_Round(c.GetY() + r * std::sin(t)));
    };
    const SYS_Point s = onCircle(rnd.Real(0, 2 * kTestPi)), e = onCircle(rnd.Real(0, 2 * kTestPi));
    // End points on one grid line leave the order along that axis to rounding: left out too.
    if (s.GetX() == e.GetX() || s.GetY() == e.GetY() || NearAxis(s, c, r) || NearAxis(e, c, r))
        return false;
    const int32_t radius = rnd.Int(0, 1) ? r : -r;
    out.arc = SYS_Arc(s, e, c, radius);
    out.start = AngleOf(s, c);
    long double sweep = AngleOf(e, c) - out.start;
    if (radius > 0 && sweep < 0) sweep += 2 * kTestPi;
    if (radius < 0 && sweep > 0) sweep -= 2 * kTestPi;
    out.sweep = sweep;
    return true;
}

bool InSweep(const RandomArc& a, long double angle) {
    long double d = a.sweep > 0 ? angle - a.start : a.start - angle;
    return std::fmod(d + 4 * kTestPi, 2 * kTestPi) < std::fabs(a.sweep);
}

SYS_Box OracleBox(const RandomArc& a) {
    SYS_Box box = a.arc.SYS_Segment::GetBox();
    const SYS_Point c = a.arc.GetCenter();
    const int32_t r = std::abs(a.arc.GetRadius());
    if (InSweep(a, 0)) box.SetRight(c.GetX() + r);
    if (InSweep(a, kTestPi / 2)) box.SetUpper(c.GetY() + r);
    if (InSweep(a, kTestPi)) box.SetLeft(c.GetX() - r);
    if (InSweep(a, 3 * kTestPi / 2)) box.SetLower(c.GetY() - r);
    return box;
}

TEST(SYS_Arc, RandomArcsAgreeWithTheOracleAndTheirReverse) {
    GeomRandom rnd(21);
    for (int checked = 0; checked < 20000;) {
        RandomArc a;
        if (!MakeRandomArc(rnd, a)) continue;
        ++checked;
        const SYS_Arc& arc = a.arc;
        SCOPED_TRACE(testing::Message() << "arc " << arc.GetStart() << " -> " << arc.GetEnd()
                                        << " around " << arc.GetCenter() << " r "
                                        << arc.GetRadius());
        const SYS_Box box = arc.GetBox();
        ASSERT_EQ(OracleBox(a), box);
        ASSERT_NEAR(double(a.sweep * 324000000.0L / kTestPi), arc.GetSizeAngle(), 2.0);
        const int32_t r = std::abs(arc.GetRadius());
        ASSERT_NEAR(double(std::fabs(a.sweep) * r), arc.GetLength(), 1e-6 * r + 1.0);
        const SYS_Arc back(arc.GetEnd(), arc.GetStart(), arc.GetCenter(), -arc.GetRadius());
        ASSERT_EQ(box, back.GetBox());
        ASSERT_EQ(-arc.GetSizeAngle(), back.GetSizeAngle());
    }
}

}  // namespace
