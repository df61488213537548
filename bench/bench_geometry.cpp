// Geometry: box union and intersection, clipping, point transforms and arc angles (goals
// G1-G4) against plain structs, Boost.Geometry, Eigen and libm.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "SYS_Geom.h"
#include "SYS_LinConv.h"
#include "bench/bench_util.h"

#if TESSAR_HAVE_BOOST
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#endif
#if TESSAR_HAVE_EIGEN
#include <Eigen/Geometry>
#endif

namespace {

constexpr int kBoxes = 1000000;
constexpr int kClipPairs = 10000;

struct PlainBox {
    int32_t left, lower, right, upper;
};

// Valid boxes spread over a board of +-100 mm.
const std::vector<PlainBox>& Boxes() {
    static const std::vector<PlainBox> boxes = [] {
        bench::Random random(11);
        std::vector<PlainBox> out(kBoxes);
        for (PlainBox& b : out) {
            b.left = random.Below(300000000) - 150000000;
            b.lower = random.Below(300000000) - 150000000;
            b.right = b.left + random.Below(3000000);
            b.upper = b.lower + random.Below(3000000);
        }
        return out;
    }();
    return boxes;
}

std::vector<SYS_Box> SysBoxes() {
    std::vector<SYS_Box> out;
    out.reserve(Boxes().size());
    for (const PlainBox& b : Boxes()) out.emplace_back(b.left, b.lower, b.right, b.upper);
    return out;
}

PlainBox PlainUnion() {
    PlainBox u = Boxes()[0];
    for (const PlainBox& b : Boxes()) {
        u.left = std::min(u.left, b.left), u.lower = std::min(u.lower, b.lower);
        u.right = std::max(u.right, b.right), u.upper = std::max(u.upper, b.upper);
    }
    return u;
}

// ---- G1: Combine ------------------------------------------------------------------------------
void G1_CombineOurs(benchmark::State& state) {
    std::vector<SYS_Box> boxes = SysBoxes();
    auto combineAll = [&] {
        SYS_Box all = SYS_Box::Unset();
        for (const SYS_Box& b : boxes) all.Combine(b);
        return all;
    };
    SYS_Box check = combineAll();
    PlainBox plain = PlainUnion();
    bench::RequireSame("G1 combine", check, SYS_Box(plain.left, plain.lower, plain.right, plain.upper));
    for (auto _ : state) benchmark::DoNotOptimize(combineAll());
}
void G1_CombinePlain(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PlainUnion());
}
BENCH_REGISTER("BM_G1_Combine1e6/ours", G1_CombineOurs);
BENCH_REGISTER("BM_G1_Combine1e6/plain", G1_CombinePlain);

// ---- G1: SetAsIntersection of neighbouring pairs ------------------------------------------------
long PlainIntersections() {
    const std::vector<PlainBox>& boxes = Boxes();
    long positive = 0;
    for (size_t i = 1; i < boxes.size(); ++i) {
        const PlainBox &a = boxes[i - 1], &b = boxes[i];
        PlainBox r{std::max(a.left, b.left), std::max(a.lower, b.lower), std::min(a.right, b.right),
                   std::min(a.upper, b.upper)};
        positive += r.left < r.right && r.lower < r.upper;
        benchmark::DoNotOptimize(r);
    }
    return positive;
}
void G1_IntersectOurs(benchmark::State& state) {
    std::vector<SYS_Box> boxes = SysBoxes();
    auto intersectAll = [&] {
        long positive = 0;
        SYS_Box r;
        for (size_t i = 1; i < boxes.size(); ++i) {
            positive += r.SetAsIntersection(boxes[i - 1], boxes[i]);
            benchmark::DoNotOptimize(r);
        }
        return positive;
    };
    bench::RequireSame("G1 intersection", intersectAll(), PlainIntersections());
    for (auto _ : state) benchmark::DoNotOptimize(intersectAll());
}
void G1_IntersectPlain(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PlainIntersections());
}
BENCH_REGISTER("BM_G1_Intersect1e6/ours", G1_IntersectOurs);
BENCH_REGISTER("BM_G1_Intersect1e6/plain", G1_IntersectPlain);

#if TESSAR_HAVE_BOOST
namespace bg = boost::geometry;
using BgPoint = bg::model::d2::point_xy<int64_t>;
using BgBox = bg::model::box<BgPoint>;
using BgPolygon = bg::model::polygon<BgPoint>;

std::vector<BgBox> BgBoxes() {
    std::vector<BgBox> out;
    out.reserve(Boxes().size());
    for (const PlainBox& b : Boxes()) out.emplace_back(BgPoint(b.left, b.lower), BgPoint(b.right, b.upper));
    return out;
}
void G1_CombineBoost(benchmark::State& state) {
    std::vector<BgBox> boxes = BgBoxes();
    for (auto _ : state) {
        BgBox all = boxes[0];
        for (const BgBox& b : boxes) bg::expand(all, b);
        benchmark::DoNotOptimize(all);
    }
}
void G1_IntersectBoost(benchmark::State& state) {
    std::vector<BgBox> boxes = BgBoxes();
    for (auto _ : state) {
        long positive = 0;
        for (size_t i = 1; i < boxes.size(); ++i) {
            BgBox r;
            positive += bg::intersection(boxes[i - 1], boxes[i], r) && bg::area(r) > 0;
            benchmark::DoNotOptimize(r);
        }
        benchmark::DoNotOptimize(positive);
    }
}
BENCH_REGISTER("BM_G1_Combine1e6/boost_geometry", G1_CombineBoost);
BENCH_REGISTER("BM_G1_Intersect1e6/boost_geometry", G1_IntersectBoost);
#endif

// ---- G2: Clip of overlapping pairs ------------------------------------------------------------------
struct ClipPair {
    SYS_Box keep, cut;  // the parts of `cut` outside `keep`
};
// Pairs that meet in every way, in turn: overlapping in part, the cut inside the kept box, the
// kept box inside the cut, sharing an edge (two edges in common, or touching along one), and
// apart on one axis while overlapping on the other.
ClipPair MakeClipPair(bench::Random& random, int kind) {
    int32_t x = random.Below(1000000), y = random.Below(1000000);
    int32_t w = 200000 + random.Below(400000), h = 200000 + random.Below(400000);
    SYS_Box keep(x, y, x + w, y + h);
    int32_t dx = random.Below(w / 2), dy = random.Below(h / 2);
    switch (kind) {
    case 0: {
        int32_t cx = x - 300000 + random.Below(600000), cy = y - 300000 + random.Below(600000);
        return {keep, SYS_Box(cx, cy, cx + 300000 + random.Below(500000), cy + 300000 + random.Below(500000))};
    }
    case 1: return {keep, SYS_Box(x + dx / 2 + 1, y + dy / 2 + 1, x + w - dx / 2 - 1, y + h - dy / 2 - 1)};
    case 2: return {keep, SYS_Box(x - dx - 1, y - dy - 1, x + w + dx + 1, y + h + dy + 1)};
    case 3: return {keep, SYS_Box(x, y, x + w + dx, y + h - dy)};
    case 4: return {keep, SYS_Box(x + w, y + dy, x + w + dx + 1, y + h + dy)};
    default: return {keep, SYS_Box(x + dx, y + h + dy, x + w + dx, y + h + h)};
    }
}
const std::vector<ClipPair>& ClipPairs() {
    static const std::vector<ClipPair> pairs = [] {
        bench::Random random(5);
        std::vector<ClipPair> out;
        for (int i = 0; i < kClipPairs; ++i) out.push_back(MakeClipPair(random, random.Below(6)));
        return out;
    }();
    return pairs;
}
double ClipArea() {
    double area = 0;
    SYS_Box parts[4];
    for (const ClipPair& p : ClipPairs()) {
        int n = p.keep.Clip(p.cut, parts);
        for (int i = 0; i < n; ++i) area += double(parts[i].GetWidth()) * parts[i].GetHeight();
    }
    return area;
}
void G2_ClipOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ClipArea());
    state.SetItemsProcessed(state.iterations() * kClipPairs);
}
BENCH_REGISTER("BM_G2_Clip1e4/ours", G2_ClipOurs);

#if TESSAR_HAVE_BOOST
BgPolygon ToPolygon(const SYS_Box& b) {
    BgPolygon polygon;
    bg::convert(BgBox(BgPoint(b.GetLeft(), b.GetLower()), BgPoint(b.GetRight(), b.GetUpper())), polygon);
    return polygon;
}
// The boxes are polygons before the clock starts (Boost.Geometry's difference takes areal
// geometries), and the output keeps its capacity from pair to pair.
struct BgClipPair {
    BgPolygon keep, cut;
};
double BoostClipArea(const std::vector<BgClipPair>& pairs, std::vector<BgPolygon>& parts) {
    double area = 0;
    for (const BgClipPair& p : pairs) {
        parts.clear();
        bg::difference(p.cut, p.keep, parts);
        for (const BgPolygon& part : parts) area += static_cast<double>(bg::area(part));
    }
    return area;
}
void G2_ClipBoost(benchmark::State& state) {
    std::vector<BgClipPair> pairs;
    for (const ClipPair& p : ClipPairs()) pairs.push_back({ToPolygon(p.keep), ToPolygon(p.cut)});
    std::vector<BgPolygon> parts;
    bench::RequireSame("G2", ClipArea(), BoostClipArea(pairs, parts));
    for (auto _ : state) benchmark::DoNotOptimize(BoostClipArea(pairs, parts));
    state.SetItemsProcessed(state.iterations() * kClipPairs);
}
BENCH_REGISTER("BM_G2_Clip1e4/boost_geometry", G2_ClipBoost);
#endif

// ---- G3: transform 1e6 points -----------------------------------------------------------------------
const std::vector<SYS_Point>& Points() {
    static const std::vector<SYS_Point> points = [] {
        bench::Random random(3);
        std::vector<SYS_Point> out(kBoxes);
        for (SYS_Point& p : out) p.Set(random.Below(600000000) - 300000000, random.Below(600000000) - 300000000);
        return out;
    }();
    return points;
}
SYS_Transform Placement() { return SYS_Transform(SYS_Point(1500000, -38100), 30 * 1800000, 1, 0, 0, 0); }

// Both sides read their points from a local reference and write into a local array: no call
// per point to reach the input. Ours transforms the array with the batch call a user with many
// points makes.
void G3_Ours(benchmark::State& state) {
    const SYS_Transform t = Placement();
    const std::vector<SYS_Point>& points = Points();
    std::vector<SYS_Point> out(points.size());
    t.Transform(points.data(), out.data(), static_cast<long>(points.size()));
    for (size_t i = 0; i < out.size(); ++i) bench::RequireSame("G3 batch", out[i], t.Transform(points[i]));
    for (auto _ : state) {
        t.Transform(points.data(), out.data(), static_cast<long>(points.size()));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * out.size());
}
BENCH_REGISTER("BM_G3_Transform1e6/ours", G3_Ours);

// One point at a time through the inline Transform, for comparison with the batch.
void G3_OursPerPoint(benchmark::State& state) {
    const SYS_Transform t = Placement();
    const std::vector<SYS_Point>& points = Points();
    std::vector<SYS_Point> out(points.size());
    for (auto _ : state) {
        for (size_t i = 0; i < points.size(); ++i) out[i] = t.Transform(points[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * out.size());
}
BENCH_REGISTER("BM_G3_Transform1e6/ours_per_point", G3_OursPerPoint);

#if TESSAR_HAVE_EIGEN
// The conversion truncates toward zero, so no std::trunc is needed (the points stay in range).
inline int32_t RoundHalfAway(double v) { return static_cast<int32_t>(v + std::copysign(0.5, v)); }
// A plain Eigen loop: the affine map applied to each point of a local array, rounded half away
// from zero.
void G3_Eigen(benchmark::State& state) {
    SYS_Transform t = Placement();
    // The same affine map, read off the transform by applying it to the unit points.
    SYS_DoublePoint o(0, 0), ex(1, 0), ey(0, 1);
    t.Transform(&o), t.Transform(&ex), t.Transform(&ey);
    Eigen::Affine2d affine = Eigen::Affine2d::Identity();
    affine.linear() << ex.GetX() - o.GetX(), ey.GetX() - o.GetX(), ex.GetY() - o.GetY(), ey.GetY() - o.GetY();
    affine.translation() << o.GetX(), o.GetY();
    const std::vector<SYS_Point>& points = Points();
    std::vector<SYS_Point> out(points.size());
    auto run = [&] {
        for (size_t i = 0; i < points.size(); ++i) {
            const Eigen::Vector2d v = affine * Eigen::Vector2d(points[i].GetX(), points[i].GetY());
            out[i].Set(RoundHalfAway(v.x()), RoundHalfAway(v.y()));
        }
    };
    run();
    long differing = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        SYS_Point d = out[i] - t.Transform(points[i]);
        differing += std::abs(d.GetX()) > 1 || std::abs(d.GetY()) > 1;
    }
    bench::RequireSame("G3 (within one unit)", differing, 0L);
    for (auto _ : state) {
        run();
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * out.size());
}
BENCH_REGISTER("BM_G3_Transform1e6/eigen", G3_Eigen);
#endif

// ---- G4: arc sweep ------------------------------------------------------------------------------------
const std::vector<SYS_Arc>& Arcs() {
    static const std::vector<SYS_Arc> arcs = [] {
        bench::Random random(9);
        std::vector<SYS_Arc> out;
        for (int i = 0; i < 10000; ++i) {
            double a = random.Below(360000) / 1000.0 * M_PI / 180, b = random.Below(360000) / 1000.0 * M_PI / 180;
            int32_t r = 100000 + random.Below(1000000);
            SYS_Point c(random.Below(1000000), random.Below(1000000));
            SYS_Point s(c.GetX() + int32_t(r * std::cos(a)), c.GetY() + int32_t(r * std::sin(a)));
            SYS_Point e(c.GetX() + int32_t(r * std::cos(b)), c.GetY() + int32_t(r * std::sin(b)));
            out.emplace_back(s, e, c, random.Below(2) ? r : -r);
        }
        return out;
    }();
    return arcs;
}
void G4_Ours(benchmark::State& state) {
    for (auto _ : state)
        for (const SYS_Arc& arc : Arcs()) benchmark::DoNotOptimize(arc.GetSizeAngle());
    state.SetItemsProcessed(state.iterations() * Arcs().size());
}
void G4_TwoAtan2(benchmark::State& state) {
    for (auto _ : state)
        for (const SYS_Arc& arc : Arcs()) {
            SYS_Point c = arc.GetCenter(), s = arc.GetStart() - c, e = arc.GetEnd() - c;
            benchmark::DoNotOptimize(std::atan2(e.GetY(), e.GetX()) - std::atan2(s.GetY(), s.GetX()));
        }
    state.SetItemsProcessed(state.iterations() * Arcs().size());
}
BENCH_REGISTER("BM_G4_ArcSizeAngle/ours", G4_Ours);
BENCH_REGISTER("BM_G4_ArcSizeAngle/two_atan2", G4_TwoAtan2);

}  // namespace
