#include <cmath>
#include <complex>
#include <vector>

#include "geom_test_support.h"

namespace {

const char kLinConv[] = "sys/SYS_LinConv";

typedef std::complex<long double> Complex;

// Rotation about a center, computed with complex numbers in long double: the oracle.
SYS_Point Rotated(SYS_Point p, SYS_Point c, int32_t angle) {
    const Complex z((long double)p.GetX() - c.GetX(), (long double)p.GetY() - c.GetY());
    const Complex w = z * std::polar(1.0L, angle * kTestPi / 324000000.0L);
    return SYS_Point(SYS_Round(double(c.GetX() + w.real())),
                     SYS_Round(double(c.GetY() + w.imag())));
}

// Within one unit on each axis.
::testing::AssertionResult Near(SYS_Point want, SYS_Point got, int64_t tolerance = 1) {
    if (std::llabs(int64_t(want.GetX()) - got.GetX()) <= tolerance &&
        std::llabs(int64_t(want.GetY()) - got.GetY()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "want " << want << " got " << got;
}

TEST(SYS_Transform, DirectionSettersNormaliseAndDeriveTheOrientation) {
    struct Case { const char* name; double cosv, sinv; int32_t orientation; SYS_Point image; };
    const Case cases[] = {
        {"not normalised", 3, 4, int32_t(0.9272952180016122 * 324000000.0 * 0.3183098861837907),
         {600, 800}},
        {"quarter turn", 0, 2, 162000000, {0, 1000}},
        {"three quarters", 0, -1, 486000000, {0, -1000}},
        {"fourth quadrant", 1, -1, 567000000, {707, -707}},
        {"too short", 1e-5, 1e-5, 0, {1000, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SYS_Transform t;
        t.SetRotate(SYS_Point(0, 0), c.cosv, c.sinv);
        EXPECT_EQ(c.orientation, t.GetOrientation());
        EXPECT_EQ(c.orientation != 0, t.IsRotate());
        EXPECT_EQ(c.image, t.Transform(SYS_Point(1000, 0)));
    }
}

TEST(SYS_Transform, MirrorsReflectInTheirLine) {
    SYS_Transform t;
    t.SetMirror(SYS_Point(0, 0), 1.0, 1.0);  // squared length 2 is below 4: acts as (1, 0)
    EXPECT_EQ(SYS_Point(3, -4), t.Transform(SYS_Point(3, 4)));
    EXPECT_EQ(1, t.GetMirror());
    EXPECT_EQ(1, t.IsRotate());
}

TEST(SYS_Transform, ScaleConvertsLengths) {
    SYS_Transform t;
    t.SetScale(SYS_Point(0, 0), 2.0);
    int32_t length = 7;
    t.Convert(length);
    EXPECT_EQ(14, length);
    long wide = 3000000000L;  // beyond 32 bits
    t.Convert(wide);
    EXPECT_EQ(6000000000L, wide);
    EXPECT_EQ(-4, t - -7);  // -3.5 rounded away from zero
    EXPECT_EQ(1, t.IsScale());
}

// Properties of random transforms: AddConv equals applying the two one after the other, a
// transform followed by its inverse gives back each point within one unit, a rotation matches
// the complex oracle, and the placement of a position (keepOrigin, mirror-first 0) carries the
// zero position onto the position itself (orientations equal modulo a full turn).
TEST(SYS_Transform, RandomTransformsComposeInvertRotateAndPlace) {
    GeomRandom rnd(33);
    for (int i = 0; i < 4000; ++i) {
        const SYS_Transform t1 = RandomTransform(rnd), t2 = RandomTransform(rnd);
        const SYS_Transform both = t1 + t2;
        SYS_Transform inverse;
        ASSERT_EQ(1, t1.SetRConv(inverse));
        SYS_Transform back = t1;
        ASSERT_EQ(1, back.RConv());
        ASSERT_TRUE(back == inverse);
        SYS_Transform twice = t1;
        twice.AddConv(twice);  // the argument may be this transform
        ASSERT_TRUE(twice == t1 + t1);
        SYS_Transform rotate;
        const SYS_Point c = rnd.Point(300000000);
        const int32_t angle = rnd.Angle();
        rotate.SetRotate(c, angle);
        const SYS_Position pos(rnd.Point(), rnd.Angle(), rnd.Int(0, 1));
        SYS_Position zero;
        zero.Transform(SYS_Transform(pos, 0, 1, 0));
        ASSERT_EQ(pos.GetOrigin(), zero.GetOrigin());
        ASSERT_EQ(pos.GetMirror(), zero.GetMirror());
        ASSERT_EQ(0, (int64_t(pos.GetOrientation()) - zero.GetOrientation()) % SYS_FULL_TURN);
        for (int k = 0; k < 5; ++k) {
            const SYS_Point p = rnd.Point(50000000);
            SYS_Point q = p;
            rotate.Convert(q);
            ASSERT_TRUE(Near(Rotated(p, c, angle), q)) << "angle " << angle;
            // Rounded twice: the first rounding (up to 0.71 in length) is scaled by t2.
            const double scale2 = std::fabs((t2 + 1000000) / 1e6);
            ASSERT_TRUE(Near(both + p, t2 + (t1 + p), int64_t(0.75 * scale2) + 2));
            ASSERT_TRUE(Near(p, inverse + (t1 + p)));
            ASSERT_TRUE(Near(p, t1 - (t1 + p)));
            ASSERT_TRUE(Near(p, (t1 - t1) + p));
        }
    }
}

TEST(SYS_Transform, InverseOfASingularTransformFails) {
    SYS_Transform flat;
    flat.SetScale(SYS_Point(5, 5), 1e-7);  // determinant 1e-14
    SYS_Transform inverse;
    inverse.SetMove(3, 3);
    EXPECT_EQ(0, flat.SetRConv(inverse));
    EXPECT_TRUE(inverse == SYS_Transform());  // starts as the identity
    const SYS_Transform before = flat;
    EXPECT_EQ(0, flat.RConv());
    EXPECT_TRUE(flat == before);
    flat.Transform(static_cast<SYS_Point*>(nullptr));  // ignored
    flat.Transform(static_cast<SYS_DoublePoint*>(nullptr));
    GeomRandom rnd(35);
    SYS_Transform self = RandomTransform(rnd);
    SYS_Transform expected;
    self.SetRConv(expected);
    self.SetRConv(self);  // the inverse may be written over this transform
    EXPECT_TRUE(self == expected);
}

TEST(SYS_Transform, PlacementConstructors) {
    struct Case { const char* name; SYS_Transform t; SYS_Point p, image; };
    const Case cases[] = {
        {"mirror about p", SYS_Transform(SYS_Point(100, 0), 0, 1, 0, 0, 0), {150, 20}, {50, 20}},
        {"into local coordinates", SYS_Transform(100, 100, 0, 0, 0, 0, 1), {110, 105}, {10, 5}},
        {"rotate then mirror", SYS_Transform(0, 0, 162000000, 1, 0, 0, 0), {10, 0}, {0, 10}},
        {"mirror then rotate", SYS_Transform(0, 0, 162000000, 1, 1, 0, 0), {10, 0}, {0, -10}},
        {"nothing", SYS_Transform(5, 5, 0, 0, 0, 1, 1), {7, 8}, {7, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.image, c.t + c.p);
    }
}

// A mirrored orientation that leaves the valid range is kept and reported.
TEST(SYS_Transform, MirroredPositionOutsideTheRangeReports) {
    SYS_Transform mirror;
    mirror.SetMirror(SYS_Point(0, 0), 0);  // orientation 0, mirrored
    GeomReports reports;
    SYS_Position p(0, 0, -500000000, 0);  // 324,000,000 + 500,000,000 leaves the valid range
    p.Transform(mirror);
    EXPECT_EQ(824000000, p.GetOrientation());
    EXPECT_EQ(1u, reports.Count("Invalid SYS_Location", kLocgeom));
    EXPECT_EQ(1u, reports.Count("Invalid SYS_Position", kLocgeom));
}

TEST(SYS_Transform, AnglesAndSweeps) {
    struct Case { const char* name; SYS_Transform t; int32_t angle, sweep, wantAngle, wantSweep; };
    SYS_Transform rotate, xMirror, yMirror, scaled;
    rotate.SetRotate(SYS_Point(0, 0), 162000000);
    xMirror.SetMirror(SYS_Point(3, 3), 1.0, 0.0);  // the mirror line is horizontal
    yMirror.SetMirror(SYS_Point(0, 0), 0.0, 1.0);
    scaled.SetScale(SYS_Point(0, 0), -2.0);
    const Case cases[] = {
        {"identity wraps negatives", SYS_Transform(), -1, 10, 647999999, 10},
        {"identity keeps a full turn", SYS_Transform(), 1296000000, 10, 648000000, 10},
        {"identity, minus a full turn", SYS_Transform(), -648000000, 10, 0, 10},
        {"sweep beyond a turn", SYS_Transform(), 0, 700000000, 0, 648000000},
        {"negative sweep beyond a turn", SYS_Transform(), 0, -700000000, 0, 648000000},
        {"rotation adds the orientation", rotate, 600000000, 5, 114000000, 5},
        {"x mirror negates", xMirror, 162000000, 100, 486000000, -100},
        {"y mirror reflects about the vertical", yMirror, 0, 100, 324000000, -100},
        {"negative scale turns by half", scaled, 0, 7, 324000000, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t angle = c.angle, sweep = c.sweep;
        c.t.Convert(angle, sweep);
        EXPECT_EQ(c.wantAngle, angle);
        EXPECT_EQ(c.wantSweep, sweep);
        long wideAngle = c.angle, wideSweep = c.sweep;  // the same through the long overload
        c.t.Convert(wideAngle, wideSweep);
        EXPECT_EQ(c.wantAngle, wideAngle);
        EXPECT_EQ(c.wantSweep, wideSweep);
    }
}

TEST(SYS_Transform, AngleSettersKeepTheAngleOffset) {
    SYS_Transform turned, fresh;
    turned.SetScale(SYS_Point(0, 0), -1.0);  // offset: a half turn
    turned.SetRotate(SYS_Point(1, 2), 1000);
    fresh.SetRotate(SYS_Point(1, 2), 1000);
    EXPECT_TRUE(turned != fresh);
    turned.SetMove(0L, 0L);  // the other setters replace everything
    EXPECT_TRUE(turned == SYS_Transform());
}

TEST(SYS_Transform, CoordinateSystems) {
    SYS_Transform t;
    t.SetCoordSys(SYS_Point(100, 100), 162000000);
    EXPECT_EQ(SYS_Point(10, 0), t + SYS_Point(100, 110));
    EXPECT_EQ(-162000000, t.GetOrientation());
    t.SetCoordSys(SYS_Point(100, 100), 0.0, 1.0);  // first step SetRotate(origin, -1, -0)
    EXPECT_EQ(SYS_Point(0, -10), t + SYS_Point(100, 110));
}

TEST(SYS_Transform, BoxFit) {
    GeomReports reports;
    SYS_Transform t;
    t.SetBoxConv(SYS_Point(0, 0), SYS_Point(100, 50), SYS_Box(0, 0, 1000, 1000));
    EXPECT_EQ(0u, reports.Count());
    EXPECT_EQ(SYS_Point(0, 250), t + SYS_Point(0, 0));
    EXPECT_EQ(SYS_Point(1000, 750), t + SYS_Point(100, 50));
    EXPECT_EQ(10, t + 1);
    struct Case { const char* name; SYS_Point p1, p2; SYS_Box box; size_t reports; };
    const Case cases[] = {
        {"shared x", {5, 0}, {5, 10}, {0, 0, 100, 100}, 1},
        {"shared y", {0, 5}, {10, 5}, {0, 0, 100, 100}, 1},
        {"narrow box", {0, 0}, {10, 10}, {0, 0, 3, 100}, 1},
        {"low box", {0, 0}, {10, 10}, {0, 0, 100, 3}, 1},
        {"smallest box", {0, 0}, {10, 10}, {0, 0, 4, 4}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reports.Take();
        t.SetBoxConv(c.p1, c.p2, c.box);
        EXPECT_EQ(c.reports, reports.Count("Quel LinCov: wrong box", kLinConv));
    }
}

TEST(SYS_Transform, GeometryTransformMembers) {
    SYS_Transform t;
    t.SetRotate(SYS_Point(0, 0), 162000000);
    SYS_Box box(0, 0, 10, 20);
    box.Transform(t);
    EXPECT_EQ(SYS_Box(-20, 0, 0, 10), box);
    GeomReports reports;  // double point results outside the range report
    SYS_Transform scale;
    scale.SetScale(SYS_Point(0, 0), 10.0);
    scale.Transform(SYS_DoublePoint(2e8, 0.0));
    EXPECT_EQ(1u, reports.Count("Invalid point", kGeomInline));
    SYS_DoublePoint member(2e8, 0.0);
    member.Transform(scale);
    EXPECT_EQ(1u, reports.Count("Invalid point", kLocgeom));
}

TEST(SYS_Transform, AssignmentCopiesEveryFieldAndReturnsACopy) {
    GeomRandom rnd(38);
    const SYS_Transform source = RandomTransform(rnd);
    SYS_Transform a, b;
    SYS_Transform result = (a = source);
    EXPECT_TRUE(result == source);
    b = &source;
    b = static_cast<const SYS_Transform*>(nullptr);
    EXPECT_TRUE(b == source);
    SYS_Transform changed = source;
    changed.AddConv(SYS_Transform(0, 0, 1, 0, 0, 0, 0));
    EXPECT_TRUE(changed != source);
}

// Transforms `points` in a batch, into a separate array and in place, and compares both with
// the point-by-point transform.
void ExpectBatchEqualsPointwise(const SYS_Transform& t, const std::vector<SYS_Point>& points) {
    std::vector<SYS_Point> want(points.size()), got(points.size()), inPlace(points);
    for (size_t i = 0; i < points.size(); ++i) want[i] = t.Transform(points[i]);
    t.Transform(points.data(), got.data(), static_cast<long>(points.size()));
    t.Transform(inPlace.data(), inPlace.data(), static_cast<long>(inPlace.size()));
    for (size_t i = 0; i < points.size(); ++i) {
        ASSERT_EQ(want[i], got[i]) << "point " << i << " of " << points.size();
        ASSERT_EQ(want[i], inPlace[i]) << "in place, point " << i << " of " << points.size();
    }
}

TEST(SYS_TransformBatch, EqualsThePointTransformOverRandomTransformsAndCounts) {
    GeomRandom rnd(27);
    for (int round = 0; round < 200; ++round) {
        const SYS_Transform t = RandomTransform(rnd);
        // Odd and even counts: the pairs and the single point left over.
        std::vector<SYS_Point> points(rnd.Int(1, 66));
        for (SYS_Point& p : points) p = rnd.Point(300000000);
        ExpectBatchEqualsPointwise(t, points);
    }
    // Ties and sums beyond the integer range, in both lanes of a pair.
    SYS_Transform half, triple;
    half.SetScale(SYS_Point(0, 0), 0.5);
    triple.SetScale(SYS_Point(0, 0), 3.0);
    ExpectBatchEqualsPointwise(half, {{1, -1}, {-1, 1}, {3, -3}, {-5, 5}});
    ExpectBatchEqualsPointwise(triple, {{2000000000, -2000000000}, {-2000000000, 7}});
}

}  // namespace
