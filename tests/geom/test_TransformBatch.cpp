// The batch transform of points against the transform of one point: the same results, rounding
// ties, clamped and NaN sums included, in place or not, for every count.

#include <limits>
#include <vector>

#include "geom_test_support.h"

namespace {

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
    GeomRandom rnd(27);
    for (int round = 0; round < 200; ++round) {
        const SYS_Transform t = RandomTransform(rnd);
        // Odd and even counts: the pairs and the single point left over.
        std::vector<SYS_Point> points(rnd.Int(1, 66));
        for (SYS_Point& p : points) p = rnd.Point(300000000);
        ExpectBatchEqualsPointwise(t, points);
    }
}

// Scaling odd values by a half lands exactly on .5, and large values leave the integer range;
// each point is paired with a neighbour so that the packed lanes see the same case.
TEST(SYS_TransformBatch, TiesAndSumsOutsideTheIntegerRangeAsOnePointDoes) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<SYS_Point> points = {{1, -1}, {-1, 1}, {3, -3}, {-5, 5}, {0, 0},
                                           {2147483647, -2147483647}, {2000000000, -2000000000},
                                           {1000000000, 7}, {3, -1000000000}};
    for (double scale : {0.5, 1.5, -0.5, 3.0, -3.0, 1e300, inf, -inf, nan}) {
        SCOPED_TRACE(scale);
        ExpectBatchEqualsPointwise(Scale(scale), points);
    }
    // Ties go away from zero; beyond the bounds the sum saturates, NaN goes to the lower bound.
    std::vector<SYS_Point> out(points.size());
    Scale(0.5).Transform(points.data(), out.data(), 4);
    EXPECT_EQ(std::vector<SYS_Point>({{1, -1}, {-1, 1}, {2, -2}, {-3, 3}}),
              std::vector<SYS_Point>(out.begin(), out.begin() + 4));
    Scale(3.0).Transform(points.data() + 6, out.data(), 2);
    EXPECT_EQ(SYS_Point(INT32_MAX, INT32_MIN), out[0]);
    Scale(nan).Transform(points.data(), out.data(), 2);
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
