#include <algorithm>
#include <vector>

#include "geom_test_support.h"

namespace {

int64_t Area(const SYS_Box& b) {
    return int64_t(b.GetRight() - b.GetLeft()) * (b.GetUpper() - b.GetLower());
}

bool InteriorsOverlap(const SYS_Box& a, const SYS_Box& b) {
    return std::max(a.GetLeft(), b.GetLeft()) < std::min(a.GetRight(), b.GetRight()) &&
           std::max(a.GetLower(), b.GetLower()) < std::min(a.GetUpper(), b.GetUpper());
}

bool Inside(const SYS_Box& inner, const SYS_Box& outer) {
    return outer.GetLeft() <= inner.GetLeft() && inner.GetRight() <= outer.GetRight() &&
           outer.GetLower() <= inner.GetLower() && inner.GetUpper() <= outer.GetUpper();
}

TEST(SYS_Segment, MeasuresBoxAndArithmetic) {
    const SYS_Segment s(10, 20, -20, 60);
    EXPECT_EQ(-30, s.GetDX());
    EXPECT_EQ(40, s.GetDY());
    EXPECT_EQ(50.0, s.GetLength());
    EXPECT_EQ(SYS_Point(10, 20), s[0]);
    EXPECT_EQ(SYS_Point(-20, 60), s[3]);
    EXPECT_EQ(SYS_Segment(11, 21, -19, 61), s + 1);
    EXPECT_EQ(SYS_Segment(9, 18, -21, 58), s - SYS_Point(1, 2));
    SYS_Segment m = s;
    m += SYS_Point(-10, -20);
    m -= 5;
    EXPECT_EQ(SYS_Segment(-5, -5, -35, 35), m);
}

TEST(SYS_Circle, BoxAndValidity) {
    EXPECT_EQ(SYS_Box(-5, 5, 15, 25), SYS_Circle(5, 15, 10).GetBox());
    EXPECT_NE(SYS_Circle(0, 0, 1), SYS_Circle(0, 0, 2));
}

TEST(SYS_Box, ClipGivesThePartsOutsideThisBox) {
    struct Case { const char* name; SYS_Box self, box; std::vector<SYS_Box> parts; };
    const SYS_Box ten(0, 0, 10, 10);
    const Case cases[] = {
        {"box around this", ten, {-5, -5, 15, 15},
         {{-5, -5, 0, 15}, {0, -5, 10, 0}, {0, 10, 10, 15}, {10, -5, 15, 15}}},
        {"reversed box edges", ten, {15, 15, 5, 5}, {{5, 10, 10, 15}, {10, 5, 15, 15}}},
        {"zero-width box", ten, {20, 0, 20, 10}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SYS_Box out[4];
        const int n = c.self.Clip(c.box, out);
        ASSERT_EQ(int(c.parts.size()), n);
        for (int i = 0; i < n; ++i) EXPECT_EQ(c.parts[i], out[i]) << i;
    }
    EXPECT_EQ(4, ten.Clip(SYS_Box(-5, -5, 15, 15), nullptr));
}

// Property: the parts are disjoint, inside box and outside this, and with the intersection (1
// only for a positive area) they tile box exactly: disjoint pieces whose areas sum to box's.
TEST(SYS_Box, ClipPartsAndIntersectionTileTheBox) {
    GeomRandom rnd(11);
    for (int round = 0; round < 4000; ++round) {
        const int32_t limit = round % 2 ? 50 : SYS_COORD_LIMIT - 1;  // small: many shared edges
        SYS_Box self(rnd.Point(limit), rnd.Point(limit)), box(rnd.Point(limit), rnd.Point(limit));
        self.Normalize();
        box.Normalize();
        if (box.IsEmpty()) continue;
        SCOPED_TRACE(testing::Message() << "this " << self << " box " << box);
        SYS_Box out[4];
        const int n = self.Clip(box, out);
        ASSERT_TRUE(n >= 0 && n <= 4) << n;
        SYS_Box overlap = self;  // the arguments are copies: this may be one of them
        const bool overlaps = overlap.SetAsIntersection(overlap, box) == 1;
        ASSERT_EQ(overlaps, InteriorsOverlap(self, box));
        // Without area, one axis of the result collapses onto its upper edge.
        ASSERT_TRUE(overlaps || overlap.GetWidth() == 0 || overlap.GetHeight() == 0) << overlap;
        int64_t area = overlaps ? Area(overlap) : 0;
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(out[i].IsValid() && !out[i].IsEmpty() && Inside(out[i], box)) << i;
            ASSERT_FALSE(InteriorsOverlap(out[i], self));
            for (int j = 0; j < i; ++j) ASSERT_FALSE(InteriorsOverlap(out[i], out[j]));
            area += Area(out[i]);
        }
        ASSERT_EQ(Area(box), area);
        if (!InteriorsOverlap(self, box) || self.IsEmpty()) {
            ASSERT_EQ(1, n);
            ASSERT_EQ(box, out[0]);
        }
    }
}

TEST(SYS_Box, CenterTruncatesTowardZeroAndKeepsSize) {
    const SYS_Box wide(INT32_MAX - 1, INT32_MIN, INT32_MAX, INT32_MIN + 1);  // sums beyond 32 bits
    EXPECT_EQ(SYS_Point(INT32_MAX - 1, INT32_MIN + 1), wide.GetCenter());
    SYS_Box odd(0, 0, -5, -7);  // negative size: -5 / 2 truncates to -2
    odd.SetCenter(SYS_Point(0, 0));
    EXPECT_EQ(SYS_Box(2, 3, -3, -4), odd);
}

TEST(SYS_Box, BuildingGrowingAndNormalising) {
    GeomReports reports;
    EXPECT_EQ(SYS_Box(1, 2, 11, 12), SYS_Box(SYS_Point(1, 2), 10));
    EXPECT_EQ(SYS_Box(-9, -8, 1, 2), SYS_Box(SYS_Point(1, 2), -10));
    SYS_Box box(0, 0, 10, 10);
    box.Increase(-5, 20);
    box.Increase(3, 3);
    EXPECT_EQ(SYS_Box(-5, 0, 10, 20), box);
    box.Expand(-20);  // shrinking past the middle turns the box over; Normalize rights it
    EXPECT_EQ(SYS_Box(-10, 0, 15, 20), box);
    SYS_Box reversed(5, 5, 0, 0);
    reversed.Increase(2, 2);  // the point lies between left and right, so the result is valid
    EXPECT_EQ(SYS_Box(2, 2, 2, 2), reversed);
    EXPECT_EQ(0u, reports.Count());
    SYS_Box wrapped(SYS_Point(INT32_MAX, 0), 1);  // the upper right wraps below the lower left
    EXPECT_EQ(1u, reports.Count("SYS_Box is not valid", kLocgeom));
}

TEST(SYS_Box, AccessorsInclusionAndCombine) {
    const SYS_Box box(-1, -2, 3, 4);
    EXPECT_EQ(6, box.GetDY());
    EXPECT_TRUE(box.IsInclude(SYS_Point(3, 4)));
    for (SYS_Point p : {SYS_Point(-2, 0), SYS_Point(4, 0), SYS_Point(0, 5), SYS_Point(0, -3)})
        EXPECT_FALSE(box.IsInclude(p)) << p;
    SYS_Box e;
    e.Set(9, 9, 1, 1);
    e.SetEmpty();
    e.Move(SYS_Point(2, 3));
    EXPECT_EQ(SYS_Box(2, 3, 2, 3), e);
    SYS_Box combined = SYS_Box::Unset();  // the unset box is the identity of Combine
    combined.Combine(box);
    combined.Combine(SYS_Box::Unset());
    EXPECT_EQ(box, combined);
}

}  // namespace
