// The batch transform of points against the transform of one point: the same results, rounding
// ties, clamped and NaN sums included, in place or not, for every count.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "SYS_LinConv.h"

namespace {

std::vector<SYS_Point> RandomPoints(std::mt19937_64& rnd, size_t count, int32_t range) {
    std::uniform_int_distribution<int32_t> coord(-range, range);
    std::vector<SYS_Point> points(count);
    for (SYS_Point& p : points) p.Set(coord(rnd), coord(rnd));
    return points;
}

SYS_Transform RandomTransform(std::mt19937_64& rnd) {
    std::uniform_int_distribution<int32_t> coord(-100000000, 100000000), angle(0, SYS_FULL_TURN);
    std::uniform_real_distribution<double> real(-3, 3);
    SYS_Transform t;
    for (int step = 0; step < 3; ++step) {
        SYS_Transform s;
        const SYS_Point c(coord(rnd), coord(rnd));
        switch (rnd() % 5) {
            case 0: s.SetMove(coord(rnd), coord(rnd)); break;
            case 1: s.SetRotate(c, angle(rnd)); break;
            case 2: s.SetRotate(c, real(rnd), real(rnd)); break;
            case 3: s.SetMirror(c, angle(rnd)); break;
            default: s.SetScale(c, real(rnd)); break;
        }
        t.AddConv(s);
    }
    return t;
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

SYS_Transform Scale(double s) {
    SYS_Transform t;
    t.SetScale(SYS_Point(0, 0), s);
    return t;
}

TEST(SYS_TransformBatch, EqualsThePointTransformOverRandomTransformsAndCounts) {
    std::mt19937_64 rnd(27);
    for (int round = 0; round < 200; ++round) {
        const SYS_Transform t = RandomTransform(rnd);
        // Odd and even counts: the pairs and the single point left over.
        ExpectBatchEqualsPointwise(t, RandomPoints(rnd, 1 + rnd() % 66, 300000000));
    }
}

TEST(SYS_TransformBatch, RoundsTiesHalfAwayFromZero) {
    // Halving odd values and scaling by 1.5 lands exactly on .5: away from zero on both sides.
    struct Case {
        double scale;
        SYS_Point in, want;
    } const cases[] = {
        {0.5, {1, -1}, {1, -1}},         {0.5, {3, -3}, {2, -2}},
        {0.5, {-5, 5}, {-3, 3}},         {1.5, {1, -1}, {2, -2}},
        {1.5, {-3, 3}, {-5, 5}},         {-0.5, {1, -1}, {-1, 1}},
        {0.5, {0, 0}, {0, 0}},           {-0.5, {0, 0}, {0, 0}},
        {0.5, {2147483647, -2147483647}, {1073741824, -1073741824}},
    };
    for (const Case& c : cases) {
        // Pairs of the same point and a neighbour, so that the packed lanes see the tie too.
        const std::vector<SYS_Point> points = {c.in, c.in, SYS_Point(c.in.GetY(), c.in.GetX())};
        std::vector<SYS_Point> out(points.size());
        Scale(c.scale).Transform(points.data(), out.data(), static_cast<long>(points.size()));
        EXPECT_EQ(c.want, out[0])
            << "scale " << c.scale << " of (" << c.in.GetX() << ", " << c.in.GetY() << ")";
        EXPECT_EQ(c.want, out[1]);
        EXPECT_EQ(SYS_Point(c.want.GetY(), c.want.GetX()), out[2]);
        ExpectBatchEqualsPointwise(Scale(c.scale), points);
    }
}

TEST(SYS_TransformBatch, ClampsSumsOutsideTheIntegerRangeAsOnePointDoes) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<SYS_Point> points = {
        {2000000000, -2000000000}, {-1, 1}, {0, 0}, {1000000000, 7}, {3, -1000000000}};
    for (double scale : {3.0, -3.0, 1e300, inf, -inf, nan}) {
        SCOPED_TRACE(scale);
        ExpectBatchEqualsPointwise(Scale(scale), points);
    }
    // The bounds themselves: beyond them the sum saturates, NaN goes to the lower bound.
    std::vector<SYS_Point> out(2);
    const std::vector<SYS_Point> big = {{2000000000, -2000000000}, {0, 0}};
    Scale(3.0).Transform(big.data(), out.data(), 2);
    EXPECT_EQ(SYS_Point(INT32_MAX, INT32_MIN), out[0]);
    Scale(nan).Transform(big.data(), out.data(), 2);
    EXPECT_EQ(SYS_Point(INT32_MIN, INT32_MIN), out[1]);
}

TEST(SYS_TransformBatch, WritesNothingForAnEmptyCountOrANullRange) {
    SYS_Transform move;
    move.SetMove(5, 5);
    const std::vector<SYS_Point> in = {{1, 2}, {3, 4}};
    const SYS_Point untouched(-7, -7);
    struct Case {
        const SYS_Point* in;
        bool nullOut;
        long count;
    } const cases[] = {
        {in.data(), false, 0}, {in.data(), false, -3}, {nullptr, false, 2}, {in.data(), true, 2}};
    for (const Case& c : cases) {
        std::vector<SYS_Point> out(2, untouched);
        move.Transform(c.in, c.nullOut ? nullptr : out.data(), c.count);
        EXPECT_EQ(untouched, out[0]);
        EXPECT_EQ(untouched, out[1]);
    }
}

}  // namespace
