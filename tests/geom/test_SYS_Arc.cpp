#include <algorithm>
#include <cmath>

#include "geom_test_support.h"

namespace {

const char kInline[] = "sys/SYS_Geom_Inline";
const char kLocgeom[] = "sys/locgeom";

SYS_Arc Arc(SYS_Point start, SYS_Point end, SYS_Point center, int32_t radius) {
    return SYS_Arc(start, end, center, radius);
}

TEST(SYS_Arc, QuarterArcsInBothDirections) {
    struct Case {
        const char* name;
        SYS_Arc arc;
        int32_t size;
        SYS_Box box;
    };
    const SYS_Point e(10, 0), n(0, 10), w(-10, 0), s(0, -10), o(0, 0);
    const Case cases[] = {
        {"counter-clockwise quarter", Arc(e, n, o, 10), 162000000, {0, 0, 10, 10}},
        {"clockwise three quarters", Arc(e, n, o, -10), -486000000, {-10, -10, 10, 10}},
        {"counter-clockwise three quarters", Arc(n, e, o, 10), 486000000, {-10, -10, 10, 10}},
        {"clockwise quarter", Arc(n, e, o, -10), -162000000, {0, 0, 10, 10}},
        {"upper half", Arc(e, w, o, 10), 324000000, {-10, 0, 10, 10}},
        {"lower half", Arc(e, w, o, -10), -324000000, {-10, -10, 10, 0}},
        {"left half from the top", Arc(n, s, o, 10), 324000000, {-10, -10, 0, 10}},
        {"right half from the top", Arc(n, s, o, -10), -324000000, {0, -10, 10, 10}},
        {"moved center",
         Arc(SYS_Point(110, 50), SYS_Point(100, 60), SYS_Point(100, 50), 10),
         162000000,
         {100, 50, 110, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.size, c.arc.GetSizeAngle());
        EXPECT_EQ(c.box, c.arc.GetBox());
        EXPECT_TRUE(c.arc.IsValidArc());
        EXPECT_NEAR(std::fabs(c.size) * kTestPi / 324000000.0 * 10.0, c.arc.GetLength(), 1e-9);
    }
}

TEST(SYS_Arc, StartEqualToEndHasSizeZeroAndTheWholeCircleAsBox) {
    for (int32_t r : {10, -10}) {
        SCOPED_TRACE(r);
        const SYS_Arc arc(SYS_Point(10, 0), SYS_Point(10, 0), SYS_Point(0, 0), r);
        EXPECT_EQ(0, arc.GetSizeAngle());
        EXPECT_EQ(0.0, arc.GetLength());
        EXPECT_EQ(SYS_Box(-10, -10, 10, 10), arc.GetBox());
    }
    const SYS_Arc point(SYS_Point(3, 3), SYS_Point(3, 3), SYS_Point(3, 3), 0);
    EXPECT_EQ(0, point.GetSizeAngle());
    EXPECT_EQ(SYS_Box(3, 3, 3, 3), point.GetBox());
}

TEST(SYS_Arc, AnglesOfStartAndEnd) {
    const SYS_Arc arc(SYS_Point(100, 50), SYS_Point(0, -50), SYS_Point(0, 50), 100);
    EXPECT_EQ(0, arc.GetStartAngle());
    EXPECT_EQ(486000000, arc.GetEndAngle());
    EXPECT_EQ(486000000, arc.GetSizeAngle());
    GeomReports reports;
    const SYS_Arc far(SYS_Point(0, 0), SYS_Point(0, 0), SYS_Point(SYS_COORD_LIMIT, 0), 5);
    far.GetStartAngle();
    EXPECT_GE(reports.Count("Invalid point", kInline), 1u);
}

TEST(SYS_Arc, ValidArcAllowsAnErrorOfOneInTheSquares) {
    struct Case {
        const char* name;
        SYS_Point start, end;
        int32_t radius;
        int valid;
    };
    const Case cases[] = {
        {"exact", {3, 4}, {-5, 0}, 5, TRUE},
        {"negative radius", {3, 4}, {-5, 0}, -5, TRUE},
        {"start off by 9", {3, 5}, {-5, 0}, 5, FALSE},
        {"end off by 9", {3, 4}, {-5, 3}, 5, FALSE},
        {"squares differ by 1", {1, 0}, {0, 1}, 0, TRUE},
        {"squares differ by -1", {0, 0}, {0, 0}, 1, TRUE},
        {"squares differ by 2", {1, 1}, {1, 1}, 0, FALSE},
        {"large radius rounded onto the circle",
         {707106781, 707106781},
         {0, 1000000000},
         1000000000,
         FALSE},
        {"large exact", {600000000, 800000000}, {0, -1000000000}, 1000000000, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.valid, SYS_Arc(c.start, c.end, SYS_Point(0, 0), c.radius).IsValidArc());
        // Moving the whole arc keeps the answer.
        EXPECT_EQ(
            c.valid,
            SYS_Arc(c.start + 1000, c.end + 1000, SYS_Point(1000, 1000), c.radius).IsValidArc());
    }
}

TEST(SYS_Arc, NearestExtremesFollowTheDirection) {
    struct Case {
        const char* name;
        SYS_Arc arc;
        SYS_Point p;
        int kx;
        int32_t x;
        int ky;
        int32_t y;
    };
    const SYS_Point o(100, 200);
    const Case cases[] = {
        // counter-clockwise from the right extreme to the bottom: passes the top and the left
        {"ccw from east to south", Arc({110, 200}, {100, 190}, o, 10), {110, 200}, -1, 90, 1, 210},
        // clockwise from east to north: passes the bottom and the left
        {"cw from east to north", Arc({110, 200}, {100, 210}, o, -10), {110, 200}, -1, 90, -1, 190},
        // counter-clockwise quarter from north to west: no x extreme, no y extreme before the end
        {"ccw north to west", Arc({100, 210}, {90, 200}, o, 10), {100, 210}, 0, 100, 0, 200},
        // counter-clockwise from west to east through the bottom
        {"ccw west to east", Arc({90, 200}, {110, 200}, o, 10), {90, 200}, 0, 100, -1, 190},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SYS_Point out(1, 1);
        EXPECT_EQ(c.kx, c.arc.GetXNearestExtrem(c.p, out));
        EXPECT_EQ(SYS_Point(c.x, 200), out);
        out.Set(1, 1);
        EXPECT_EQ(c.ky, c.arc.GetYNearestExtrem(c.p, out));
        EXPECT_EQ(SYS_Point(100, c.y), out);
    }
}

TEST(SYS_Arc, SetReportsAnOutOfRangeRadiusAndTransformKeepsIt) {
    GeomReports reports;
    SYS_Arc arc;
    arc.Set(SYS_Point(1, 0), SYS_Point(0, 1), SYS_Point(0, 0), 1);
    EXPECT_EQ(0u, reports.Count());
    arc.Set(SYS_Point(1, 0), SYS_Point(0, 1), SYS_Point(0, 0), -SYS_COORD_LIMIT);
    EXPECT_EQ(1u, reports.Count(" Invalid arc data", kInline));
    EXPECT_EQ(-SYS_COORD_LIMIT, arc.GetRadius());  // stored all the same
    SYS_Transform move;
    move.SetMove(5, 6);
    arc.Transform(move);
    EXPECT_EQ(1u, reports.Count("Invalid SYS_Arc", kLocgeom));
    EXPECT_EQ(SYS_Arc(SYS_Point(6, 6), SYS_Point(5, 7), SYS_Point(5, 6), -SYS_COORD_LIMIT), arc);
}

// ---------------------------------------------------------------------------------------------
// Random arcs against an oracle built from angles: the box is the end points' box widened by
// every axis extreme of the circle that lies strictly inside the arc's sweep.

struct RandomArc {
    SYS_Arc arc;
    long double start, sweep;  // radians; sweep signed like the radius
};

long double AngleOf(SYS_Point p, SYS_Point c) {
    long double a = std::atan2((long double)p.GetY() - c.GetY(), (long double)p.GetX() - c.GetX());
    return a < 0 ? a + 2 * kTestPi : a;
}

// Rounded points close to an axis through the center, or on the line of an extreme, are left
// out: there the direction tests see the grid point rather than the circle.
bool NearAxis(SYS_Point p, SYS_Point c, int32_t r) {
    const long long dx = std::llabs((long long)p.GetX() - c.GetX());
    const long long dy = std::llabs((long long)p.GetY() - c.GetY());
    return dx <= 2 || dy <= 2 || dx >= r - 1 || dy >= r - 1;
}

bool MakeRandomArc(GeomRandom& rnd, RandomArc& out) {
    const int32_t r = int32_t(std::exp(rnd.Real(std::log(10.0), std::log(4e8))));
    const int32_t reach = SYS_COORD_LIMIT - 1 - r;
    const SYS_Point c = rnd.Point(reach);
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
    d = std::fmod(d + 4 * kTestPi, 2 * kTestPi);
    return d < std::fabs(a.sweep);
}

SYS_Box OracleBox(const RandomArc& a) {
    const SYS_Arc& arc = a.arc;
    SYS_Box box = arc.SYS_Segment::GetBox();
    const SYS_Point c = arc.GetCenter();
    const int32_t r = std::abs(arc.GetRadius());
    if (InSweep(a, 0)) box.SetRight(c.GetX() + r);
    if (InSweep(a, kTestPi / 2)) box.SetUpper(c.GetY() + r);
    if (InSweep(a, kTestPi)) box.SetLeft(c.GetX() - r);
    if (InSweep(a, 3 * kTestPi / 2)) box.SetLower(c.GetY() - r);
    return box;
}

TEST(SYS_Arc, BoxEqualsTheOracleAndContainsSampledPoints) {
    GeomRandom rnd(21);
    int checked = 0;
    while (checked < 20000) {
        RandomArc a;
        if (!MakeRandomArc(rnd, a)) continue;
        ++checked;
        const SYS_Arc& arc = a.arc;
        SCOPED_TRACE(testing::Message()
                     << "arc " << arc.GetStart() << " -> " << arc.GetEnd() << " around "
                     << arc.GetCenter() << " r " << arc.GetRadius());
        const SYS_Box box = arc.GetBox();
        ASSERT_EQ(OracleBox(a), box);
        const long double units = a.sweep * 324000000.0L / kTestPi;
        ASSERT_NEAR((double)units, arc.GetSizeAngle(), 2.0);
        ASSERT_NEAR((double)(std::fabs(a.sweep) * std::abs(arc.GetRadius())), arc.GetLength(),
                    1e-6 * std::abs(arc.GetRadius()) + 1.0);
        SYS_Box loose = box;
        loose.Expand(1);  // sampled points are rounded to the grid
        const int32_t r = std::abs(arc.GetRadius());
        for (int k = 0; k <= 16; ++k) {
            const double t = double(a.start + a.sweep * k / 16);
            const SYS_Point p(SYS_Round(arc.GetCenter().GetX() + r * std::cos(t)),
                              SYS_Round(arc.GetCenter().GetY() + r * std::sin(t)));
            ASSERT_TRUE(loose.IsInclude(p)) << p << " at step " << k;
        }
    }
}

TEST(SYS_Arc, ReversingAnArcKeepsItsBoxAndNegatesItsSize) {
    GeomRandom rnd(22);
    for (int checked = 0; checked < 5000;) {
        RandomArc a;
        if (!MakeRandomArc(rnd, a)) continue;
        ++checked;
        const SYS_Arc& arc = a.arc;
        const SYS_Arc back(arc.GetEnd(), arc.GetStart(), arc.GetCenter(), -arc.GetRadius());
        ASSERT_EQ(arc.GetBox(), back.GetBox());
        ASSERT_EQ(-arc.GetSizeAngle(), back.GetSizeAngle());
    }
}

}  // namespace
