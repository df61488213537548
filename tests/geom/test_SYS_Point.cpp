#include <cmath>
#include <cstdint>
#include <utility>

#include "geom_test_support.h"

namespace {

TEST(SYS_Point, LengthsAreExactOnAxesAndDiagonalsAndNeverOverflow) {
    struct Case { const char* name; SYS_Point p; double length; };
    const Case cases[] = {
        {"3-4-5", {3, -4}, 5.0},
        {"y axis", {0, -7}, 7.0},
        {"diagonal", {5, 5}, 5 * 1.4142135623730951},
        {"most negative x", {INT32_MIN, 0}, 2147483648.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.length, c.p.Length());
    }
    EXPECT_DOUBLE_EQ(5.0, SYS_Point(10, 10).Distance(SYS_Point(13, 14)));
    EXPECT_EQ(486000000, SYS_Point(0, -1).GetPolarAngle());
    const SYS_Point far(SYS_COORD_LIMIT - 1, -(SYS_COORD_LIMIT - 1));
    EXPECT_EQ(4L * (SYS_COORD_LIMIT - 1), far.MDistance(SYS_Point(0, 0) - far));
}

TEST(SYS_Point, DivisionRoundsMultiplicationByDoubleTruncatesScaleRounds) {
    struct Case { const char* name; SYS_Point got, want; };
    SYS_Point scaled(7, -7), scaled2(7, -7);
    scaled.Scale(0.5);
    scaled2.Scale(0.5, 3.0);
    const Case cases[] = {
        {"divide rounds away from zero", SYS_Point(7, -7) / 2, {4, -4}},
        {"times double truncates", SYS_Point(7, -7) * 0.5, {3, -3}},
        {"scale rounds", scaled, {4, -4}},
        {"scale per axis", scaled2, {4, -21}},
        {"median rounds the half sum", SYS_Point(0, 0).Median(SYS_Point(7, -7)), {4, -4}},
        // Integer arithmetic wraps without undefined behaviour.
        {"sum wraps", SYS_Point(INT32_MAX, INT32_MIN) + SYS_Point(1, -1), {INT32_MIN, INT32_MAX}},
        {"product wraps", SYS_Point(65536, 32768) * 65536, {0, INT32_MIN}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.want, c.got);
    }
}

// Random points: products of collinear and of perpendicular points are exactly 0, and the
// comparisons order points as pairs (x, y) do.
TEST(SYS_Point, ProductsAreExactAndComparisonIsLexicographic) {
    GeomRandom rnd(3);
    for (int i = 0; i < 10000; ++i) {
        SYS_Point p = rnd.Point(30000), q = p * rnd.Int(-30000, 30000);
        ASSERT_EQ(0.0, p.VectorProduct(q)) << p << q;
        ASSERT_EQ(0.0, q.ScalarProduct(SYS_Point(-q.GetY(), q.GetX()))) << q;
        SYS_Point a(rnd.Int(-3, 3), rnd.Int(-3, 3)), b(rnd.Int(-3, 3), rnd.Int(-3, 3));
        auto aa = std::make_pair(a.GetX(), a.GetY()), bb = std::make_pair(b.GetX(), b.GetY());
        ASSERT_EQ(aa < bb, a < b);
        ASSERT_EQ(aa > bb, a > b);
        ASSERT_EQ(aa != bb, a != b);
    }
}

TEST(SYS_DoublePoint, EveryAccessOfAnInvalidPointReports) {
    SYS_DoublePoint bad;
    SYS_Transform move;
    move.SetMove(0.0, -1.5e9);
    move.Transform(&bad);  // exact and unchecked: bad is now outside the range
    const SYS_DoublePoint good(1.0, 2.0);
    typedef const SYS_DoublePoint& P;
    struct Case { const char* name; void (*run)(P bad, P good); size_t reports; };
    const Case cases[] = {
        {"GetY", [](P b, P) { b.GetY(); }, 1},
        {"index", [](P b, P) { b[0]; }, 1},
        {"equality", [](P b, P g) { (void)(g == b); }, 1},
        {"assignment", [](P b, P) { SYS_DoublePoint p; p = b; }, 1},
        {"assignment to SYS_Point", [](P b, P) { SYS_Point p; p = b; }, 1},
        {"sum leaving the range", [](P, P g) { (void)(g + 1.1e9); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GeomReports reports;
        c.run(bad, good);
        EXPECT_EQ(c.reports, reports.Count("Invalid point", kGeomInline));
    }
    GeomReports reports;
    SYS_DoublePoint scaled(1e9, 1.0);
    scaled.Scale(2.0);
    EXPECT_EQ(1u, reports.Count("Invalid point", kLocgeom));
    EXPECT_EQ(2e9, scaled.GetX());  // the operation completes with the values computed
}

TEST(SYS_DoublePoint, ArithmeticAndMeasures) {
    SYS_DoublePoint p(1.5, -2.0);
    p += SYS_DoublePoint(0.5, 1.0);
    p -= 1.0;
    EXPECT_EQ(SYS_DoublePoint(1.0, -2.0), p);
    EXPECT_EQ(0.0, SYS_DoublePoint().GetPolarRadius());
    EXPECT_EQ(-5.0, SYS_DoublePoint(1, 2).VectorProduct(SYS_DoublePoint(3, 1)));
    EXPECT_EQ(5.0, SYS_DoublePoint(1, 2).ScalarProduct(SYS_DoublePoint(3, 1)));
    EXPECT_TRUE(SYS_DoublePoint(1, 5) < SYS_DoublePoint(2, -5));
    EXPECT_TRUE(SYS_DoublePoint(1, 5) > SYS_DoublePoint(1, 4.5));
    EXPECT_TRUE(SYS_DoublePoint(SYS_COORD_LIMIT - 0.5, 0).IsValid());  // the bounds are exclusive
    EXPECT_FALSE(SYS_DoublePoint(SYS_COORD_LIMIT, 0).IsValid());
    EXPECT_FALSE(SYS_DoublePoint(0, SYS_COORD_LIMIT).IsValid());
}

TEST(SYS_Location, AnglesAreReducedWithTheSignOfTheDividend) {
    SYS_Location m;
    m.SetOrientation(-700000000);
    EXPECT_EQ(-52000000, m.GetOrientation());
    m.SetOrientation(648000000);
    EXPECT_EQ(0, m.GetOrientation());
    SYS_Location a(1, 2, 600000000);
    EXPECT_EQ(SYS_Location(11, 22, 552000000), a + SYS_Location(10, 20, 600000000));
    EXPECT_NE(SYS_Location(1, 2, 3), SYS_Location(1, 2, 4));
}

TEST(SYS_Location, SetOriginReportsAnInvalidOrientation) {
    GeomReports reports;
    SYS_Location l(5, 6, -647999999);
    l.SetOrigin(1, 1);
    EXPECT_EQ(0u, reports.Count());
    SYS_Location bad(0, 0, 0x00000040);
    bad.SwapBytes();  // orientation 0x40000000 = 1,073,741,824: beyond a turn
    EXPECT_EQ(0x40000000, bad.GetOrientation());
    bad.SetOrigin(SYS_Point(3, 4));
    EXPECT_EQ(1u, reports.Count("Invalid Location", kGeomInline));
}

TEST(SYS_Position, MirrorFlagIsZeroOrOneAndSumsExclusiveOr) {
    SYS_Position p(SYS_Location(1, 1, 10), -3);
    EXPECT_EQ(1, p.GetMirror());
    p.SetMirror(0);
    EXPECT_EQ(0, p.GetMirror());
    p.Set(SYS_Point(2, 2), 700000000, 42);
    EXPECT_EQ(SYS_Position(2, 2, 52000000, 1), p);
    const SYS_Position m(0, 0, 0, 1), n(0, 0, 0, 0);
    EXPECT_EQ(0, (m + m).GetMirror());
    EXPECT_EQ(1, (m + n).GetMirror());
    EXPECT_NE(n, m);
}

}  // namespace
