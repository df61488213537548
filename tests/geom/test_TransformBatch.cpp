// The batch transform of points against the transform of one point: the same results, rounding
// ties and clamped sums included, in place or not, for every count.

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
    // Ties and sums beyond the integer range, in both lanes of a pair.
    ExpectBatchEqualsPointwise(Scale(0.5), {{1, -1}, {-1, 1}, {3, -3}, {-5, 5}});
    ExpectBatchEqualsPointwise(Scale(3.0), {{2000000000, -2000000000}, {-2000000000, 7}});
}

}  // namespace
